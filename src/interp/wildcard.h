// Wildcard matching of the language: the text and the pattern are padded with
// one space on each side, the pattern is cut at every "*", and the match
// succeeds when every piece occurs somewhere in the padded text.
#pragma once

#include <string_view>

namespace kes {

bool WildcardMatch(std::string_view text, std::string_view pattern, bool caseInsensitive);

}  // namespace kes
