#include "interp/strops.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "interp/numformat.h"
#include "interp/wildcard.h"

namespace kes {

// ---------------------------------------------------------------------------
// positions and pieces

std::string MidText(std::string_view s, long long pos, long long len) {
  if (pos < 1 || len == 0 || static_cast<unsigned long long>(pos) > s.size()) return std::string();
  const size_t start = static_cast<size_t>(pos - 1);
  const size_t avail = s.size() - start;
  const size_t n = len < 0 || static_cast<unsigned long long>(len) > avail ? avail : static_cast<size_t>(len);
  return std::string(s.substr(start, n));
}

std::string LeftText(std::string_view s, long long n) {
  if (n <= 0) return std::string();
  return std::string(s.substr(0, static_cast<unsigned long long>(n) > s.size() ? s.size() : static_cast<size_t>(n)));
}

std::string RightText(std::string_view s, long long n) {
  if (n <= 0) return std::string();
  if (static_cast<unsigned long long>(n) >= s.size()) return std::string(s);
  return std::string(s.substr(s.size() - static_cast<size_t>(n)));
}

std::string ReverseText(std::string_view s) { return std::string(s.rbegin(), s.rend()); }

size_t AfterSeparators(std::string_view s, size_t k, std::string_view sep, std::string_view quote) {
  if (k == 0) return 0;
  if (sep.empty()) return std::string_view::npos;
  bool inQuote = false;
  size_t seen = 0;
  for (size_t i = 0; i < s.size();) {
    if (!quote.empty() && s.compare(i, quote.size(), quote) == 0) {
      inQuote = !inQuote;
      i += quote.size();
      continue;
    }
    if (!inQuote && s.compare(i, sep.size(), sep) == 0) {
      i += sep.size();
      if (++seen == k) return i;
      continue;
    }
    ++i;
  }
  return std::string_view::npos;
}

std::string TextAfter(std::string_view s, size_t k, std::string_view sep, std::string_view quote) {
  const size_t p = AfterSeparators(s, k, sep, quote);
  if (p == std::string_view::npos) return std::string();
  const std::string_view t = LTrimView(s.substr(p));
  const std::string_view q = RTrimView(t);
  if (!quote.empty() && q.size() >= 2 * quote.size() && StartsWith(q, quote) && EndsWith(q, quote))
    return std::string(q.substr(quote.size(), q.size() - 2 * quote.size()));
  return std::string(t);
}

std::string AfterBefore(std::string_view text, std::string_view marker, bool after, bool last) {
  const size_t p = marker.empty() ? std::string_view::npos : (last ? text.rfind(marker) : text.find(marker));
  if (p == std::string_view::npos) return after ? std::string() : std::string(text);
  return after ? std::string(text.substr(p + marker.size())) : std::string(text.substr(0, p));
}

std::vector<std::string> CutText(std::string_view text, std::string_view sep, bool ci) {
  std::vector<std::string> out;
  if (text.empty()) return out;
  if (sep.empty()) {
    out.emplace_back(text);
    return out;
  }
  size_t start = 0;
  for (;;) {
    const size_t p = ci ? FindNoCase(text, sep, start) : text.find(sep, start);
    if (p == std::string_view::npos) break;
    out.emplace_back(text.substr(start, p - start));
    start = p + sep.size();
  }
  out.emplace_back(text.substr(start));
  return out;
}

// ---------------------------------------------------------------------------
// numbers

std::string IntPartText(Num v) {
  if (!std::isfinite(v)) return GeneralFormat(v);
  return GeneralFormat(std::trunc(v) + 0.0L);  // + 0 turns -0 into 0
}

std::string RoundEvenText(Num v) {
  if (!std::isfinite(v)) return GeneralFormat(v);
  Num r = std::floor(v);
  const Num diff = v - r;
  if (diff > 0.5L || (diff == 0.5L && std::fmod(r, 2.0L) != 0)) r += 1;
  return GeneralFormat(r + 0.0L);
}

std::string BinaryText(int64_t v) {
  // Negative numbers in two's complement: 32 digits, 64 beyond 32 bits.
  const bool wide = v < INT32_MIN;
  uint64_t u = v < 0 && !wide ? static_cast<uint32_t>(static_cast<int32_t>(v)) : static_cast<uint64_t>(v);
  std::string s;
  while (u) {
    s += static_cast<char>('0' + (u & 1));
    u >>= 1;
  }
  const size_t width = wide ? 64 : v < 0 ? 32 : 31;
  if (s.size() < width) s.append(width - s.size(), '0');
  std::reverse(s.begin(), s.end());
  return s;
}

std::string HexText(int64_t v) {
  static const char* d = "0123456789ABCDEF";
  uint64_t u = v < 0 && v >= INT32_MIN ? static_cast<uint32_t>(static_cast<int32_t>(v)) : static_cast<uint64_t>(v);
  std::string s;
  do {
    s += d[u & 15];
    u >>= 4;
  } while (u);
  std::reverse(s.begin(), s.end());
  return s;
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

bool HexToDecimal(std::string_view hex, std::string& out) {
  std::string_view h = TrimView(hex);
  if (h.size() >= 2 && h[0] == '&' && (h[1] == 'H' || h[1] == 'h')) h.remove_prefix(2);
  else if (h.size() >= 2 && h[0] == '0' && (h[1] == 'X' || h[1] == 'x')) h.remove_prefix(2);
  if (h.empty()) return false;
  uint64_t v = 0;
  for (char c : h) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    if (v >> 60) return false;  // more than 64 bits
    v = v * 16 + static_cast<uint64_t>(d);
  }
  out = std::to_string(v);
  return true;
}

std::string TextToHex(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (size_t i = 0; i < text.size(); ++i) {
    if (i) out += ' ';
    out += HexText(static_cast<unsigned char>(text[i]));
  }
  return out;
}

bool HexToText(std::string_view codes, std::string& out) {
  out.clear();
  size_t i = 0;
  while (i < codes.size()) {
    while (i < codes.size() && (codes[i] == ' ' || codes[i] == '\t')) ++i;
    if (i >= codes.size()) break;
    size_t j = i;
    unsigned v = 0;
    while (j < codes.size() && codes[j] != ' ' && codes[j] != '\t') {
      const int d = HexDigit(codes[j]);
      if (d < 0) return false;
      v = v * 16 + static_cast<unsigned>(d);
      if (v > 255) return false;
      ++j;
    }
    out += static_cast<char>(v);
    i = j;
  }
  return true;
}

bool CodesToText(const std::vector<std::string>& codes, std::string& out) {
  out.clear();
  for (const auto& c : codes) {
    const std::string_view t = TrimView(c);
    if (t.empty()) return false;
    const Num v = Val(t);
    if (!(v >= 0 && v <= 255)) return false;
    out += static_cast<char>(static_cast<unsigned>(v));
  }
  return true;
}

std::string TextToCodes(std::string_view text, std::string_view sep) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i) out += sep;
    out += std::to_string(static_cast<unsigned char>(text[i]));
  }
  return out;
}

