#include "automation/titlematch.h"

#include "interp/text.h"

namespace kes {

std::string TitlePattern(std::string_view pattern) {
  std::string p(pattern);
  for (char& c : p)
    if (c == '[' || c == ']') c = '?';
  return p;
}

bool TitleMatch(std::string_view text, std::string_view pattern) {
  // Greedy scan that remembers the last "*": on a mismatch the star takes
  // one more character and the rest of the pattern is tried again.
  size_t t = 0, p = 0;
  size_t starP = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starT = t;
    } else if (p < pattern.size() && (pattern[p] == '?' || UpperChar(pattern[p]) == UpperChar(text[t]))) {
      ++p;
      ++t;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

WindowDesignation ParseDesignation(std::string_view text, std::string_view quote) {
  WindowDesignation d;
  const std::string_view s = TrimView(text);
  if (!quote.empty() && StartsWith(s, quote)) {
    d.pattern = s.size() >= 2 ? std::string(s.substr(1, s.size() - 2)) : std::string();
  } else if (AllDigits(s)) {
    d.byPid = true;
    d.pid = static_cast<uint32_t>(ValInt64(s));
    d.pattern = "*";
  } else {
    d.pattern = s;
  }
  return d;
}

unsigned DoubleClickPause(std::string_view profileValue) {
  const int64_t v = ValInt64(profileValue) - 100;
  return v < 0 || v > 1000 ? 100u : static_cast<unsigned>(v);
}

}  // namespace kes
