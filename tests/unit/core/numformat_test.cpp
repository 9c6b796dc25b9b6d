#include "interp/numformat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace kes {
namespace {

constexpr Num kInf = std::numeric_limits<Num>::infinity();

TEST(GeneralFormat, WholeNumbersPrintExactly) {
  EXPECT_EQ(GeneralFormat(3), "3");
  EXPECT_EQ(GeneralFormat(-42), "-42");
  EXPECT_EQ(GeneralFormat(1e15L), "1000000000000000");
  EXPECT_EQ(GeneralFormat(9007199254740993.0L), "9007199254740993");  // 2^53 + 1
  EXPECT_EQ(GeneralFormat(9223372036854775807.0L), "9223372036854775807");  // 2^63 - 1
  EXPECT_EQ(GeneralFormat(-9223372036854775807.0L), "-9223372036854775807");
}

TEST(GeneralFormat, ZeroHasNoSign) {
  EXPECT_EQ(GeneralFormat(0), "0");
  EXPECT_EQ(GeneralFormat(-0.0L), "0");
}

TEST(GeneralFormat, FractionsUseFifteenSignificantDigits) {
  EXPECT_EQ(GeneralFormat(-0.5L), "-0.5");
  EXPECT_EQ(GeneralFormat(1234567.25L), "1234567.25");
  EXPECT_EQ(GeneralFormat(1.0L / 3), "0.333333333333333");
  EXPECT_EQ(GeneralFormat(2.0L / 3), "0.666666666666667");
  EXPECT_EQ(GeneralFormat(0.1L + 0.2L), "0.3");
  EXPECT_EQ(GeneralFormat(123456789012345.6L), "123456789012346");
}

TEST(GeneralFormat, ExponentFormBeyondFifteenDigitsOrBelowTenToMinusFive) {
  EXPECT_EQ(GeneralFormat(1e20L), "1E+20");
  EXPECT_EQ(GeneralFormat(-2.5e30L), "-2.5E+30");
  EXPECT_EQ(GeneralFormat(1.5e-7L), "1.5E-07");
  EXPECT_EQ(GeneralFormat(0.00001L), "0.00001");
  EXPECT_EQ(GeneralFormat(0.000012345L), "0.000012345");
  EXPECT_EQ(GeneralFormat(0.000001L), "1E-06");
  EXPECT_EQ(GeneralFormat(1e300L), "1E+300");
  // 2^63 is whole but outside the exact range.
  EXPECT_EQ(GeneralFormat(9223372036854775808.0L), "9.22337203685478E+18");
  // A fraction whose rounding reaches the sixteenth digit.
  EXPECT_EQ(GeneralFormat(999999999999999.9L), "1E+15");
  EXPECT_EQ(GeneralFormat(1e15L + 0.5L), "1E+15");
}

TEST(GeneralFormat, ExtremesOfTheNumberType) {
  EXPECT_EQ(GeneralFormat(std::numeric_limits<Num>::max()), "1.18973149535723E+4932");
  EXPECT_EQ(GeneralFormat(std::numeric_limits<Num>::denorm_min()), "3.64519953188247E-4951");
}

TEST(GeneralFormat, NonFiniteValues) {
  EXPECT_EQ(GeneralFormat(kInf), "INF");
  EXPECT_EQ(GeneralFormat(-kInf), "-INF");
  EXPECT_EQ(GeneralFormat(std::numeric_limits<Num>::quiet_NaN()), "NAN");
}

TEST(FormatNumber, EmptyMaskIsGeneralFormat) {
  EXPECT_EQ(FormatNumber(0.5L, ""), "0.5");
  EXPECT_EQ(FormatNumber(-3, ""), "-3");
}

TEST(FormatNumber, ZeroPlaceholdersPad) {
  EXPECT_EQ(FormatNumber(3, "0.00"), "3.00");
  EXPECT_EQ(FormatNumber(Val("abc"), "0.00"), "0.00");
  EXPECT_EQ(FormatNumber(7, "000"), "007");
  EXPECT_EQ(FormatNumber(0.5L, "0.00"), "0.50");
}

TEST(FormatNumber, IntegerDigitsBeyondThePlaceholdersAllAppear) {
  EXPECT_EQ(FormatNumber(1234, "0"), "1234");
  EXPECT_EQ(FormatNumber(1234, "#"), "1234");
  EXPECT_EQ(FormatNumber(123456, "00\\-0000"), "12-3456");
  EXPECT_EQ(FormatNumber(1234567, "00\\-0000"), "123-4567");
  EXPECT_EQ(FormatNumber(12, "00\\-0000"), "00-0012");
}

TEST(FormatNumber, CommaIsAnOrdinaryLiteral) {
  EXPECT_EQ(FormatNumber(1234, "#,##0"), "1,234");
  EXPECT_EQ(FormatNumber(1234567, "#,##0"), "1234,567");
  // The literal stays in place even where no digit is left for the "#" around it.
  EXPECT_EQ(FormatNumber(5, "#,##0"), ",5");
}

TEST(FormatNumber, HashDropsZeroIntegerPartAndTrailingFractionZeros) {
  EXPECT_EQ(FormatNumber(0.5L, "#.00"), ".50");
  EXPECT_EQ(FormatNumber(0, "#"), "");
  EXPECT_EQ(FormatNumber(5, "###"), "5");
  EXPECT_EQ(FormatNumber(1.5L, "0.##"), "1.5");
  EXPECT_EQ(FormatNumber(1, "0.##"), "1.");
  EXPECT_EQ(FormatNumber(1.25L, "0.0#"), "1.25");
  EXPECT_EQ(FormatNumber(1.2L, "0.0#"), "1.2");
  EXPECT_EQ(FormatNumber(1, "0.0#"), "1.0");
}

TEST(FormatNumber, RoundsHalfAwayFromZero) {
  EXPECT_EQ(FormatNumber(2.5L, "0"), "3");
  EXPECT_EQ(FormatNumber(3.5L, "0"), "4");
  EXPECT_EQ(FormatNumber(-2.5L, "0"), "-3");
  EXPECT_EQ(FormatNumber(2.4L, "0"), "2");
  EXPECT_EQ(FormatNumber(0.125L, "0.00"), "0.13");
  // Decimal values round as written, not by their binary approximation.
  EXPECT_EQ(FormatNumber(Val("2.675"), "0.00"), "2.68");
  EXPECT_EQ(FormatNumber(Val("1.005"), "0.00"), "1.01");
  EXPECT_EQ(FormatNumber(Val("12.345"), ".00"), "12.35");
}

TEST(FormatNumber, RoundingCarriesIntoNewDigits) {
  EXPECT_EQ(FormatNumber(9.999L, "0.00"), "10.00");
  EXPECT_EQ(FormatNumber(0.999L, "#.00"), "1.00");
  EXPECT_EQ(FormatNumber(0.996L, "#.##"), "1.");
  EXPECT_EQ(FormatNumber(99.5L, "0"), "100");
}

TEST(FormatNumber, OneSectionSignsNegativeValuesUnlessShownAsZero) {
  EXPECT_EQ(FormatNumber(-1234.5L, "0.0"), "-1234.5");
  EXPECT_EQ(FormatNumber(-5, "$0"), "-$5");
  EXPECT_EQ(FormatNumber(-0.04L, "0.0"), "0.0");
  EXPECT_EQ(FormatNumber(Val("-0.05"), "0.0"), "-0.1");
  EXPECT_EQ(FormatNumber(-0.0L, "0.00"), "0.00");
}

TEST(FormatNumber, ThreeSections) {
  const std::string mask = "0.0;(0.0);\"zero\"";
  EXPECT_EQ(FormatNumber(5, mask), "5.0");
  EXPECT_EQ(FormatNumber(-5, mask), "(5.0)");
  EXPECT_EQ(FormatNumber(0, mask), "zero");
  EXPECT_EQ(FormatNumber(-0.0L, mask), "zero");
  // The section is chosen by the value itself, not by its rounded form.
  EXPECT_EQ(FormatNumber(0.01L, mask), "0.0");
  EXPECT_EQ(FormatNumber(-0.01L, mask), "(0.0)");
}

TEST(FormatNumber, TwoSectionsAndEmptySections) {
  EXPECT_EQ(FormatNumber(-3, "0;neg 0"), "neg 3");
  EXPECT_EQ(FormatNumber(3, "0;neg 0"), "3");
  EXPECT_EQ(FormatNumber(0, "0;neg 0"), "0");
  // An empty negative or zero section falls back to the positive one.
  EXPECT_EQ(FormatNumber(-5, "0;;z"), "-5");
  EXPECT_EQ(FormatNumber(0, "0.0;(0);"), "0.0");
  // Sections after the third are ignored.
  EXPECT_EQ(FormatNumber(0, "0;(0);z;w"), "z");
}

TEST(FormatNumber, EscapesAndQuotedText) {
  EXPECT_EQ(FormatNumber(5, "\\#0"), "#5");
  EXPECT_EQ(FormatNumber(5, "\"#0.\"0"), "#0.5");
  EXPECT_EQ(FormatNumber(5, "\"a;b\"0"), "a;b5");
  EXPECT_EQ(FormatNumber(12, "0\\;0"), "1;2");
  EXPECT_EQ(FormatNumber(5, "0 \"units\""), "5 units");
  // An unclosed quote runs to the end of the section; a final "\" is dropped.
  EXPECT_EQ(FormatNumber(5, "0\"abc"), "5abc");
  EXPECT_EQ(FormatNumber(5, "0\\"), "5");
}

TEST(FormatNumber, LiteralsBetweenFractionPlaceholders) {
  // Only the first "." is the decimal point; a later one is literal text.
  EXPECT_EQ(FormatNumber(1.25L, "0.0.0"), "1.2.5");
  EXPECT_EQ(FormatNumber(3.14159L, "0.00-00"), "3.14-16");
}

TEST(FormatNumber, MaskWithoutPlaceholdersIsItsLiteralText) {
  EXPECT_EQ(FormatNumber(5, "abc"), "abc");
  EXPECT_EQ(FormatNumber(-5, "abc"), "abc");
  EXPECT_EQ(FormatNumber(5, "x."), "x.");
}

TEST(FormatNumber, NonFiniteValuesGiveGeneralText) {
  EXPECT_EQ(FormatNumber(kInf, "0.00"), "INF");
  EXPECT_EQ(FormatNumber(-kInf, "0;(0)"), "-INF");
  EXPECT_EQ(FormatNumber(std::numeric_limits<Num>::quiet_NaN(), "0"), "NAN");
}

TEST(FormatNumber, HugeValuesPrintAllIntegerDigits) {
  const std::string s = FormatNumber(1e300L, "0");
  ASSERT_EQ(s.size(), 301u);
  EXPECT_EQ(s[0], '1');
  EXPECT_EQ(s.find_first_not_of('0', 1), std::string::npos);
  EXPECT_EQ(FormatNumber(-1e300L, "0").substr(0, 3), "-10");

  const std::string m = FormatNumber(std::numeric_limits<Num>::max(), "0.00");
  ASSERT_EQ(m.size(), 4933u + 3u);
  EXPECT_EQ(m.substr(0, 18), "118973149535723177");
  EXPECT_EQ(m.substr(m.size() - 3), ".00");
}

TEST(FormatNumber, LongMasks) {
  const std::string zeros(10000, '0');
  const std::string s = FormatNumber(1.0L / 3, "0." + zeros);
  ASSERT_EQ(s.size(), 10002u);
  EXPECT_EQ(s.substr(0, 20), "0.333333333333333333");
  EXPECT_EQ(s.find_first_not_of('0', 20), std::string::npos);

  EXPECT_EQ(FormatNumber(5, std::string(10240, '#')), "5");
  EXPECT_EQ(FormatNumber(5, std::string(10240, 'x')), std::string(10240, 'x'));

  // A tiny value shows its digit far to the right of the point.
  const std::string t = FormatNumber(1e-4000L, "0." + std::string(5000, '0'));
  ASSERT_EQ(t.size(), 5002u);
  EXPECT_EQ(t[2 + 3999], '1');
  EXPECT_EQ(t.find_first_not_of('0', 2), 2u + 3999u);
}

TEST(FormatNumber, RandomMasksNeverCrash) {
  const std::string alphabet = "0#.;\\\"x,-";
  const Num values[] = {0, -0.0L, 1, -1, 0.5L, -2.5L, 1234.5678L, 1e-30L, -1e30L, 1e300L, 9.999999L};
  uint32_t seed = 99;
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (int n = 0; n < 3000; ++n) {
    std::string mask;
    const int len = static_cast<int>(next() % 24);
    for (int i = 0; i < len; ++i) mask += alphabet[next() % alphabet.size()];
    for (const Num v : values) (void)FormatNumber(v, mask);
  }
}

}  // namespace
}  // namespace kes
