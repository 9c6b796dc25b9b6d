#include "sysadmin/dllargs.h"

#include <gtest/gtest.h>

namespace kes {
namespace {

TEST(DllArgs, NumbersAndTexts) {
  auto num = [](const char* f) {
    const DllArg a = ReadDllArg(f, "\"");
    EXPECT_TRUE(a.isNumber) << f;
    return a.number;
  };
  auto text = [](const char* f) {
    const DllArg a = ReadDllArg(f, "\"");
    EXPECT_FALSE(a.isNumber) << f;
    return a.text;
  };
  EXPECT_EQ(num("0"), 0u);
  EXPECT_EQ(num("42"), 42u);
  EXPECT_EQ(num("-1"), 0xFFFFFFFFu);
  EXPECT_EQ(num("+7"), 7u);
  EXPECT_EQ(num("-2147483648"), 0x80000000u);
  EXPECT_EQ(num("4294967295"), 0xFFFFFFFFu);
  EXPECT_EQ(num("&H10"), 16u);
  EXPECT_EQ(num("&hFFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(text("4294967296"), "4294967296");
  EXPECT_EQ(text("-2147483649"), "-2147483649");
  EXPECT_EQ(text("&H123456789"), "&H123456789");
  EXPECT_EQ(text("&HXY"), "&HXY");
  EXPECT_EQ(text("12abc"), "12abc");
  EXPECT_EQ(text("1.5"), "1.5");
  EXPECT_EQ(text("-"), "-");
  EXPECT_EQ(text(""), "");
  EXPECT_EQ(text("\"42\""), "42");
  EXPECT_EQ(text("\"a,b\""), "a,b");
  EXPECT_EQ(text("hello world"), "hello world");
}

}  // namespace
}  // namespace kes
