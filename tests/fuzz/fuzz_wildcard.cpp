// The wildcard match on any text and pattern ("text\npattern"): no crash,
// "*" and the text itself (without "*") match, a pattern that matches with
// the case kept matches ignoring case, and "*" + pattern + "*" matches
// whatever the pattern does.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "interp/wildcard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const size_t nl = all.find('\n');
  const std::string_view text = all.substr(0, nl);
  const std::string_view pattern = nl == std::string_view::npos ? std::string_view() : all.substr(nl + 1);
  const bool exact = kes::WildcardMatch(text, pattern, false);
  const bool loose = kes::WildcardMatch(text, pattern, true);
  if (exact && !loose) std::abort();
  if (!kes::WildcardMatch(text, "*", false)) std::abort();
  if (text.find('*') == std::string_view::npos && !kes::WildcardMatch(text, text, false)) std::abort();
  if (exact && !kes::WildcardMatch(text, "*" + std::string(pattern) + "*", false)) std::abort();
  return 0;
}
