// Number reading (Val, ValInt, ValInt64) on any text: no crash, the same
// answer twice, whole numbers within their types, and a whole number's text
// that reads back to the same number.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "interp/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const kes::Num a = kes::Val(text);
  const kes::Num b = kes::Val(text);
  if (!(a == b || (a != a && b != b))) std::abort();
  const int32_t i = kes::ValInt(text);
  if (i != kes::ValInt(text)) std::abort();
  const int64_t l = kes::ValInt64(text);
  if (l != kes::ValInt64(text)) std::abort();
  if (kes::ValInt64(kes::IntText(l)) != l) std::abort();
  if (kes::ValInt(kes::IntText(i)) != i) std::abort();
  return 0;
}
