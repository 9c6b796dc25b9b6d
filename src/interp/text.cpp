#include "interp/text.h"

#include <cstdlib>
#include <limits>

namespace kes {

namespace {

struct CaseTables {
  unsigned char up[256];
  unsigned char low[256];
};

constexpr CaseTables MakeTables() {
  CaseTables t{};
  for (int i = 0; i < 256; ++i) t.up[i] = t.low[i] = static_cast<unsigned char>(i);
  auto pair = [&t](int u, int l) {
    t.up[l] = static_cast<unsigned char>(u);
    t.low[u] = static_cast<unsigned char>(l);
  };
  for (int c = 'a'; c <= 'z'; ++c) pair(c - 32, c);
  // Windows-1252 letters outside ASCII.
  pair(0x8A, 0x9A);  // S caron
  pair(0x8C, 0x9C);  // OE
  pair(0x8E, 0x9E);  // Z caron
  pair(0x9F, 0xFF);  // Y diaeresis
  for (int c = 0xE0; c <= 0xFE; ++c)
    if (c != 0xF7) pair(c - 32, c);
  return t;
}

// Built at compile time, so the per-character lookups need no guard.
constexpr CaseTables kTables = MakeTables();
const CaseTables& Tables() { return kTables; }

// Exact powers of ten: with at most 19 significant digits the mantissa and
// the power are both exact, so one division rounds as the general reader.
constexpr Num kPow10[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,
                          1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L,
                          1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};

// Plain decimal numbers ("-12", "3.25") without building a copy; false
// when the general reader is needed (exponent, many digits).
bool FastDecimal(std::string_view s, size_t i, Num& out) {
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  uint64_t mant = 0;
  int sig = 0, frac = 0;
  bool point = false, digits = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      digits = true;
      if (point) ++frac;
      if (sig > 0 || c != '0') {
        if (++sig > 19) return false;
        mant = mant * 10 + static_cast<uint64_t>(c - '0');
      }
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (frac > 27) return false;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) return false;
  if (!digits) {
    out = 0;
    return true;
  }
  const Num v = static_cast<Num>(mant) / kPow10[frac];
  out = neg ? -v : v;
  return true;
}

}  // namespace

char UpperChar(char c) { return static_cast<char>(Tables().up[static_cast<unsigned char>(c)]); }
char LowerChar(char c) { return static_cast<char>(Tables().low[static_cast<unsigned char>(c)]); }

std::string Upper(std::string_view s) {
  std::string r(s);
  UpperInPlace(r);
  return r;
}

void UpperInPlace(std::string& s) {
  const auto& t = Tables();
  for (char& c : s) c = static_cast<char>(t.up[static_cast<unsigned char>(c)]);
}

std::string Lower(std::string_view s) {
  std::string r(s);
  const auto& t = Tables();
  for (char& c : r) c = static_cast<char>(t.low[static_cast<unsigned char>(c)]);
  return r;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperChar(a[i]) != UpperChar(b[i])) return false;
  return true;
}

bool StartsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }
bool StartsWithNoCase(std::string_view s, std::string_view p) {
  return s.size() >= p.size() && EqualsNoCase(s.substr(0, p.size()), p);
}
bool EndsWith(std::string_view s, std::string_view p) {
  return s.size() >= p.size() && s.substr(s.size() - p.size()) == p;
}

size_t FindNoCase(std::string_view hay, std::string_view needle, size_t from) {
  if (needle.empty()) return from <= hay.size() ? from : std::string_view::npos;
  if (needle.size() > hay.size()) return std::string_view::npos;
  const char first = UpperChar(needle[0]);
  for (size_t i = from; i + needle.size() <= hay.size(); ++i) {
    if (UpperChar(hay[i]) != first) continue;
    size_t k = 1;
    while (k < needle.size() && UpperChar(hay[i + k]) == UpperChar(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

std::string_view LTrimView(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && s[b] == ' ') ++b;
  return s.substr(b);
}
std::string_view RTrimView(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && s[e - 1] == ' ') --e;
  return s.substr(0, e);
}
std::string_view TrimView(std::string_view s) { return RTrimView(LTrimView(s)); }
std::string Trim(std::string_view s) { return std::string(TrimView(s)); }
std::string LTrim(std::string_view s) { return std::string(LTrimView(s)); }
std::string RTrim(std::string_view s) { return std::string(RTrimView(s)); }

std::string TrimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return std::string(s.substr(b, e - b));
}

Num Val(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
  if (i + 1 < s.size() && s[i] == '&') {
    const char k = UpperChar(s[i + 1]);
    if (k == 'H' || k == 'O') {
      const int base = k == 'H' ? 16 : 8;
      uint64_t v = 0;
      size_t j = i + 2, digits = 0;
      for (; j < s.size(); ++j) {
        int d;
        const char c = UpperChar(s[j]);
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else break;
        if (d >= base) break;
        v = v * base + static_cast<uint64_t>(d);
        ++digits;
      }
      if (digits == 0) return 0;
      // Up to eight hex digits are a signed 32-bit value, as "&HFFFFFFFF" is -1.
      if (base == 16 && digits <= 8) return static_cast<Num>(static_cast<int32_t>(static_cast<uint32_t>(v)));
      return static_cast<Num>(v);
    }
  }
  if (Num fast; FastDecimal(s, i, fast)) return fast;
  std::string num;
  size_t j = i;
  if (j < s.size() && (s[j] == '+' || s[j] == '-')) num += s[j++];
  bool digits = false;
  while (j < s.size() && s[j] >= '0' && s[j] <= '9') { num += s[j++]; digits = true; }
  if (j < s.size() && s[j] == '.') {
    num += s[j++];
    while (j < s.size() && s[j] >= '0' && s[j] <= '9') { num += s[j++]; digits = true; }
  }
  if (!digits) return 0;
  if (j < s.size() && (s[j] == 'E' || s[j] == 'e' || s[j] == 'D' || s[j] == 'd')) {
    size_t k = j + 1;
    std::string ex = "e";
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) ex += s[k++];
    bool ed = false;
    while (k < s.size() && s[k] >= '0' && s[k] <= '9' && ex.size() < 12) { ex += s[k++]; ed = true; }
    if (ed) num += ex;
  }
  return std::strtold(num.c_str(), nullptr);
}

