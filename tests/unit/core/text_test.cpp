// Number reading and case mapping of the shared text helpers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "interp/text.h"

namespace kes {
namespace {

TEST(ValTest, PlainDecimalsReadExactlyAsTheGeneralReader) {
  std::mt19937_64 gen(42);
  for (int n = 0; n < 20000; ++n) {
    std::string t;
    if (gen() % 3 == 0) t += '-';
    const int intDigits = static_cast<int>(gen() % 20);
    for (int i = 0; i < intDigits; ++i) t += static_cast<char>('0' + gen() % 10);
    if (gen() % 2) {
      t += '.';
      const int fracDigits = static_cast<int>(gen() % (20 - intDigits));
      for (int i = 0; i < fracDigits; ++i) t += static_cast<char>('0' + gen() % 10);
    }
    const bool digits = t.find_first_of("0123456789") != std::string::npos;
    const Num want = digits ? std::strtold(t.c_str(), nullptr) : 0;
    EXPECT_EQ(Val(t), want) << t;
  }
}

TEST(ValTest, Forms) {
  EXPECT_EQ(Val("  12abc"), 12);
  EXPECT_EQ(Val("abc"), 0);
  EXPECT_EQ(Val("1.5e3"), 1500);
  EXPECT_EQ(Val("-.5"), -0.5L);
  EXPECT_EQ(Val("&HFF"), 255);
  EXPECT_EQ(Val("&HFFFFFFFF"), -1);
  EXPECT_EQ(Val("&O17"), 15);
  EXPECT_EQ(Val("12345678901234567890123"), std::strtold("12345678901234567890123", nullptr));
  EXPECT_EQ(ValInt("99999999999"), 2147483647);
  EXPECT_EQ(ValInt("-99999999999"), -2147483647 - 1);
}

TEST(CaseTest, Windows1252Letters) {
  EXPECT_EQ(Upper("abc\xE9\xFF\x9A"), "ABC\xC9\x9F\x8A");
  EXPECT_EQ(Lower("ABC\xC9\x9F\x8A"), "abc\xE9\xFF\x9A");
  EXPECT_EQ(Upper("\xF7"), "\xF7");  // the division sign has no case
  EXPECT_TRUE(EqualsNoCase("Stra\xDF" "e", "STRA\xDF" "E"));
}

TEST(LinesTest, ReaderLines) {
  const auto l = LinesOf("a\r\nb\nc");
  ASSERT_EQ(l.size(), 3u);
  EXPECT_EQ(l[0], "a");
  EXPECT_EQ(l[1], "b");
  EXPECT_EQ(l[2], "c");
  EXPECT_TRUE(LinesOf("").empty());
  EXPECT_EQ(LinesOf("x\r\n").size(), 1u);
}

}  // namespace
}  // namespace kes
