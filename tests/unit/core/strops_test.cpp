#include "interp/strops.h"
#include "net/base64.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace kes {
namespace {

using V = std::vector<std::string>;

TEST(Strops, MidLeftRightStayInRange) {
  EXPECT_EQ(MidText("abcdef", 2, 3), "bcd");
  EXPECT_EQ(MidText("abcdef", 5, 100), "ef");
  EXPECT_EQ(MidText("abcdef", 7, 1), "");
  EXPECT_EQ(MidText("abcdef", 0, 1), "");
  EXPECT_EQ(MidText("abcdef", -5, 2), "");
  EXPECT_EQ(MidText("abcdef", 3, -1), "cdef");
  EXPECT_EQ(MidText("abc", 9223372036854775807LL, 9223372036854775807LL), "");
  EXPECT_EQ(LeftText("abc", 2), "ab");
  EXPECT_EQ(LeftText("abc", -2), "");
  EXPECT_EQ(LeftText("abc", 1LL << 62), "abc");
  EXPECT_EQ(RightText("abc", 2), "bc");
  EXPECT_EQ(RightText("abc", 0), "");
  EXPECT_EQ(RightText("abc", 1LL << 62), "abc");
  EXPECT_EQ(ReverseText("abc"), "cba");
}

TEST(Strops, TextAfterSeparators) {
  EXPECT_EQ(TextAfter("3, abc, d", 1, ",", "\""), "abc, d");
  EXPECT_EQ(TextAfter("FIRST, \",\", a,b", 2, ",", "\""), "a,b");
  EXPECT_EQ(TextAfter("3,\"  a \"", 1, ",", "\""), "  a ");
  EXPECT_EQ(TextAfter("3", 1, ",", "\""), "");
  EXPECT_EQ(AfterSeparators("a;;b", 2, ";;", "\""), std::string::npos);
  EXPECT_EQ(AfterSeparators("a;;b;;c", 2, ";;", "\""), 6u);
}

TEST(Strops, AfterBefore) {
  EXPECT_EQ(AfterBefore("a.b.c", ".", true, false), "b.c");
  EXPECT_EQ(AfterBefore("a.b.c", ".", true, true), "c");
  EXPECT_EQ(AfterBefore("a.b.c", ".", false, false), "a");
  EXPECT_EQ(AfterBefore("a.b.c", ".", false, true), "a.b");
  EXPECT_EQ(AfterBefore("abc", "x", true, false), "");
  EXPECT_EQ(AfterBefore("abc", "x", false, true), "abc");
  EXPECT_EQ(AfterBefore("aaa", "aa", true, true), "");
  EXPECT_EQ(AfterBefore("aaa", "aa", false, true), "a");
}

TEST(Strops, CutKeepsCase) {
  EXPECT_EQ(CutText("aXbxc", "x", true), (V{"a", "b", "c"}));
  EXPECT_EQ(CutText("aXbxc", "x", false), (V{"aXb", "c"}));
  EXPECT_EQ(CutText("", "x", true), V{});
  EXPECT_EQ(CutText("x", "x", true), (V{"", ""}));
  EXPECT_EQ(CutText("a::b", "::", false), (V{"a", "b"}));
}

TEST(Strops, IntAndRound) {
  EXPECT_EQ(IntPartText(-2.7L), "-2");
  EXPECT_EQ(IntPartText(-0.3L), "0");
  EXPECT_EQ(IntPartText(7.9L), "7");
  EXPECT_EQ(RoundEvenText(2.5L), "2");
  EXPECT_EQ(RoundEvenText(3.5L), "4");
  EXPECT_EQ(RoundEvenText(-2.5L), "-2");
  EXPECT_EQ(RoundEvenText(-3.5L), "-4");
  EXPECT_EQ(RoundEvenText(2.51L), "3");
  EXPECT_EQ(RoundEvenText(-0.4L), "0");
}

TEST(Strops, Convert) {
  EXPECT_EQ(BinaryText(5), std::string(28, '0') + "101");
  EXPECT_EQ(BinaryText(0).size(), 31u);
  EXPECT_EQ(BinaryText(-1), std::string(32, '1'));
  EXPECT_EQ(BinaryText(INT64_MIN), "1" + std::string(63, '0'));
  EXPECT_EQ(HexText(255), "FF");
  EXPECT_EQ(HexText(0), "0");
  EXPECT_EQ(HexText(-1), "FFFFFFFF");
  std::string s;
  EXPECT_TRUE(HexToDecimal("FF", s));
  EXPECT_EQ(s, "255");
  EXPECT_TRUE(HexToDecimal("&HFFFFFFFF", s));
  EXPECT_EQ(s, "4294967295");
  EXPECT_FALSE(HexToDecimal("xyz", s));
  EXPECT_FALSE(HexToDecimal("", s));
  EXPECT_FALSE(HexToDecimal("11112222333344445", s));
  EXPECT_EQ(TextToHex("AB\n"), "41 42 A");
  EXPECT_TRUE(HexToText("41  42 A", s));
  EXPECT_EQ(s, "AB\n");
  EXPECT_FALSE(HexToText("41 1FF", s));
  EXPECT_FALSE(HexToText("4G", s));
  EXPECT_TRUE(CodesToText({"65", " 66 "}, s));
  EXPECT_EQ(s, "AB");
  EXPECT_FALSE(CodesToText({"256"}, s));
  EXPECT_FALSE(CodesToText({""}, s));
  EXPECT_EQ(TextToCodes("AB", ","), "65,66");
}

TEST(Strops, ConvertRoundTripAllBytes) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  std::string back;
  ASSERT_TRUE(HexToText(TextToHex(all), back));
  EXPECT_EQ(back, all);
}

