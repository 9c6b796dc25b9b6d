#include "automation/keystring.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kes::keys {
namespace {

// A US layout for the letters, digits and the special characters: capitals
// and the characters above the digits need Shift; "@" stands for a
// character the layout types with AltGr (Ctrl+Alt, shift state 6); byte A7 has
// no key at all.
class Recorder : public KeySink {
 public:
  std::vector<KeyStroke> keys;
  uint16_t Layout(unsigned char c) override {
    if (c >= 'a' && c <= 'z') return static_cast<uint16_t>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return static_cast<uint16_t>(0x100 | c);
    if (c >= '0' && c <= '9') return c;
    switch (c) {
      case '+': return 0x1BB;  // Shift + "="
      case '^': return 0x136;  // Shift + "6"
      case '#': return 0x133;  // Shift + "3"
      case '~': return 0x1C0;  // Shift + "`"
      case '{': return 0x1DB;  // Shift + "["
      case '}': return 0x1DD;
      case ' ': return 0x20;
      case '@': return 0x632;  // AltGr + "2"
      default: return 0xFFFF;
    }
  }
  void Key(const KeyStroke& k) override { keys.push_back(k); }
};

std::string Show(const std::vector<KeyStroke>& ks) {
  std::string s;
  for (const auto& k : ks) {
    if (!s.empty()) s += ' ';
    s += std::to_string(k.vk) + "/" + std::to_string(k.layoutShift) + "/" + std::to_string(k.modifiers);
    if (k.repeat != 1) s += "x" + std::to_string(k.repeat);
  }
  return s;
}

std::string Parse(const std::string& text, bool* closed = nullptr) {
  Recorder r;
  const bool ok = ParseKeyString(text, r);
  if (closed) *closed = ok;
  return Show(r.keys);
}

TEST(KeyNames, TableAndLookup) {
  EXPECT_EQ(KeyName(9), "tab");
  EXPECT_EQ(KeyName(13), "enter");
  EXPECT_EQ(KeyName(112), "f1");
  EXPECT_EQ(KeyName(126), "f15");
  EXPECT_EQ(KeyName(127), "");
  EXPECT_EQ(KeyName(206), "altgr");
  EXPECT_EQ(KeyName(201), "shift");
  EXPECT_EQ(KeyName(65), "");
  EXPECT_EQ(KeyName(1000), "");
  // the first match wins: shift, ctrl and alt are the keys 16, 17, 18
  EXPECT_EQ(KeyCode("shift"), 16u);
  EXPECT_EQ(KeyCode("ctrl"), 17u);
  EXPECT_EQ(KeyCode("alt"), 18u);
  EXPECT_EQ(KeyCode("altgr"), 206u);
  EXPECT_EQ(KeyCode("scrolllock"), 145u);
  EXPECT_EQ(KeyCode("nosuchkey"), 255u);
  EXPECT_EQ(KeyCode(""), 255u);
}

TEST(KeyString, PlainCharactersTakeTheLayoutShift) {
  EXPECT_EQ(Parse("aB1"), "65/0/0 66/1/0 49/0/0");
  EXPECT_EQ(Parse("@"), "50/6/0");
  EXPECT_EQ(Parse("\xA7"), "255/255/0");
  EXPECT_EQ(Parse(""), "");
}

TEST(KeyString, PrefixesAddUpForTheNextKeyOnly) {
  EXPECT_EQ(Parse("+a"), "65/0/1");
  EXPECT_EQ(Parse("^a"), "65/0/2");
  EXPECT_EQ(Parse("#a"), "65/0/4");
  EXPECT_EQ(Parse("^#a b"), "65/0/6 32/0/0 66/0/0");
  EXPECT_EQ(Parse("+^a"), "65/0/3");
  // the layout shift and the prefix stay apart: "^A" holds Shift and Ctrl
  EXPECT_EQ(Parse("^A"), "65/1/2");
  // prefixes at the end of the string type nothing
  EXPECT_EQ(Parse("a+"), "65/0/0");
}

TEST(KeyString, DoubledSpecialsAreTheCharacterItself) {
  EXPECT_EQ(Parse("++"), "187/1/0");
  EXPECT_EQ(Parse("^^"), "54/1/0");
  EXPECT_EQ(Parse("##"), "51/1/0");
  EXPECT_EQ(Parse("~~"), "192/1/0");
  EXPECT_EQ(Parse("{{"), "219/1/0");
  // a prefix before a doubled special applies to it
  EXPECT_EQ(Parse("^++"), "187/1/2");
  // three in a row: the character, then a prefix for the next key
  EXPECT_EQ(Parse("+++a"), "187/1/0 65/0/1");
  EXPECT_EQ(Parse("}"), "221/1/0");
}

TEST(KeyString, TildeIsEnter) {
  EXPECT_EQ(Parse("~"), "13/0/0");
  EXPECT_EQ(Parse("^~"), "13/0/2");
}

TEST(KeyString, NamedKeysAndCounts) {
  EXPECT_EQ(Parse("{tab}"), "9/0/0");
  EXPECT_EQ(Parse("{TAB}"), "9/0/0");
  EXPECT_EQ(Parse("{tab 3}"), "9/0/0x3");
  EXPECT_EQ(Parse("{tab 0}"), "9/0/0");
  EXPECT_EQ(Parse("{Tab -2}"), "9/0/0");
  EXPECT_EQ(Parse("{tab x}"), "9/0/0");
  EXPECT_EQ(Parse("{f15 2}"), "126/0/0x2");
  EXPECT_EQ(Parse("+{end}"), "35/0/1");
  EXPECT_EQ(Parse("{shift}"), "16/0/0");
  EXPECT_EQ(Parse("{nosuchkey}"), "255/0/0");
  EXPECT_EQ(Parse("{}"), "255/0/0");
  EXPECT_EQ(Parse("{tab 999999999999}"), "9/0/0x32767");
  EXPECT_EQ(Parse("{tab 32768}"), "9/0/0x32767");
}

TEST(KeyString, AltGrIsCtrlAltForTheNextKey) {
  EXPECT_EQ(Parse("{altgr}e"), "69/0/6");
  EXPECT_EQ(Parse("{ALTGR 5}e"), "69/0/6");
  EXPECT_EQ(Parse("{altgr}"), "");
}

TEST(KeyString, UnclosedBraceStopsAfterTheKeysBeforeIt) {
  bool closed = true;
  EXPECT_EQ(Parse("ab{enter", &closed), "65/0/0 66/0/0");
  EXPECT_FALSE(closed);
  EXPECT_EQ(Parse("{", &closed), "");
  EXPECT_FALSE(closed);
  EXPECT_EQ(Parse("{{{tab}", &closed), "219/1/0 9/0/0");
  EXPECT_TRUE(closed);
}

TEST(KeyString, HeldModifiersUseOnlyOneTwoFourSix) {
  auto held = [](uint8_t layout, uint8_t sum) {
    KeyStroke k;
    k.layoutShift = layout;
    k.modifiers = sum;
    const HeldModifiers h = ModifiersFor(k);
    return std::string(h.shift ? "S" : "") + (h.ctrl ? "C" : "") + (h.alt ? "A" : "");
  };
  EXPECT_EQ(held(0, 0), "");
  EXPECT_EQ(held(0, 1), "S");
  EXPECT_EQ(held(0, 2), "C");
  EXPECT_EQ(held(0, 4), "A");
  EXPECT_EQ(held(0, 6), "CA");
  EXPECT_EQ(held(0, 3), "");
  EXPECT_EQ(held(0, 5), "");
  EXPECT_EQ(held(0, 7), "");
  EXPECT_EQ(held(1, 2), "SC");
  EXPECT_EQ(held(6, 0), "CA");
  EXPECT_EQ(held(255, 0), "");
}

TEST(KeyString, LongStringsWalkLinearly) {
  std::string s(100000, 'a');
  Recorder r;
  EXPECT_TRUE(ParseKeyString(s, r));
  EXPECT_EQ(r.keys.size(), 100000u);
  std::string braces(100000, '{');  // 50,000 literal braces
  Recorder r2;
  EXPECT_TRUE(ParseKeyString(braces, r2));
  EXPECT_EQ(r2.keys.size(), 50000u);
  braces += "{";  // the odd one has no partner
  Recorder r3;
  EXPECT_FALSE(ParseKeyString(braces, r3));
  EXPECT_EQ(r3.keys.size(), 50000u);
}

TEST(KeyAnswer, NamesCharactersAndPrefixOrder) {
  EXPECT_EQ(KeyAnswer(9, "", false, false, false), "{tab}");
  EXPECT_EQ(KeyAnswer(116, "", false, true, false), "^{f5}");
  EXPECT_EQ(KeyAnswer(65, "a", true, true, true), "+^#a");
  EXPECT_EQ(KeyAnswer(65, "a", false, false, true), "#a");
  // a character that is special in key strings stands doubled
  EXPECT_EQ(KeyAnswer(187, "+", false, false, false), "++");
  EXPECT_EQ(KeyAnswer(0xDE, "^", false, true, false), "^^^");
  EXPECT_EQ(KeyAnswer(0xE2, "", false, false, false), "");
}

}  // namespace
}  // namespace kes::keys
