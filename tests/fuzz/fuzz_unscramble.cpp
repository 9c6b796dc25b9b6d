// Any bytes to the unscrambler and the option field reader; and the bytes
// scrambled, with a key taken from them, must come back whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "packaging/package_format.h"
#include "packaging/scramble.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  std::string out;
  if (kes::Unscramble(in, out) && out.size() * 2 != in.size()) std::abort();
  const std::string_view key = in.substr(0, size % 17);
  if (!kes::Unscramble(kes::Scramble(in, key), out, key) || out != in) std::abort();
  if (kes::UnscrambleOrKeep(in).size() > in.size()) std::abort();
  kes::PackageOptions o;
  kes::ReadOptionField(in, o);
  return 0;
}
