// Wildcard matching of the language: the text and the pattern are padded with
// one space on each side, the pattern is cut at every "*", and the match
// succeeds when every piece occurs somewhere in the padded text.
#pragma once

#include <string_view>

namespace kes {

bool WildcardMatch(std::string_view text, std::string_view pattern, bool caseInsensitive);

// Whole text against whole pattern, case ignored (ANSI): "*" stands for any
// run of characters, "?" for any one.
bool GlobMatch(std::string_view text, std::string_view pattern);

// Window-title matching: the whole title against the whole pattern, case
// ignored (ANSI), "*" standing for any run of characters and "?" for any one;
// "[" and "]" in the pattern count as "?".
bool TitleMatch(std::string_view title, std::string_view pattern);

}  // namespace kes
