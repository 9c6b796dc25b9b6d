// How CALLDLL reads its arguments: each one a 32-bit number or a text.
// Pure; the forms are described in docs/programs.md.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kes {

// The most arguments one call passes.
inline constexpr size_t kMaxDllArgs = 16;
// The smallest buffer a text argument gets, so a function may write an
// answer into it.
inline constexpr size_t kDllTextBuffer = 1024;

struct DllArg {
  bool isNumber = false;
  uint32_t number = 0;
  std::string text;
};

// A decimal integer (optional sign, -2147483648 to 4294967295) or "&H"
// followed by 1 to 8 hexadecimal digits is a number; a text in quote
// characters loses them and stays a text, whatever it holds; anything else
// is a text.
DllArg ReadDllArg(std::string_view field, std::string_view quote);

}  // namespace kes
