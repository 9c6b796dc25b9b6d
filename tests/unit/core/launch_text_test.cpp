#include "sysadmin/launch_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kes {
namespace {

CaptureFiles NtFiles() {
  CaptureFiles f;
  f.prefix = "cmd.exe /C ";
  f.out = "C:\\T\\12_Kvt.tmp";
  f.err = "C:\\T\\12_Kvt.err";
  f.in = "C:\\T\\12_Kvt.in";
  return f;
}

TEST(Capture, PlainCommandGetsPrefixAndBothRedirections) {
  const CaptureCommand c = PrepareCapture("dir /b", "", NtFiles());
  EXPECT_EQ(c.commandLine, "cmd.exe /C dir /b >C:\\T\\12_Kvt.tmp 2>C:\\T\\12_Kvt.err");
  EXPECT_FALSE(c.inputFile);
  CaptureFiles nine = NtFiles();
  nine.isNT = false;
  nine.prefix = "command.com /C ";
  EXPECT_EQ(PrepareCapture("dir", "", nine).commandLine, "command.com /C dir >C:\\T\\12_Kvt.tmp");
}

TEST(Capture, StdinThroughEchoAsWritten) {
  EXPECT_EQ(PrepareCapture("sort", "abc", NtFiles()).commandLine,
            "cmd.exe /C ECHO abc|sort >C:\\T\\12_Kvt.tmp 2>C:\\T\\12_Kvt.err");
  EXPECT_EQ(PrepareCapture("sort", "\r\n", NtFiles()).commandLine,
            "cmd.exe /C ECHO.|sort >C:\\T\\12_Kvt.tmp 2>C:\\T\\12_Kvt.err");
}

TEST(Capture, PrefixNeverDoubledInAnyCase) {
  EXPECT_EQ(PrepareCapture("CMD.EXE /c type x", "", NtFiles()).commandLine,
            "CMD.EXE /c type x >C:\\T\\12_Kvt.tmp 2>C:\\T\\12_Kvt.err");
  EXPECT_EQ(PrepareCapture("c:\\windows\\system32\\Cmd.Exe /C sort", "abc", NtFiles()).commandLine,
            "c:\\windows\\system32\\Cmd.Exe /C ECHO abc|sort >C:\\T\\12_Kvt.tmp 2>C:\\T\\12_Kvt.err");
  // "cmd /c" is not the prefix: it runs inside the prefix
  EXPECT_EQ(PrepareCapture("cmd /c ver", "", NtFiles()).commandLine,
            "cmd.exe /C cmd /c ver >C:\\T\\12_Kvt.tmp 2>C:\\T\\12_Kvt.err");
}

TEST(Capture, TextsEchoCannotCarryGoThroughAFile) {
  for (const char* t : {"a&b", "a|b", "x > y", "100%", "say \"hi\"", "a^b", "on", "OFF", "/?", "l1\r\nl2"}) {
    SCOPED_TRACE(t);
    const CaptureCommand c = PrepareCapture("prog", t, NtFiles());
    EXPECT_TRUE(c.inputFile);
    EXPECT_EQ(c.commandLine, "cmd.exe /C TYPE C:\\T\\12_Kvt.in|prog >C:\\T\\12_Kvt.tmp 2>C:\\T\\12_Kvt.err");
    EXPECT_EQ(c.inputText, std::string(t) + "\r\n");
  }
  // a text ending in a line break gets no second one
  EXPECT_EQ(PrepareCapture("prog", "a\r\nb\r\n", NtFiles()).inputText, "a\r\nb\r\n");
  // too long for cmd's line
  const std::string longText(9000, 'x');
  const CaptureCommand c = PrepareCapture("prog", longText, NtFiles());
  EXPECT_TRUE(c.inputFile);
  EXPECT_LT(c.commandLine.size(), 200u);
  // the prefix already there: the feeder goes after it
  EXPECT_EQ(PrepareCapture("cmd.exe /C prog", "a&b", NtFiles()).commandLine,
            "cmd.exe /C TYPE C:\\T\\12_Kvt.in|prog >C:\\T\\12_Kvt.tmp 2>C:\\T\\12_Kvt.err");
}

TEST(Capture, FileNamesWithBlanksAreQuoted) {
  CaptureFiles f = NtFiles();
  f.out = "C:\\Documents and Settings\\T\\1_Kvt.tmp";
  f.err = "C:\\Documents and Settings\\T\\1_Kvt.err";
  f.in = "C:\\Documents and Settings\\T\\1_Kvt.in";
  EXPECT_EQ(PrepareCapture("prog", "a|b", f).commandLine,
            "cmd.exe /C TYPE \"C:\\Documents and Settings\\T\\1_Kvt.in\"|prog "
            ">\"C:\\Documents and Settings\\T\\1_Kvt.tmp\" 2>\"C:\\Documents and Settings\\T\\1_Kvt.err\"");
}

TEST(Capture, EchoCarries) {
  EXPECT_TRUE(EchoCarries("hello world"));
  EXPECT_TRUE(EchoCarries("d\xE9j\xE0 (vu)"));
  EXPECT_TRUE(EchoCarries("online"));
  EXPECT_FALSE(EchoCarries(""));
  EXPECT_FALSE(EchoCarries("a\tb\x01"));
}

TEST(Environment, FirstEntriesWithEqualsAndTwoNulsAtTheEnd) {
  using namespace std::string_literals;
  EXPECT_EQ(EnvironmentBlock("A=1\0=C:=C:\\\0NOEQUALS\0B=2\0\0"s), "A=1\0=C:=C:\\\0B=2\0\0"s);
  EXPECT_EQ(EnvironmentBlock(""), "\0\0"s);
  std::string big;
  for (int i = 0; i < 300; ++i) big += "V" + std::to_string(i) + "=x" + '\0';
  big += '\0';
  const std::string b = EnvironmentBlock(big);
  size_t entries = 0;
  for (size_t p = 0; p < b.size() && b[p]; p = b.find('\0', p) + 1) ++entries;
  EXPECT_EQ(entries, 255u);
  EXPECT_EQ(b.substr(b.size() - 8), "V254=x\0\0"s);
}

TEST(Account, FieldsBySeparatorThenByBlanks) {
  AccountFields a = SplitAccountText("admin, DOM ,secret,notepad.exe c:\\a,b.txt", ",", "\"");
  EXPECT_TRUE(a.fromText);
  EXPECT_EQ(a.account, "admin");
  EXPECT_EQ(a.domain, "DOM");
  EXPECT_EQ(a.password, "secret");
  EXPECT_EQ(a.commandLine, "notepad.exe c:\\a,b.txt");
  a = SplitAccountText("admin  DOM secret   \"C:\\Program Files\\x.exe\" /s", ",", "\"");
  EXPECT_EQ(a.account, "admin");
  EXPECT_EQ(a.domain, "DOM");
  EXPECT_EQ(a.password, "secret");
  EXPECT_EQ(a.commandLine, "\"C:\\Program Files\\x.exe\" /s");
  a = SplitAccountText("\"my user\",,\"p,w\",prog", ",", "\"");
  EXPECT_EQ(a.account, "my user");
  EXPECT_EQ(a.domain, "");
  EXPECT_EQ(a.password, "p,w");
  EXPECT_EQ(a.commandLine, "prog");
}

TEST(Account, FewerThanFourFieldsMakeTheWholeTextTheCommandLine) {
  for (const char* t : {"notepad.exe", "notepad.exe c:\\x.txt", "a b c", "x,y"}) {
    const AccountFields a = SplitAccountText(t, ",", "\"");
    EXPECT_FALSE(a.fromText);
    EXPECT_EQ(a.commandLine, t);
    EXPECT_EQ(a.account, "");
  }
  EXPECT_EQ(SplitAccountText("u,d,p,", ",", "\"").commandLine, "");
}

TEST(Lines, CrLfOrLfEndLinesAndNothingIsLost) {
  using namespace std::string_literals;
  std::vector<std::string> v;
  AppendLines("a\r\nb\n\r\nc\0d\r\ntail"s, v);
  ASSERT_EQ(v.size(), 5u);
  EXPECT_EQ(v[0], "a");
  EXPECT_EQ(v[1], "b");
  EXPECT_EQ(v[2], "");
  EXPECT_EQ(v[3], "c\0d"s);
  EXPECT_EQ(v[4], "tail");
}

TEST(Lines, PiecesMakeTheSameLinesAsTheWhole) {
  using namespace std::string_literals;
  const std::string text = "first\r\nsecond line\n\r\nwith\0nul\r\n"s + std::string(3000, 'x') + "\r\nno end"s;
  std::vector<std::string> whole;
  AppendLines(text, whole);
  for (size_t piece : {1u, 2u, 3u, 7u, 64u, 1000u, 5000u}) {
    std::vector<std::string> got;
    LineAssembler a(got, nullptr);
    for (size_t p = 0; p < text.size(); p += piece) {
      std::string part = text.substr(p, piece);
      a.Feed(&part[0], part.size());
    }
    a.Finish();
    EXPECT_EQ(got, whole) << "pieces of " << piece;
  }
}

TEST(Lines, WholeLinesGoThroughTheConverter) {
  std::vector<std::string> got;
  static std::vector<std::string> seen;
  seen.clear();
  LineAssembler a(got, [](char* p, size_t n) {
    seen.emplace_back(p, n);
    for (size_t i = 0; i < n; ++i)
      if (p[i] == 'a') p[i] = 'A';
  });
  std::string one = "ab\r\nca", two = "t\nd\r\nlast a";
  a.Feed(&one[0], one.size());
  a.Feed(&two[0], two.size());
  a.Finish();
  EXPECT_EQ(got, (std::vector<std::string>{"Ab", "cAt", "d", "lAst A"}));
  EXPECT_EQ(seen, (std::vector<std::string>{"ab\r\n", "cat\n", "d\r\n", "last a"}));
}

}  // namespace
}  // namespace kes