int64_t ValInt64(std::string_view s) {
  const Num v = Val(s);
  if (v != v) return 0;
  if (v >= static_cast<Num>(std::numeric_limits<int64_t>::max())) return std::numeric_limits<int64_t>::max();
  if (v <= static_cast<Num>(std::numeric_limits<int64_t>::min())) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(v);
}

int32_t ValInt(std::string_view s) {
  const int64_t v = ValInt64(s);
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

std::string IntText(int64_t v) { return std::to_string(v); }

std::vector<std::string> SplitPlain(std::string_view s, std::string_view sep) {
  std::vector<std::string> out;
  if (sep.empty()) {
    out.emplace_back(s);
    return out;
  }
  size_t start = 0;
  for (;;) {
    const size_t p = s.find(sep, start);
    if (p == std::string_view::npos) {
      out.emplace_back(s.substr(start));
      return out;
    }
    out.emplace_back(s.substr(start, p - start));
    start = p + sep.size();
  }
}

std::vector<std::string> SplitFields(std::string_view s, std::string_view sep, std::string_view quote) {
  std::vector<std::string> out;
  if (sep.empty()) {
    out.push_back(Trim(s));
    return out;
  }
  size_t start = 0, i = 0;
  bool inQuote = false;
  while (i < s.size()) {
    if (!quote.empty() && s.compare(i, quote.size(), quote) == 0) {
      inQuote = !inQuote;
      i += quote.size();
      continue;
    }
    if (!inQuote && s.compare(i, sep.size(), sep) == 0) {
      out.push_back(Trim(s.substr(start, i - start)));
      i += sep.size();
      start = i;
      continue;
    }
    ++i;
  }
  out.push_back(Trim(s.substr(start)));
  return out;
}

std::string Unquote(std::string_view s, std::string_view quote) {
  if (!quote.empty() && s.size() >= 2 * quote.size() && StartsWith(s, quote) && EndsWith(s, quote))
    return std::string(s.substr(quote.size(), s.size() - 2 * quote.size()));
  return std::string(s);
}

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
  if (from.empty()) return;
  size_t p = s.find(from);
  if (p == std::string::npos) return;
  std::string r;
  r.reserve(s.size());
  size_t start = 0;
  while (p != std::string::npos) {
    r.append(s, start, p - start);
    r.append(to);
    start = p + from.size();
    p = s.find(from, start);
  }
  r.append(s, start, std::string::npos);
  s.swap(r);
}

std::string ReplaceAllCopy(std::string_view s, std::string_view from, std::string_view to) {
  std::string r(s);
  ReplaceAll(r, from, to);
  return r;
}

void RemoveChar(std::string& s, char c) {
  size_t w = 0;
  for (char x : s)
    if (x != c) s[w++] = x;
  s.resize(w);
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string ZeroPad(int64_t v, int width) {
  std::string d = std::to_string(v < 0 ? -v : v);
  if (static_cast<int>(d.size()) < width) d.insert(0, static_cast<size_t>(width) - d.size(), '0');
  return v < 0 ? "-" + d : d;
}

std::vector<std::string_view> LinesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t e = text.find('\n', start);
    const size_t next = e == std::string_view::npos ? text.size() : e + 1;
    if (e == std::string_view::npos) e = text.size();
    size_t end = e;
    if (end > start && text[end - 1] == '\r') --end;
    lines.push_back(text.substr(start, end - start));
    start = next;
  }
  return lines;
}

}  // namespace kes
