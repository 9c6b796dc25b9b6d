#include "interp/wildcard.h"

#include <gtest/gtest.h>

#include <string>

namespace kes {
namespace {

TEST(WildcardMatch, PlainPatternMustMatchWholeWords) {
  EXPECT_TRUE(WildcardMatch("abc", "abc", false));
  EXPECT_FALSE(WildcardMatch("abc", "ab", false));
  EXPECT_FALSE(WildcardMatch("abc", "b", false));
  // The padding lets a plain pattern match a space-separated part.
  EXPECT_TRUE(WildcardMatch("hello big world", "big", false));
}

TEST(WildcardMatch, StarsOpenEitherSide) {
  EXPECT_TRUE(WildcardMatch("abc", "ab*", false));
  EXPECT_TRUE(WildcardMatch("abc", "*bc", false));
  EXPECT_TRUE(WildcardMatch("abc", "*b*", false));
  EXPECT_TRUE(WildcardMatch("abc", "a*c", false));
  EXPECT_TRUE(WildcardMatch("abc", "a**c", false));
  EXPECT_FALSE(WildcardMatch("abc", "*x*", false));
  EXPECT_TRUE(WildcardMatch("hello world", "world*", false));  // after a space
  EXPECT_TRUE(WildcardMatch("x", "*", false));
  EXPECT_TRUE(WildcardMatch("", "*", false));
}

TEST(WildcardMatch, PiecesMayOccurInAnyOrder) {
  EXPECT_TRUE(WildcardMatch("abc def", "def*abc", false));
  EXPECT_TRUE(WildcardMatch("ab", "a*a*b", false));
}

TEST(WildcardMatch, CaseFlag) {
  EXPECT_TRUE(WildcardMatch("report.txt", "*.TXT", true));
  EXPECT_FALSE(WildcardMatch("report.txt", "*.TXT", false));
  EXPECT_TRUE(WildcardMatch("report.txt", "*.txt", false));
  // Windows-1252 letters: e acute against E acute.
  EXPECT_TRUE(WildcardMatch("\xE9t\xE9", "\xC9T\xC9", true));
  EXPECT_FALSE(WildcardMatch("\xE9t\xE9", "\xC9T\xC9", false));
}

TEST(WildcardMatch, OnlyStarIsSpecial) {
  EXPECT_FALSE(WildcardMatch("abc", "a?c", false));
  EXPECT_TRUE(WildcardMatch("a?c", "a?c", false));
  EXPECT_FALSE(WildcardMatch("abc", "a[b]c", false));
}

TEST(WildcardMatch, EmptyTexts) {
  EXPECT_TRUE(WildcardMatch("", "", false));
  EXPECT_FALSE(WildcardMatch("a", "", false));
  EXPECT_FALSE(WildcardMatch("", "a", false));
}

TEST(WildcardMatch, LongTextsAndPieces) {
  const std::string text = std::string(1 << 20, 'a') + "b";
  EXPECT_TRUE(WildcardMatch(text, "*" + std::string(10000, 'a') + "b*", false));
  EXPECT_FALSE(WildcardMatch(text, "*" + std::string(10000, 'a') + "c*", false));
  std::string many;
  for (int i = 0; i < 5000; ++i) many += "*a";
  EXPECT_TRUE(WildcardMatch(text, many + "*", false));
}

}  // namespace
}  // namespace kes
