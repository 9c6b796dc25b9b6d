#include "interp/expression.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace kes {
namespace {

// Value of an expression that must evaluate without a syntax error.
Num Eval(std::string_view text) {
  const ExprResult r = EvaluateExpression(text);
  EXPECT_FALSE(r.syntaxError) << "expression: " << text;
  return r.value;
}

bool HasError(std::string_view text) { return EvaluateExpression(text).syntaxError; }

TEST(ExpressionPrecedence, Basics) {
  EXPECT_EQ(Eval("1+2*3"), 7);
  EXPECT_EQ(Eval("(1+2)*3"), 9);
  EXPECT_EQ(Eval("10-4-3"), 3);
  EXPECT_EQ(Eval("8/4/2"), 1);
  EXPECT_EQ(Eval("2*3^2"), 18);
  EXPECT_EQ(Eval("1+2<2*2"), -1);
}

TEST(ExpressionPrecedence, PowerIsRightAssociative) {
  EXPECT_EQ(Eval("2^3^2"), 512);
  EXPECT_EQ(Eval("2^-1"), 0.5L);
  EXPECT_EQ(Eval("2^-2^2"), 16);  // 2^((-2)^2)
}

TEST(ExpressionPrecedence, SignBindsToThePrimaryBeforeThePower) {
  EXPECT_EQ(Eval("-2^2"), 4);
  EXPECT_EQ(Eval("-(2)^2"), 4);
  EXPECT_EQ(Eval("-(2+3)"), -5);
  EXPECT_EQ(Eval("+5"), 5);
  EXPECT_EQ(Eval("2*-3"), -6);
  EXPECT_EQ(Eval("1--1"), 2);
  EXPECT_EQ(Eval("-(-(3))"), 3);
}

TEST(ExpressionComparison, YieldsMinusOneOrZero) {
  EXPECT_EQ(Eval("3>2"), -1);
  EXPECT_EQ(Eval("3=2"), 0);
  EXPECT_EQ(Eval("2<3"), -1);
  EXPECT_EQ(Eval("3<3"), 0);
  EXPECT_EQ(Eval("3=3"), -1);
}

TEST(ExpressionComparison, ChainsLeftToRight) {
  EXPECT_EQ(Eval("1<2<3"), -1);  // -1 < 3
  EXPECT_EQ(Eval("3>2>1"), 0);   // -1 > 1 is false
  EXPECT_EQ(Eval("2>1=-1"), -1);
  EXPECT_EQ(Eval("(0/0)=(0/0)"), 0);  // NaN equals nothing
}

TEST(ExpressionTokens, SpacesAndEmptyText) {
  EXPECT_EQ(Eval("  1 +   2 "), 3);
  EXPECT_EQ(Eval(""), 0);
  EXPECT_EQ(Eval("   "), 0);
}

TEST(ExpressionTokens, MissingOperandAtTheEndIsZero) {
  EXPECT_EQ(Eval("1+"), 1);
  EXPECT_EQ(Eval("2*"), 0);
}

TEST(ExpressionTokens, NumberTokensReadTheirLeadingNumber) {
  EXPECT_EQ(Eval("1.5*2"), 3);
  EXPECT_EQ(Eval(".5+.25"), 0.75L);
  EXPECT_EQ(Eval("1,5"), 1);      // "," ends the number but not the token
  EXPECT_EQ(Eval(",5+1"), 1);     // "," starts a token with no leading number
  EXPECT_EQ(Eval("!+1"), 1);      // so does "!"
  EXPECT_EQ(Eval("5x+1"), 6);     // a letter inside a number token is part of it
  EXPECT_EQ(Eval("1E3"), 1000);   // an exponent without sign stays in the token
  EXPECT_EQ(Eval("1E+3"), 4);     // "+" ends the token "1E"
  EXPECT_EQ(Eval("&H10+1"), 1);   // only decimal numbers are read
}

TEST(ExpressionTokens, NumbersReadAsTheLanguageReadsThem) {
  // Every decimal token is worth exactly what the numeric value of its text is.
  const char* fixed[] = {"0.1", "2.675", "123456789.123456789", "9999999999999999999",
                         "18446744073709551615", "99999999999999999999", "0.000000000000000000000000001",
                         "0.0000000000000000000000000001", "000012.500", "5..", "7.25e2", "1d2", "3.", "."};
  for (const char* t : fixed) EXPECT_EQ(Eval(t), Val(t)) << t;
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int n = 0; n < 2000; ++n) {
    std::string t;
    const int len = 1 + static_cast<int>(next() >> 16) % 24;
    const int pointAt = static_cast<int>(next() >> 16) % (len + 1);
    for (int i = 0; i < len; ++i) {
      if (i == pointAt) t += '.';
      t += static_cast<char>('0' + (next() >> 16) % 10);
    }
    EXPECT_EQ(Eval(t), Val(t)) << t;
  }
}

TEST(ExpressionErrors, UnclosedGroup) {
  const ExprResult r = EvaluateExpression("(1+2");
  EXPECT_TRUE(r.syntaxError);
  EXPECT_EQ(r.value, 3);
  EXPECT_TRUE(HasError("((1)"));
  EXPECT_TRUE(HasError("(5 6)"));
}

