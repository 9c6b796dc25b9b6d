// Number formatting: the general format and the format masks on any value
// and any mask. The input is "mask\nnumber text", or, after a first byte 0,
// the 8 bytes of a double (infinities, NaN, denormals) and the mask. No
// crash, the same text twice, and a general-format text that reads back to
// its own text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "interp/numformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  kes::Num v = 0;
  std::string_view mask;
  if (size >= 9 && data[0] == 0) {
    double d;
    std::memcpy(&d, data + 1, sizeof d);
    v = d;
    mask = all.substr(9);
  } else {
    const size_t nl = all.find('\n');
    mask = all.substr(0, nl);
    v = kes::Val(nl == std::string_view::npos ? std::string_view() : all.substr(nl + 1));
  }
  if (mask.size() > 256) mask = mask.substr(0, 256);
  const std::string g = kes::GeneralFormat(v);
  if (g != kes::GeneralFormat(v)) std::abort();
  if (g.empty() || g.size() > 64) std::abort();
  // A value printed with its 15 digits and read again prints the same
  // (beyond 1E15 whole numbers print every digit, which reading may round).
  if (v == v && v < 1e15 && v > -1e15 && kes::GeneralFormat(kes::Val(g)) != g) std::abort();
  const std::string f = kes::FormatNumber(v, mask);
  if (f != kes::FormatNumber(v, mask)) std::abort();
  return 0;
}