// ---------------------------------------------------------------------------
// paths
//
// Rules: "\" and "/" both separate folders. The drive is "C:" for a drive
// path, "\\server\share" for a UNC path and "http://host" for an address;
// other paths have no drive. The folder is everything up to and including the
// last separator (for "C:name" just "C:"), so folder + file name gives the
// path back; a path ending in a separator has an empty file name. The
// extension is the text after the last "." of the file name (empty without
// one); the prefix is the file name without "." and extension.

namespace {

bool IsSep(char c) { return c == '\\' || c == '/'; }

// Length of the drive part of p.
size_t DriveLength(std::string_view p) {
  if (StartsWithNoCase(p, "http://") || StartsWithNoCase(p, "ftp://")) {
    const size_t s = p.find("://") + 3;
    size_t e = s;
    while (e < p.size() && !IsSep(p[e])) ++e;
    return e;
  }
  if (p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'))) return 2;
  if (p.size() >= 2 && IsSep(p[0]) && IsSep(p[1])) {
    size_t e = 2;
    while (e < p.size() && !IsSep(p[e])) ++e;  // server
    if (e < p.size()) {
      ++e;
      while (e < p.size() && !IsSep(p[e])) ++e;  // share
    }
    return e;
  }
  return 0;
}

}  // namespace

std::string SplitPath(std::string_view path, PathPart part) {
  const std::string_view p = TrimView(path);
  const size_t drive = DriveLength(p);
  size_t cut = drive;  // start of the file name
  for (size_t i = p.size(); i > drive; --i)
    if (IsSep(p[i - 1])) {
      cut = i;
      break;
    }
  const std::string_view file = p.substr(cut);
  const size_t dot = file.rfind('.');
  switch (part) {
    case PathPart::Drive:
      return std::string(p.substr(0, drive));
    case PathPart::Folder: {
      std::string f(p.substr(0, cut));
      // A UNC share or an address without a path still names a folder.
      if (cut == drive && drive > 2 && cut == p.size()) f += IsSep(p[0]) ? '\\' : '/';
      return f;
    }
    case PathPart::File:
      return std::string(file);
    case PathPart::Ext:
      return dot == std::string_view::npos ? std::string() : std::string(file.substr(dot + 1));
    case PathPart::Prefix:
      return std::string(file.substr(0, dot));
  }
  return std::string();
}

// ---------------------------------------------------------------------------
// whole-list algorithms

void SortElements(std::vector<std::string>& list, long long pos, long long len, bool ci, bool descending) {
  const bool keyed = pos > 0 && len > 0;
  std::vector<std::string> keys(list.size());
  for (size_t i = 0; i < list.size(); ++i) {
    std::string k = keyed ? MidText(list[i], pos, len) + list[i] : list[i];
    keys[i] = ci ? Upper(k) : std::move(k);
  }
  std::vector<size_t> order(list.size());
  std::iota(order.begin(), order.end(), size_t{0});
  // Equal keys under the case flag are ordered by their bytes, then by their
  // place, so the order is fully determined and SORTD is its exact reverse.
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    if (int c = keys[a].compare(keys[b])) return c < 0;
    if (int c = list[a].compare(list[b])) return c < 0;
    return a < b;
  });
  std::vector<std::string> sorted;
  sorted.reserve(list.size());
  for (size_t i : order) sorted.push_back(std::move(list[i]));
  if (descending) std::reverse(sorted.begin(), sorted.end());
  list.swap(sorted);
}

