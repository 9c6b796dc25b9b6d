// Date and time arithmetic on any texts: serials on every unit, differences,
// and shifts by any number of days or seconds. The input is "first\nsecond"
// followed by 8 bytes of shift after a NUL. No crash and no undefined
// behaviour (the shifts overflow nothing), and a difference that is the
// difference of the serials.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "interp/datetime.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view all(reinterpret_cast<const char*>(data), size);
  long long n = 0;
  const size_t nul = all.find('\0');
  if (nul != std::string_view::npos) {
    const std::string_view tail = all.substr(nul + 1);
    std::memcpy(&n, tail.data(), tail.size() < sizeof n ? tail.size() : sizeof n);
    all = all.substr(0, nul);
  }
  const size_t nl = all.find('\n');
  const std::string_view first = all.substr(0, nl);
  const std::string_view second = nl == std::string_view::npos ? std::string_view() : all.substr(nl + 1);
  for (const char* unit : {"y", "m", "d", "h", "n", "mi", "s", "Month", "x", ""}) {
    const kes::Num a = kes::DateTimeSerial(first, unit);
    const kes::Num b = kes::DateTimeSerial(second, unit);
    const kes::Num d = kes::DateTimeDiff(unit, first, second);
    if (d != b - a && !(d != d)) std::abort();
  }
  for (const char op : {'+', '-', '*'}) {
    const std::string ds = kes::DateShift(first, n, op);
    if (ds != kes::DateShift(first, n, op)) std::abort();
    const std::string ts = kes::TimeShift(second, n, op);
    if (ts != kes::TimeShift(second, n, op)) std::abort();
  }
  return 0;
}
