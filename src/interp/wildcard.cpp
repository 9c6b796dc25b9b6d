#include "interp/wildcard.h"

#include <string>
#include <vector>

#include "automation/titlematch.h"
#include "interp/text.h"

namespace kes {

namespace {

// Substring search that stays linear for long pieces (Knuth-Morris-Pratt);
// short pieces use the library search.
bool Contains(std::string_view hay, std::string_view needle) {
  if (needle.size() <= 32) return hay.find(needle) != std::string_view::npos;
  if (needle.size() > hay.size()) return false;
  std::vector<size_t> fail(needle.size(), 0);
  for (size_t i = 1, k = 0; i < needle.size(); ++i) {
    while (k > 0 && needle[i] != needle[k]) k = fail[k - 1];
    if (needle[i] == needle[k]) ++k;
    fail[i] = k;
  }
  for (size_t i = 0, k = 0; i < hay.size(); ++i) {
    while (k > 0 && hay[i] != needle[k]) k = fail[k - 1];
    if (hay[i] == needle[k]) ++k;
    if (k == needle.size()) return true;
  }
  return false;
}

}  // namespace

bool WildcardMatch(std::string_view text, std::string_view pattern, bool caseInsensitive) {
  std::string t;
  t.reserve(text.size() + 2);
  t += ' ';
  t += text;
  t += ' ';
  std::string p;
  p.reserve(pattern.size() + 2);
  p += ' ';
  p += pattern;
  p += ' ';
  if (caseInsensitive) {
    UpperInPlace(t);
    UpperInPlace(p);
  }
  // Every piece between "*" must occur somewhere; their order is not checked.
  const std::string_view pv(p);
  size_t start = 0;
  for (;;) {
    const size_t star = pv.find('*', start);
    const std::string_view piece = pv.substr(start, star == std::string_view::npos ? std::string_view::npos : star - start);
    if (!piece.empty() && !Contains(t, piece)) return false;
    if (star == std::string_view::npos) return true;
    start = star + 1;
  }
}

// Names match as window titles do: the whole name, "*" and "?", case ignored.
bool NameMatches(std::string_view name, std::string_view pattern) {
  if (TitleMatch(name, pattern)) return true;
  if (name.find('.') == std::string_view::npos) return TitleMatch(std::string(name) + ".", pattern);
  return false;
}

}  // namespace kes
