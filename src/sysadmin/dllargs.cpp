#include "sysadmin/dllargs.h"

#include "interp/text.h"

namespace kes {

DllArg ReadDllArg(std::string_view field, std::string_view quote) {
  DllArg a;
  const std::string_view f = TrimView(field);
  if (!quote.empty() && f.size() >= 2 * quote.size() && StartsWith(f, quote) && EndsWith(f, quote)) {
    a.text = Unquote(f, quote);
    return a;
  }
  a.text.assign(f);
  if (f.size() > 2 && (f[0] == '&') && (f[1] == 'H' || f[1] == 'h') && f.size() <= 10) {
    uint32_t v = 0;
    for (size_t i = 2; i < f.size(); ++i) {
      const char c = f[i];
      int d;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      else return a;
      v = v << 4 | static_cast<uint32_t>(d);
    }
    a.isNumber = true;
    a.number = v;
    return a;
  }
  size_t i = 0;
  const bool neg = !f.empty() && f[0] == '-';
  if (!f.empty() && (f[0] == '-' || f[0] == '+')) i = 1;
  if (i >= f.size() || f.size() - i > 10) return a;
  uint64_t n = 0;
  for (; i < f.size(); ++i) {
    if (f[i] < '0' || f[i] > '9') return a;
    n = n * 10 + static_cast<uint64_t>(f[i] - '0');
  }
  if (neg ? n > 2147483648ULL : n > 4294967295ULL) return a;
  a.isNumber = true;
  a.number = neg ? static_cast<uint32_t>(0 - static_cast<uint32_t>(n)) : static_cast<uint32_t>(n);
  return a;
}

}  // namespace kes
