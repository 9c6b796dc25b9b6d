#include "automation/titlematch.h"

#include <gtest/gtest.h>

#include <string>

namespace kes {
namespace {

TEST(TitleMatch, WholeTitleIgnoringCase) {
  EXPECT_TRUE(TitleMatch("Untitled - Notepad", "untitled - notepad"));
  EXPECT_FALSE(TitleMatch("Untitled - Notepad", "Notepad"));
  EXPECT_FALSE(TitleMatch("Notepad", "Notepad2"));
  EXPECT_TRUE(TitleMatch("", ""));
  EXPECT_FALSE(TitleMatch("x", ""));
  // case follows the ANSI code page, not the C locale
  EXPECT_TRUE(TitleMatch("\xC9t\xE9", "\xE9T\xC9"));
}

TEST(TitleMatch, StarAndQuestionMark) {
  EXPECT_TRUE(TitleMatch("Untitled - Notepad", "*Notepad"));
  EXPECT_TRUE(TitleMatch("Untitled - Notepad", "Untitled*"));
  EXPECT_TRUE(TitleMatch("Untitled - Notepad", "*titled*pad"));
  EXPECT_TRUE(TitleMatch("Untitled - Notepad", "*"));
  EXPECT_TRUE(TitleMatch("", "*"));
  EXPECT_TRUE(TitleMatch("", "***"));
  EXPECT_FALSE(TitleMatch("", "?"));
  EXPECT_TRUE(TitleMatch("abc", "a?c"));
  EXPECT_FALSE(TitleMatch("abc", "a?"));
  EXPECT_TRUE(TitleMatch("abc", "???"));
  EXPECT_TRUE(TitleMatch("abc", "?*"));
  // the pieces between stars must appear in order
  EXPECT_FALSE(TitleMatch("Notepad - Untitled", "*Untitled*Notepad*"));
  EXPECT_TRUE(TitleMatch("aXbXc", "*X*X*"));
  EXPECT_TRUE(TitleMatch("mississippi", "*sip*"));
  EXPECT_TRUE(TitleMatch("aaa", "*a*a*a*"));
  EXPECT_FALSE(TitleMatch("aa", "*a*a*a*"));
}

TEST(TitleMatch, BracketsStandForAnyCharacter) {
  EXPECT_EQ(TitlePattern("Doc[1]"), "Doc?1?");
  EXPECT_TRUE(TitleMatch("Doc(1)", TitlePattern("Doc[1]")));
  EXPECT_TRUE(TitleMatch("Doc[1]", TitlePattern("Doc[1]")));
  EXPECT_FALSE(TitleMatch("Doc1", TitlePattern("Doc[1]")));
}

TEST(TitleMatch, WorstCasesStayQuick) {
  const std::string text(5000, 'a');
  std::string pattern;
  for (int i = 0; i < 200; ++i) pattern += "*a";
  pattern += "*b";
  EXPECT_FALSE(TitleMatch(text, pattern));
  EXPECT_TRUE(TitleMatch(text, std::string(300, '*')));
}

TEST(Designation, QuotedNumberOrPattern) {
  WindowDesignation d = ParseDesignation("  \"123\"  ", "\"");
  EXPECT_FALSE(d.byPid);
  EXPECT_EQ(d.pattern, "123");
  d = ParseDesignation(" 123 ", "\"");
  EXPECT_TRUE(d.byPid);
  EXPECT_EQ(d.pid, 123u);
  EXPECT_EQ(d.pattern, "*");
  d = ParseDesignation("*Notepad", "\"");
  EXPECT_FALSE(d.byPid);
  EXPECT_EQ(d.pattern, "*Notepad");
  d = ParseDesignation("\"", "\"");
  EXPECT_EQ(d.pattern, "");
  d = ParseDesignation("", "\"");
  EXPECT_FALSE(d.byPid);
  EXPECT_EQ(d.pattern, "");
  d = ParseDesignation("'A,B'", "'");
  EXPECT_EQ(d.pattern, "A,B");
}

TEST(DoubleClickPause, ProfileValueMinusHundred) {
  EXPECT_EQ(DoubleClickPause("500"), 400u);
  EXPECT_EQ(DoubleClickPause(""), 100u);
  EXPECT_EQ(DoubleClickPause("50"), 100u);
  EXPECT_EQ(DoubleClickPause("100"), 0u);
  EXPECT_EQ(DoubleClickPause("1100"), 1000u);
  EXPECT_EQ(DoubleClickPause("1101"), 100u);
  EXPECT_EQ(DoubleClickPause("junk"), 100u);
}

}  // namespace
}  // namespace kes
