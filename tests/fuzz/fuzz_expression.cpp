// The expression evaluator on any text: no crash, no undefined behaviour,
// and the same answer twice.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "interp/expression.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const kes::ExprResult a = kes::EvaluateExpression(text);
  const kes::ExprResult b = kes::EvaluateExpression(text);
  if (a.syntaxError != b.syntaxError) std::abort();
  if (!(a.value == b.value || (std::isnan(a.value) && std::isnan(b.value)))) std::abort();
  return 0;
}
