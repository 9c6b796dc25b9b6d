#include "startup/exchange.h"

#include <gtest/gtest.h>

#include <string>

namespace kes {
namespace {

using namespace std::string_literals;

TEST(Exchange, RoundTripKeepsEveryByte) {
  ExchangeState s;
  s.direction = '<';
  s.vars = {{"A", "1"}, {"ODD", "\0\x01\x02\x03\xFF|x"s}, {"EMPTY", ""}};
  s.lists = {{"$L", {"a", "", "\x03"}}, {"STDOUT", {}}};
  s.hasErrors = true;
  s.error = 53;
  s.errorlevel = -7;
  s.lines = "900000SET A=1\r\n900001ECHO x\r\n";
  const std::string t = PackExchange(s);
  for (const char c : t) EXPECT_TRUE(c > 0 && c < 0x7F) << static_cast<int>(c);
  ExchangeState r;
  ASSERT_TRUE(UnpackExchange(t, r));
  EXPECT_EQ(r.direction, '<');
  EXPECT_EQ(r.vars, s.vars);
  EXPECT_EQ(r.lists, s.lists);
  EXPECT_TRUE(r.hasErrors);
  EXPECT_EQ(r.error, 53);
  EXPECT_EQ(r.errorlevel, -7);
  EXPECT_EQ(r.lines, s.lines);
}

TEST(Exchange, RefusesOtherTexts) {
  ExchangeState r;
  EXPECT_FALSE(UnpackExchange("", r));
  EXPECT_FALSE(UnpackExchange("hello", r));
  EXPECT_FALSE(UnpackExchange("KESX1?", r));
  EXPECT_FALSE(
      UnpackExchange("KESX1>V\x01"
                     "9\x02",
                     r));  // bad escape
  EXPECT_FALSE(
      UnpackExchange("KESX1>V\x01"
                     "4g\x02\x03",
                     r));
  EXPECT_FALSE(UnpackExchange("KESX1>Vname\x02", r));  // no record end
  EXPECT_FALSE(
      UnpackExchange("KESX1>E12x\x02"
                     "0\x02\x03",
                     r));
  EXPECT_TRUE(UnpackExchange("KESX1>", r));
  // an unknown record kind is skipped
  ASSERT_TRUE(UnpackExchange("KESX1>Zwhat\x02\x03Vn\x02v\x02\x03", r));
  ASSERT_EQ(r.vars.size(), 1u);
  EXPECT_EQ(r.vars[0].second, "v");
}

}  // namespace
}  // namespace kes
