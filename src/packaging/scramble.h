// The program's own scrambling: hides text from a casual reader, is not
// encryption (docs/scrambling.md). One routine serves scrambled scripts, the
// CODE commands, protected "@" values, the PACK index and the option field
// of packaged executables.
#pragma once

#include <string>
#include <string_view>

namespace kes {

// Each byte is XORed with a key byte and with the previous output byte, and
// written as two upper-case hexadecimal digits. An empty key means the
// program's built-in key.
std::string Scramble(std::string_view plain, std::string_view key = {});

// The reverse. False (out left empty) when coded is not a scrambled text: an
// odd length or a character that is not an upper-case hexadecimal digit.
bool Unscramble(std::string_view coded, std::string& out, std::string_view key = {});

// Unscramble, or the text unchanged when it is not a scrambled text.
std::string UnscrambleOrKeep(std::string_view coded, std::string_view key = {});

}  // namespace kes
