// Wildcard matching of the language: the text and the pattern are padded with
// one space on each side, the pattern is cut at every "*", and the match
// succeeds when every piece occurs somewhere in the padded text.
#pragma once

#include <string_view>

namespace kes {

bool WildcardMatch(std::string_view text, std::string_view pattern, bool caseInsensitive);

// The file-name match of directory listings: "*" and "?" over the whole
// name, ignoring case. A name without "." also matches as name + "." so
// that "*.*" takes every name and "*." the names without extension.
bool NameMatches(std::string_view name, std::string_view pattern);

}  // namespace kes
