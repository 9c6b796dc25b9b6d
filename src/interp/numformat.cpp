#include "interp/numformat.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

// Long double conversions go through the printf family; the MSVCRT one would
// read the 80-bit value as a double.
#if defined(__MINGW32__) && (!defined(__USE_MINGW_ANSI_STDIO) || __USE_MINGW_ANSI_STDIO == 0)
#error "build with __USE_MINGW_ANSI_STDIO=1 so printf handles long double"
#endif

namespace kes {

namespace {

constexpr Num kTwo63 = 9223372036854775808.0L;
constexpr Num kTwo64 = 18446744073709551616.0L;

// A non-negative finite value as decimal digits: value = 0.digits x 10^exp.
// digits has no leading or trailing zeros; it is empty for zero.
struct Decimal {
  std::string digits;
  long long exp = 0;
};

void StripTrailingZeros(Decimal& d) {
  size_t n = d.digits.size();
  while (n > 0 && d.digits[n - 1] == '0') --n;
  d.digits.resize(n);
  if (d.digits.empty()) d.exp = 0;
}

// Digits of |v| rounded to `sig` significant digits (correctly rounded by the
// C library).
Decimal SignificantDigits(Num a, int sig) {
  Decimal d;
  if (a == 0) return d;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*Le", sig - 1, a);
  // buf is "d.ddd...e+XX" (or "de+XX" when sig is 1).
  const char* p = buf;
  for (; *p && *p != 'e' && *p != 'E'; ++p)
    if (*p >= '0' && *p <= '9') d.digits += *p;
  long long e = 0;
  if (*p) e = std::strtoll(p + 1, nullptr, 10);
  d.exp = e + 1;
  StripTrailingZeros(d);
  return d;
}

Decimal ExactWhole(uint64_t u) {
  Decimal d;
  if (u == 0) return d;
  d.digits = std::to_string(u);
  d.exp = static_cast<long long>(d.digits.size());
  StripTrailingZeros(d);
  return d;
}

std::string ExponentText(long long e) {
  std::string s = e < 0 ? "E-" : "E+";
  const unsigned long long m = e < 0 ? 0ULL - static_cast<unsigned long long>(e) : static_cast<unsigned long long>(e);
  std::string n = std::to_string(m);
  if (n.size() < 2) n.insert(0, 1, '0');
  return s + n;
}

std::string NonFiniteText(Num v) {
  if (std::isnan(v)) return "NAN";
  return v < 0 ? "-INF" : "INF";
}

// ---- masks ----------------------------------------------------------------

enum class ItemKind : uint8_t { Zero, Hash, Point, Literal };

struct Item {
  ItemKind kind;
  bool fraction = false;  // placeholder after the decimal point
  std::string text;       // literal text
};

struct Section {
  std::vector<Item> items;
  int intPlaces = 0;
  int fracPlaces = 0;
  bool empty = true;  // no characters at all
};

void AddLiteral(Section& s, std::string_view text) {
  if (text.empty()) return;
  if (!s.items.empty() && s.items.back().kind == ItemKind::Literal)
    s.items.back().text.append(text);
  else
    s.items.push_back(Item{ItemKind::Literal, false, std::string(text)});
}

Section ParseSection(std::string_view m) {
  Section s;
  s.empty = m.empty();
  bool pointSeen = false;
  for (size_t i = 0; i < m.size(); ++i) {
    const char c = m[i];
    if (c == '\\') {
      if (i + 1 < m.size()) AddLiteral(s, m.substr(++i, 1));
    } else if (c == '"') {
      const size_t close = m.find('"', i + 1);
      const size_t end = close == std::string_view::npos ? m.size() : close;
      AddLiteral(s, m.substr(i + 1, end - i - 1));
      i = end;
    } else if (c == '0' || c == '#') {
      s.items.push_back(Item{c == '0' ? ItemKind::Zero : ItemKind::Hash, pointSeen, {}});
      if (pointSeen)
        ++s.fracPlaces;
      else
        ++s.intPlaces;
    } else if (c == '.' && !pointSeen) {
      pointSeen = true;
      s.items.push_back(Item{ItemKind::Point, false, {}});
    } else {
      AddLiteral(s, m.substr(i, 1));
    }
  }
  return s;
}

// Splits the mask at ";" outside quotes and escapes; at most three sections.
std::vector<std::string_view> SplitSections(std::string_view mask) {
  std::vector<std::string_view> out;
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i < mask.size(); ++i) {
    const char c = mask[i];
    if (quoted) {
      if (c == '"') quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == '\\') {
      ++i;
    } else if (c == ';') {
      out.push_back(mask.substr(start, i - start));
      start = i + 1;
      if (out.size() == 3) return out;
    }
  }
  out.push_back(mask.substr(start));
  return out;
}

// Digits of a non-negative finite value for masks. Whole numbers below 2^64
// are exact; anything else is taken at 18 significant digits, the precision
// the number type holds reliably, so a value read from "2.675" rounds as
// written rather than by its binary representation.
Decimal MaskDigits(Num a) {
  if (a < kTwo64 && std::floor(a) == a) return ExactWhole(static_cast<uint64_t>(a));
  return SignificantDigits(a, 18);
}

// Rounds half away from zero to `decimals` places.
void RoundDecimals(Decimal& d, long long decimals) {
  if (d.digits.empty()) return;
  const long long keep = d.exp + decimals;  // digits left of the cut
  if (keep >= static_cast<long long>(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    d.exp = 0;
    return;
  }
  const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
  d.digits.resize(static_cast<size_t>(keep));
  if (up) {
    size_t i = d.digits.size();
    while (i > 0 && d.digits[i - 1] == '9') d.digits[--i] = '0';
    if (i == 0) {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exp;
    } else {
      ++d.digits[i - 1];
    }
  }
  StripTrailingZeros(d);
}

// Formats a non-negative value with one parsed section; `negative` adds a
// leading "-" when the shown value is not zero.
std::string FormatSection(const Section& s, Num a, bool negative) {
  std::string out;
  if (s.intPlaces + s.fracPlaces == 0) {
    // No digit placeholder: only the literal text.
    for (const Item& it : s.items)
      out += it.kind == ItemKind::Point ? std::string(".") : it.text;
    return out;
  }
  Decimal d = MaskDigits(a);
  RoundDecimals(d, s.fracPlaces);
  if (negative && !d.digits.empty()) out += '-';

  std::string intDigits;
  if (d.exp > 0) {
    intDigits = d.digits.substr(0, static_cast<size_t>(d.exp));
    if (static_cast<long long>(intDigits.size()) < d.exp)
      intDigits.append(static_cast<size_t>(d.exp) - intDigits.size(), '0');
  }
  auto fracDigit = [&d](long long j) {
    const long long idx = d.exp + j;
    if (idx < 0 || idx >= static_cast<long long>(d.digits.size())) return '0';
    return d.digits[static_cast<size_t>(idx)];
  };

  // Trailing fraction digits under "#" that are zero are dropped.
  std::vector<char> fracPlace;
  fracPlace.reserve(static_cast<size_t>(s.fracPlaces));
  for (const Item& it : s.items)
    if (it.fraction) fracPlace.push_back(it.kind == ItemKind::Zero ? '0' : '#');
  long long fracShown = s.fracPlaces;
  while (fracShown > 0 && fracPlace[static_cast<size_t>(fracShown - 1)] == '#' && fracDigit(fracShown - 1) == '0')
    --fracShown;

  const size_t li = intDigits.size();
  const size_t ni = static_cast<size_t>(s.intPlaces);
  size_t intIndex = 0;
  long long fracIndex = 0;
  for (const Item& it : s.items) {
    switch (it.kind) {
      case ItemKind::Literal:
        out += it.text;
        break;
      case ItemKind::Point:
        if (ni == 0) out += intDigits;  // no integer placeholder: digits go before the point
        out += '.';
        break;
      case ItemKind::Zero:
      case ItemKind::Hash:
        if (it.fraction) {
          if (fracIndex < fracShown) out += fracDigit(fracIndex);
          ++fracIndex;
        } else {
          // Placeholders take digits right to left; the leftmost one also
          // takes every digit beyond the placeholder count.
          if (intIndex == 0 && li > ni) out.append(intDigits, 0, li - ni);
          const size_t fromRight = ni - 1 - intIndex;
          if (fromRight < li)
            out += intDigits[li - 1 - fromRight];
          else if (it.kind == ItemKind::Zero)
            out += '0';
          ++intIndex;
        }
        break;
    }
  }
  return out;
}

}  // namespace

std::string GeneralFormat(Num v) {
  if (!std::isfinite(v)) return NonFiniteText(v);
  if (v == 0) return "0";  // also negative zero
  const bool neg = v < 0;
  const Num a = neg ? -v : v;
  std::string out = neg ? "-" : "";
  if (a < kTwo63 && std::floor(a) == a) {
    out += std::to_string(static_cast<uint64_t>(a));
    return out;
  }
  const Decimal d = SignificantDigits(a, 15);
  const long long e = d.exp - 1;  // decimal exponent of the first digit
  if (e >= 15 || e < -5) {
    out += d.digits[0];
    if (d.digits.size() > 1) {
      out += '.';
      out.append(d.digits, 1, std::string::npos);
    }
    out += ExponentText(e);
  } else if (e >= 0) {
    const size_t intLen = static_cast<size_t>(e) + 1;
    if (d.digits.size() <= intLen) {
      out += d.digits;
      out.append(intLen - d.digits.size(), '0');
    } else {
      out.append(d.digits, 0, intLen);
      out += '.';
      out.append(d.digits, intLen, std::string::npos);
    }
  } else {
    out += "0.";
    out.append(static_cast<size_t>(-e - 1), '0');
    out += d.digits;
  }
  return out;
}

std::string FormatNumber(Num v, std::string_view mask) {
  if (mask.empty() || !std::isfinite(v)) return GeneralFormat(v);
  const std::vector<std::string_view> parts = SplitSections(mask);
  const Section pos = ParseSection(parts[0]);
  auto positive = [&](Num x, bool negative) {
    if (pos.empty) return GeneralFormat(negative ? -x : x);
    return FormatSection(pos, x, negative);
  };
  if (v < 0) {
    if (parts.size() >= 2) {
      const Section neg = ParseSection(parts[1]);
      if (!neg.empty) return FormatSection(neg, -v, false);
    }
    // One section, or an empty negative one: the positive mask with a sign.
    return positive(-v, true);
  }
  if (v == 0 && parts.size() >= 3) {
    const Section zero = ParseSection(parts[2]);
    if (!zero.empty) return FormatSection(zero, 0, false);
  }
  return positive(v == 0 ? 0 : v, false);
}

}  // namespace kes
