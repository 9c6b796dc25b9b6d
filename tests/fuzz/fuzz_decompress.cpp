// Any byte string fed to the decoder: it must stay inside its buffers (the
// sanitizers watch), agree with the plain reference decoder, and honour the
// output limit as a prefix of the unlimited output.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "../unit/core/compress_reference.h"
#include "packaging/compress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  const std::string all = kes::Decompress(in);
  if (all != kes_reference::Decompress(in)) std::abort();
  // An output limit taken from the first bytes.
  size_t cap = size >= 2 ? (data[0] | (data[1] << 8)) % (all.size() + 2) : 0;
  bool truncated = false;
  const std::string part = kes::Decompress(in, cap, &truncated);
  if (part.size() > cap) std::abort();
  if (part != all.substr(0, part.size())) std::abort();
  if (truncated != (cap < all.size())) std::abort();
  if (!truncated && part != all) std::abort();
  return 0;
}
