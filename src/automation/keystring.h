// Key strings: the text KEY types and GETKEY answers. Pure logic, no Win32:
// the caller supplies the keyboard layout and sends the strokes.
//
//   any character     that character, with the shift state the layout needs
//   + ^ #             Shift, Ctrl, Alt for the next key (sums 1, 2, 4, 6 only)
//   ~                 Enter
//   {name} {name n}   the named key, n times (0 counts as 1)
//   ++ ^^ ## ~~ {{    the character itself
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kes::keys {

// The name of a virtual-key code in the key-name table ("" when unnamed).
// Names are lower case; codes above 200 are modifiers for the next key.
std::string_view KeyName(unsigned code);
// The first code whose name is `lowerName`, or 255 when none has it.
unsigned KeyCode(std::string_view lowerName);

// The highest repeat count of "{name n}": larger counts are taken as this,
// so a typing slip cannot hold the script for hours.
inline constexpr uint32_t kMaxRepeat = 32767;

// One key to press `repeat` times. `layoutShift` is the shift state the
// layout needs for a character (1 Shift, 2 Ctrl, 4 Alt, as the platform
// reports it), `modifiers` the sum of the prefixes before the key.
struct KeyStroke {
  uint8_t vk = 0;
  uint8_t layoutShift = 0;
  uint8_t modifiers = 0;
  uint32_t repeat = 1;
};

// Which modifier keys a stroke holds down: the layout shift state and the
// prefix sum are tested apart, and only the values 1, 2, 4 and 6 count.
struct HeldModifiers {
  bool shift = false, ctrl = false, alt = false;
};
HeldModifiers ModifiersFor(const KeyStroke& k);

class KeySink {
 public:
  virtual ~KeySink() = default;
  // The platform's key for a character: virtual key in the low byte, shift
  // state in the high byte, 0xFFFF when the layout has no key for it.
  virtual uint16_t Layout(unsigned char c) = 0;
  virtual void Key(const KeyStroke& k) = 0;
};

// Walks a key string and hands each key to the sink in order. Answers false
// when a "{" has no closing "}": the keys before it have been handed on.
bool ParseKeyString(std::string_view text, KeySink& sink);

// True for the characters that stand doubled in a key string for themselves.
bool IsKeySpecial(char c);

// GETKEY's answer for a key: "{name}" when the key has a name, else the
// character it produces (doubled when it is special), preceded by "+", "^"
// and "#" for Shift, Ctrl and Alt held down.
std::string KeyAnswer(unsigned vk, std::string_view produced, bool shift, bool ctrl, bool alt);

}  // namespace kes::keys