TEST(ExpressionErrors, LettersAreNotPrimaries) {
  ExprResult r = EvaluateExpression("A+1");
  EXPECT_TRUE(r.syntaxError);
  EXPECT_EQ(r.value, 0);  // the letter stops the reading
  r = EvaluateExpression("2*x");
  EXPECT_TRUE(r.syntaxError);
  EXPECT_EQ(r.value, 0);
  r = EvaluateExpression("3+(x)");
  EXPECT_TRUE(r.syntaxError);
  EXPECT_EQ(r.value, 3);
}

TEST(ExpressionErrors, MissingPrimaryIsZeroAndReadingGoesOn) {
  ExprResult r = EvaluateExpression("1+*2");  // 1 + 0*2
  EXPECT_TRUE(r.syntaxError);
  EXPECT_EQ(r.value, 1);
  r = EvaluateExpression("--2");  // -0 - 2
  EXPECT_TRUE(r.syntaxError);
  EXPECT_EQ(r.value, -2);
  r = EvaluateExpression(")");
  EXPECT_TRUE(r.syntaxError);
  EXPECT_EQ(r.value, 0);
}

TEST(ExpressionErrors, LeftoverTextIsIgnored) {
  EXPECT_EQ(Eval("1)"), 1);
  EXPECT_EQ(Eval("5 x"), 5);
  EXPECT_EQ(Eval("2(3)"), 2);
  EXPECT_EQ(Eval("4 5"), 4);
}

TEST(ExpressionArithmetic, NonFiniteResultsNeverTrap) {
  EXPECT_EQ(Eval("1/0"), std::numeric_limits<Num>::infinity());
  EXPECT_EQ(Eval("-1/0"), -std::numeric_limits<Num>::infinity());
  EXPECT_TRUE(std::isnan(Eval("0/0")));
  EXPECT_TRUE(std::isnan(Eval("(0-8)^0.5")));
  EXPECT_EQ(Eval("10^5000"), std::numeric_limits<Num>::infinity());
  EXPECT_EQ(Eval("0^-1"), std::numeric_limits<Num>::infinity());
}

TEST(ExpressionArithmetic, ExtendedPrecision) {
  // 2^63 + 1 needs a 64-bit mantissa.
  EXPECT_EQ(Eval("2^63+1-2^63"), 1);
}

TEST(ExpressionRobustness, DeepNesting) {
  const std::string open(10000, '(');
  const std::string close(10000, ')');
  EXPECT_EQ(Eval(open + "1" + close), 1);

  ExprResult r = EvaluateExpression(open + "1");
  EXPECT_TRUE(r.syntaxError);
  EXPECT_EQ(r.value, 1);

  r = EvaluateExpression(std::string(1 << 20, '('));
  EXPECT_TRUE(r.syntaxError);
  EXPECT_EQ(r.value, 0);

  std::string negs;
  for (int i = 0; i < 10000; ++i) negs += "-(";
  EXPECT_EQ(Eval(negs + "7" + close), 7);  // an even number of signs
}

TEST(ExpressionRobustness, LongExpressions) {
  std::string sum = "0";
  while (sum.size() < (1u << 20)) sum += "+1";
  EXPECT_EQ(Eval(sum), (sum.size() - 1) / 2);

  std::string tower = "2";
  for (int i = 0; i < 100000; ++i) tower += "^2";
  EXPECT_EQ(Eval(tower), std::numeric_limits<Num>::infinity());

  std::string nested;
  for (int i = 0; i < 100000; ++i) nested += "1+(";
  const ExprResult r = EvaluateExpression(nested + "1" + std::string(100000, ')'));
  EXPECT_FALSE(r.syntaxError);
  EXPECT_EQ(r.value, 100001);
}

TEST(ExpressionRobustness, RandomTextNeverCrashes) {
  const std::string alphabet = "0123456789.,+-*/^()<>= eE&xA\t\x01\xFF";
  uint32_t seed = 7;
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (int n = 0; n < 3000; ++n) {
    std::string t;
    const int len = static_cast<int>(next() % 40);
    for (int i = 0; i < len; ++i) t += alphabet[next() % alphabet.size()];
    const ExprResult r = EvaluateExpression(t);
    (void)r;
    std::string d = t;
    (void)IsDate(d);
    (void)IsTime(t);
    (void)IsNumber(t);
  }
}

TEST(IsNumber, AcceptedTexts) {
  EXPECT_TRUE(IsNumber("123"));
  EXPECT_TRUE(IsNumber(" 12.5 "));
  EXPECT_TRUE(IsNumber("-5"));
  EXPECT_TRUE(IsNumber(".5"));
  EXPECT_TRUE(IsNumber("1-2"));  // sign positions are not checked
  EXPECT_TRUE(IsNumber("+-1"));
}