TEST(Strops, Base64) {
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("f"), "Zg==");
  EXPECT_EQ(Base64Encode("fo"), "Zm8=");
  EXPECT_EQ(Base64Encode("foo"), "Zm9v");
  EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Base64Decode("Zm9v\r\nYmFy"), "foobar");
  EXPECT_EQ(Base64Decode("Zg=="), "f");
  EXPECT_EQ(Base64Decode("Zm8=garbage"), "fo");
  EXPECT_EQ(Base64Decode("Zm9v YmFy"), "foo");
  EXPECT_EQ(Base64Decode("Z"), "");
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  EXPECT_EQ(Base64Decode(Base64Encode(all)), all);
}

TEST(Strops, Paths) {
  const char* p = "C:\\Data\\Sub\\report.final.txt";
  EXPECT_EQ(SplitPath(p, PathPart::Drive), "C:");
  EXPECT_EQ(SplitPath(p, PathPart::Folder), "C:\\Data\\Sub\\");
  EXPECT_EQ(SplitPath(p, PathPart::File), "report.final.txt");
  EXPECT_EQ(SplitPath(p, PathPart::Ext), "txt");
  EXPECT_EQ(SplitPath(p, PathPart::Prefix), "report.final");
  EXPECT_EQ(SplitPath("C:\\Data\\", PathPart::File), "");
  EXPECT_EQ(SplitPath("C:\\Data\\", PathPart::Folder), "C:\\Data\\");
  EXPECT_EQ(SplitPath("name", PathPart::Folder), "");
  EXPECT_EQ(SplitPath("name", PathPart::Ext), "");
  EXPECT_EQ(SplitPath("name", PathPart::Prefix), "name");
  EXPECT_EQ(SplitPath("C:x.y", PathPart::Folder), "C:");
  EXPECT_EQ(SplitPath("C:x.y", PathPart::File), "x.y");
  EXPECT_EQ(SplitPath("\\\\srv\\share\\d\\f.txt", PathPart::Drive), "\\\\srv\\share");
  EXPECT_EQ(SplitPath("\\\\srv\\share\\d\\f.txt", PathPart::Folder), "\\\\srv\\share\\d\\");
  EXPECT_EQ(SplitPath("\\\\srv\\share", PathPart::File), "");
  EXPECT_EQ(SplitPath("\\\\srv\\share", PathPart::Folder), "\\\\srv\\share\\");
  EXPECT_EQ(SplitPath("http://host/a/b.htm", PathPart::Drive), "http://host");
  EXPECT_EQ(SplitPath("http://host/a/b.htm", PathPart::Folder), "http://host/a/");
  EXPECT_EQ(SplitPath("http://host/a/b.htm", PathPart::File), "b.htm");
  EXPECT_EQ(SplitPath("http://host", PathPart::File), "");
  EXPECT_EQ(SplitPath("http://host", PathPart::Folder), "http://host/");
  EXPECT_EQ(SplitPath("\\dir.x\\file", PathPart::Ext), "");
}

TEST(Strops, SortAndReverse) {
  V l{"b", "A", "C"};
  SortElements(l, 0, 0, true, false);
  EXPECT_EQ(l, (V{"A", "b", "C"}));
  SortElements(l, 0, 0, false, false);
  EXPECT_EQ(l, (V{"A", "C", "b"}));
  V k{"x 2 b", "y 1 z", "a 2 a", "b 1 a"};
  SortElements(k, 3, 1, false, false);
  EXPECT_EQ(k, (V{"b 1 a", "y 1 z", "a 2 a", "x 2 b"}));
  V d = k;
  SortElements(d, 3, 1, false, true);
  EXPECT_EQ(d, (V{"x 2 b", "a 2 a", "y 1 z", "b 1 a"}));
  V c{"a", "A", "a", "B"};
  V cd = c;
  SortElements(c, 0, 0, true, false);
  SortElements(cd, 0, 0, true, true);
  EXPECT_EQ(c, (V{"A", "a", "a", "B"}));
  EXPECT_EQ(cd, (V{"B", "a", "a", "A"}));
  V huge{"abc", "abd"};
  SortElements(huge, 1LL << 62, 1LL << 62, true, false);
  EXPECT_EQ(huge, (V{"abc", "abd"}));
}

