// Compress then decompress. The fuzz input is either taken as it is or, when
// its first byte is odd, expanded by a small program (runs, repeats, copies
// from far back) into inputs of several windows, so that wraps of the ring,
// reads of the mirror and long equal candidates are reached. Checks: the
// round trip, the size bound, and for short inputs the plain transcription of
// the greedy search.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "../unit/core/compress_reference.h"
#include "packaging/compress.h"

namespace {

std::string Expand(const uint8_t* p, size_t n) {
  std::string s;
  constexpr size_t kMax = 40000;
  size_t i = 0;
  while (i < n && s.size() < kMax) {
    const uint8_t op = p[i++];
    const size_t arg = i < n ? p[i] : 0;
    switch (op & 3) {
      case 0:  // literal bytes
        for (size_t k = 0; k <= (op >> 2) && i < n; ++k) s.push_back(static_cast<char>(p[i++]));
        break;
      case 1:  // a run of one byte
        ++i;
        s.append(((op >> 2) + 1) * 64 + arg, static_cast<char>(i < n ? p[i++] : ' '));
        break;
      case 2: {  // repeat the last few bytes
        ++i;
        const size_t period = (op >> 2) + 1;
        if (s.size() >= period) {
          const std::string unit = s.substr(s.size() - period);
          for (size_t k = 0; k < arg * 16 + 1; ++k) s += unit;
        }
        break;
      }
      default: {  // copy bytes from about a window back
        ++i;
        const size_t back = 4096 - 32 + (op >> 2);
        if (s.size() >= back) s += s.substr(s.size() - back, arg % 24 + 1);
        break;
      }
    }
  }
  if (s.size() > kMax) s.resize(kMax);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input;
  if (size && (data[0] & 1)) input = Expand(data + 1, size - 1);
  else input.assign(reinterpret_cast<const char*>(data), size);
  const std::string packed = kes::Compress(input);
  if (packed.size() > input.size() + (input.size() + 7) / 8) std::abort();
  if (kes::Decompress(packed) != input) std::abort();
  if (input.size() <= 600 && kes_reference::Compress(input) != packed) std::abort();
  return 0;
}