TEST(IsNumber, RejectedTexts) {
  EXPECT_FALSE(IsNumber(""));
  EXPECT_FALSE(IsNumber("   "));
  EXPECT_FALSE(IsNumber("5-"));
  EXPECT_FALSE(IsNumber("5+"));
  EXPECT_FALSE(IsNumber("5."));
  EXPECT_FALSE(IsNumber("."));
  EXPECT_FALSE(IsNumber("1.2.3"));
  EXPECT_FALSE(IsNumber("--1"));
  EXPECT_FALSE(IsNumber("++1"));
  EXPECT_FALSE(IsNumber("1e5"));
  EXPECT_FALSE(IsNumber("1,5"));
  EXPECT_FALSE(IsNumber("1 2"));
}

bool DateCheck(std::string s) { return IsDate(s); }

TEST(IsDate, AcceptsTheLayoutWithoutCheckingMonthLengths) {
  EXPECT_TRUE(DateCheck("2004/02/31"));
  EXPECT_TRUE(DateCheck("1901/01/01"));
  EXPECT_TRUE(DateCheck("2099/12/31"));
  EXPECT_TRUE(DateCheck("2004/01/01_10:00:00"));  // text after the date is ignored
}

TEST(IsDate, RejectsOutOfRangeOrMalformedText) {
  EXPECT_FALSE(DateCheck("1900/01/01"));
  EXPECT_FALSE(DateCheck("2100/01/01"));
  EXPECT_FALSE(DateCheck("2004/13/01"));
  EXPECT_FALSE(DateCheck("2004/00/01"));
  EXPECT_FALSE(DateCheck("2004/01/00"));
  EXPECT_FALSE(DateCheck("2004/01/32"));
  EXPECT_FALSE(DateCheck("2004/1/01"));
  EXPECT_FALSE(DateCheck("2004.01.01"));
  EXPECT_FALSE(DateCheck("abcd/ef/gh"));
  EXPECT_FALSE(DateCheck(""));
}

TEST(IsDate, RewritesItsArgument) {
  std::string s = "2004-12-31";
  EXPECT_TRUE(IsDate(s));
  EXPECT_EQ(s, "2004/12/31");

  s = "  2004/01/01 ";
  EXPECT_TRUE(IsDate(s));
  EXPECT_EQ(s, "2004/01/01");

  s = " 5-3 ";
  EXPECT_FALSE(IsDate(s));
  EXPECT_EQ(s, "5/3");
}

TEST(IsTime, AcceptsSixtyOneMinuteAndSecondValues) {
  EXPECT_TRUE(IsTime("12:60:60"));
  EXPECT_TRUE(IsTime("23:59:59"));
  EXPECT_TRUE(IsTime("00:00:00"));
  EXPECT_TRUE(IsTime(" 10:00:00 "));
  EXPECT_TRUE(IsTime("ab:cd:ef"));  // non-numeric fields count as 0
}

TEST(IsTime, RejectsOutOfRangeOrMalformedText) {
  EXPECT_FALSE(IsTime("24:00:00"));
  EXPECT_FALSE(IsTime("00:61:00"));
  EXPECT_FALSE(IsTime("00:00:61"));
  EXPECT_FALSE(IsTime("-1:00:00"));
  EXPECT_FALSE(IsTime("10-00-00"));
  EXPECT_FALSE(IsTime("1:00:00"));
  EXPECT_FALSE(IsTime("10:00"));
  EXPECT_FALSE(IsTime(""));
}

}  // namespace
}  // namespace kes

namespace kes {
namespace {

TEST(IsTime, MissingSecondsCountAsZero) {
  EXPECT_TRUE(IsTime("10:00:"));
  EXPECT_TRUE(IsTime("10:00:00 and more"));
  EXPECT_FALSE(IsTime("10:00"));
  EXPECT_TRUE(IsTime("/1:00:00"));  // "/1" is worth 0
}

TEST(IsDate, TextAfterTheDateAndDashes) {
  EXPECT_TRUE(DateCheck("2004/12/31xyz"));
  EXPECT_TRUE(DateCheck("2004-02-31"));
  EXPECT_FALSE(DateCheck("2004/12-3"));
  EXPECT_FALSE(DateCheck("+004/12/31"));
}

TEST(IsNumber, SignsAndPoints) {
  EXPECT_TRUE(IsNumber("+5"));
  EXPECT_TRUE(IsNumber("5-1.5"));
  EXPECT_FALSE(IsNumber("1+"));
  EXPECT_FALSE(IsNumber("+"));
  EXPECT_FALSE(IsNumber("-"));
  EXPECT_FALSE(IsNumber("1.5."));
}

TEST(ExpressionTokens, ComparisonOperatorsAreSingleCharacters) {
  // "<=" is "<" followed by a missing primary before "=".
  const ExprResult r = EvaluateExpression("3<=4");
  EXPECT_TRUE(r.syntaxError);
  EXPECT_EQ(r.value, 0);  // (3 < 0) = 4
  EXPECT_EQ(Eval("1+2=3"), -1);
  EXPECT_EQ(Eval("-1<0"), -1);
  EXPECT_EQ(Eval("2*-3^2"), 18);  // the sign belongs to 3 before the power
}

}  // namespace
}  // namespace kes