std::vector<std::string> CropElements(const std::vector<std::string>& list, std::string_view start,
                                      std::string_view end, long long pos, long long len, bool ci) {
  std::vector<std::string> out;
  bool inside = false;
  for (const auto& e : list) {
    if (inside && WildcardMatch(e, end, ci)) inside = false;
    if (inside) {
      const std::string v = pos > 0 ? MidText(e, pos, len > 0 ? len : -1) : e;
      out.push_back(Trim(v));
    }
    if (WildcardMatch(e, start, ci)) inside = true;
  }
  return out;
}

std::string TransferValue(std::string_view element, const std::vector<std::pair<long long, long long>>& pairs) {
  if (pairs.empty() || pairs[0].first <= 0) return std::string(element);
  std::string padded(element);
  padded.append(4096, ' ');
  std::string v;
  for (const auto& [pos, len] : pairs)
    if (pos > 0 && len > 0) v += MidText(padded, pos, len);
  return v;
}

// ---------------------------------------------------------------------------
// text files

std::string TextLines::Join() const {
  size_t n = 0;
  for (size_t i = 0; i < body.size(); ++i) n += body[i].size() + ends[i].size();
  std::string out;
  out.reserve(n);
  for (size_t i = 0; i < body.size(); ++i) {
    out += body[i];
    out += ends[i];
  }
  return out;
}

TextLines SplitLines(std::string_view b) {
  TextLines t;
  size_t start = 0;
  while (start < b.size()) {
    const size_t lf = b.find('\n', start);
    if (lf == std::string_view::npos) {
      t.body.emplace_back(b.substr(start));
      t.ends.emplace_back();
      break;
    }
    size_t e = lf;
    if (e > start && b[e - 1] == '\r') --e;
    t.body.emplace_back(b.substr(start, e - start));
    t.ends.emplace_back(b.substr(e, lf + 1 - e));
    start = lf + 1;
  }
  return t;
}

std::string LineEnding(const TextLines& t) {
  if (!t.ends.empty() && !t.ends[0].empty()) return t.ends[0];
  return "\r\n";
}

void InsertLine(TextLines& t, size_t n, std::string_view text) {
  const std::string eol = LineEnding(t);
  if (n < 1) n = 1;
  if (n > t.body.size()) {
    // The last line gets an ending first, so the new text starts a line.
    if (!t.ends.empty() && t.ends.back().empty()) t.ends.back() = eol;
    t.body.emplace_back(text);
    t.ends.push_back(eol);
    return;
  }
  t.body.insert(t.body.begin() + static_cast<long>(n - 1), std::string(text));
  t.ends.insert(t.ends.begin() + static_cast<long>(n - 1), eol);
}

bool LineMatches(std::string_view line, std::string_view pattern, bool ci) {
  if (pattern.find('*') != std::string_view::npos) return WildcardMatch(line, pattern, ci);
  if (pattern.empty()) return false;
  return (ci ? FindNoCase(line, pattern) : line.find(pattern)) != std::string_view::npos;
}

size_t SubstituteInLines(TextLines& t, std::string_view search, std::string_view repl) {
  if (search.empty()) return 0;
  size_t count = 0;
  for (auto& l : t.body) {
    size_t p = l.find(search);
    if (p == std::string::npos) continue;
    std::string r;
    size_t start = 0;
    while (p != std::string::npos) {
      r.append(l, start, p - start);
      r.append(repl);
      ++count;
      start = p + search.size();
      p = l.find(search, start);
    }
    r.append(l, start, std::string::npos);
    l.swap(r);
  }
  return count;
}

bool HasUtf16Bom(std::string_view b) {
  return b.size() >= 2 && ((b[0] == '\xFF' && b[1] == '\xFE') || (b[0] == '\xFE' && b[1] == '\xFF'));
}

int Utf16Order(std::string_view b, bool& hasBom) {
  hasBom = HasUtf16Bom(b);
  if (hasBom) return b[0] == '\xFF' ? 1 : 2;
  if (b.size() < 2 || b.size() % 2 != 0) return 0;
  size_t zeroOdd = 0, zeroEven = 0;
  for (size_t i = 0; i + 1 < b.size(); i += 2) {
    if (b[i] == 0) ++zeroEven;
    if (b[i + 1] == 0) ++zeroOdd;
  }
  const size_t chars = b.size() / 2;
  if (zeroOdd * 2 > chars && zeroOdd > zeroEven) return 1;
  if (zeroEven * 2 > chars && zeroEven > zeroOdd) return 2;
  return 0;
}

}  // namespace kes