TEST(Strops, SortHundredThousandIsFast) {
  V l;
  l.reserve(100000);
  uint32_t x = 12345;
  for (int i = 0; i < 100000; ++i) {
    x = x * 1103515245u + 12345u;
    l.push_back("item" + std::to_string(x % 1000000));
  }
  const auto t0 = std::chrono::steady_clock::now();
  SortElements(l, 2, 5, true, false);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(ms, 5000);
  for (size_t i = 1; i < l.size(); ++i) ASSERT_LE(Upper(MidText(l[i - 1], 2, 5)), Upper(MidText(l[i], 2, 5)));
}

TEST(Strops, Crop) {
  V l{"x", "BEGIN", " a ", "b", "END", "y", "begin", "c", "end", "z"};
  EXPECT_EQ(CropElements(l, "*BEGIN*", "*END*", 0, 0, true), (V{"a", "b", "c"}));
  EXPECT_EQ(CropElements(l, "*BEGIN*", "*END*", 0, 0, false), (V{"a", "b"}));
  EXPECT_EQ(CropElements(V{"s", "abcdef", "e"}, "s", "e", 2, 3, true), (V{"bcd"}));
  EXPECT_EQ(CropElements(V{"s", "abcdef", "e"}, "s", "e", 3, 0, true), (V{"cdef"}));
  EXPECT_EQ(CropElements(V{"s", "a", "b"}, "s", "*nothing*", 0, 0, true), (V{"a", "b"}));
  EXPECT_EQ(CropElements(V{"a"}, "*zz*", "*", 0, 0, true), V{});
}

TEST(Strops, Transfer) {
  EXPECT_EQ(TransferValue("abcdef", {}), "abcdef");
  EXPECT_EQ(TransferValue("abcdef", {{0, 3}}), "abcdef");
  EXPECT_EQ(TransferValue("abcdef", {{1, 2}, {5, 2}}), "abef");
  EXPECT_EQ(TransferValue("ab", {{1, 4}}), "ab  ");
  EXPECT_EQ(TransferValue("ab", {{1, 1LL << 40}}).size(), 4098u);
  EXPECT_EQ(TransferValue("ab", {{1LL << 40, 3}}), "");
  EXPECT_EQ(TransferValue("ab", {{2, 1}, {1, -1}}), "b");
}

TEST(Strops, LinesKeepTheirBytes) {
  const std::string raw = "a\r\nb\nc\r\n\r\nlast";
  TextLines t = SplitLines(raw);
  ASSERT_EQ(t.Count(), 5u);
  EXPECT_EQ(t.body[1], "b");
  EXPECT_EQ(t.ends[1], "\n");
  EXPECT_EQ(t.Join(), raw);
  std::string bin("x\0y\r\n\xFF\x1A", 7);
  EXPECT_EQ(SplitLines(bin).Join(), bin);
  InsertLine(t, 1, "first");
  InsertLine(t, 100, "end");
  EXPECT_EQ(t.Join(), "first\r\na\r\nb\nc\r\n\r\nlast\r\nend\r\n");
  EXPECT_EQ(SubstituteInLines(t, "a", "AA"), 2u);
  EXPECT_EQ(t.body[1], "AA");
  EXPECT_EQ(t.body[5], "lAAst");
  EXPECT_EQ(SplitLines("").Count(), 0u);
}

TEST(Strops, LineMatching) {
  EXPECT_TRUE(LineMatches("Hello World", "world", true));
  EXPECT_FALSE(LineMatches("Hello World", "world", false));
  EXPECT_TRUE(LineMatches("key=1", "key*", false));
  EXPECT_FALSE(LineMatches("x", "", true));
}

TEST(Strops, Utf16Detection) {
  bool bom = false;
  EXPECT_EQ(Utf16Order(std::string("\xFF\xFE" "a\0", 4), bom), 1);
  EXPECT_TRUE(bom);
  EXPECT_EQ(Utf16Order(std::string("\xFE\xFF\0a", 4), bom), 2);
  EXPECT_EQ(Utf16Order(std::string("a\0b\0", 4), bom), 1);
  EXPECT_FALSE(bom);
  EXPECT_EQ(Utf16Order(std::string("\0a\0b", 4), bom), 2);
  EXPECT_EQ(Utf16Order("abcd", bom), 0);
  EXPECT_EQ(Utf16Order(std::string("a\0b", 3), bom), 0);
}

}  // namespace
}  // namespace kes
