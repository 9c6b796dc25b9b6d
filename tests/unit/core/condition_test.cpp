// Conditions of IF lines, natively: comparisons, NOT, OR / AND chains, THEN,
// and the keyword tests answered by a machine made of tables.
#include <gtest/gtest.h>

#include "interp/condition.h"
#include "support/fake_system.h"

namespace kes {
namespace {

class Conditions : public testing::Test {
 protected:
  FakeSystem sys;
  Interp in;

  Conditions() {
    in.system = &sys;
    sys.paths = {"C:\\a.txt"};
    sys.folders = {"C:\\dir\\"};
    sys.addresses = {"http://host/doc"};
    sys.hosts = {{"srv", "10.0.0.1"}};
    sys.groups = {"ADMINS"};
    sys.printers = {"LPT"};
    sys.servers = {"FILES"};
    sys.shares = {"\\\\FILES\\PUB"};
    sys.sizes = {{"C:\\a.txt", 26}};
    sys.free = {{"C:", 5000}};
    sys.times = {{"C:\\a.txt", "2004/02/29_13:14:15"}, {"C:\\b.txt", "2005/01/01_00:00:00"}};
    sys.files = {{"C:\\lines.txt", "first\r\nabcdef\nabXY\r\n"}};
    sys.wildcards = {{"C:\\*.txt", "C:\\lines.txt"}};
    SetVariable(in, "A", "5");
    SetVariable(in, "NAME", "Kestrova");
  }

  // The condition's value; `rest` receives the text after it.
  bool Eval(const std::string& line, std::string& rest, ConditionState* state = nullptr) {
    ConditionState cs;
    rest = line;
    const bool r = EvaluateCondition(in, rest, cs);
    if (state) *state = cs;
    return r;
  }
};

struct Row {
  const char* line;
  bool value;
  const char* rest;  // the command after the condition ("@" when none)
};

TEST_F(Conditions, Table) {
  const Row rows[] = {
      // comparisons: numbers numerically, texts as bytes, case-blind by default
      {"IF 1=1 ECHO x", true, "ECHO x"},
      {"IF 2<1 ECHO x", false, "ECHO x"},
      {"IF 10>9 X", true, "X"},
      {"IF 10>9a X", false, "X"},  // "9a" is a text: "10" < "9A"
      {"IF abc=ABC X", true, "X"},
      {"IF abc<>abd X", true, "X"},
      {"IF 1,5=1.5 X", true, "X"},  // a decimal comma
      {"IF 2>=2 X", true, "X"},
      {"IF 2=>3 X", false, "X"},
      {"IF 2<=2 X", true, "X"},
      {"IF 3=<2 X", false, "X"},
      {"IF 1==1 X", true, "X"},
      {"IF Kestrova^k*a X", true, "X"},  // a wildcard pattern
      {"IF %A%=5 X", true, "X"},         // operands are substituted
      {"IF %NAME%=kestrova X", true, "X"},
      {"IF \"a b\" = \"A B\" X", true, "X"},  // quoted operands keep their blanks
      {"IF NOT 1=2 X", true, "X"},
      {"IF NOT1=2 X", true, "X"},  // NOT needs no blank after it
      // chains
      {"IF 1=1 AND 2=2 X", true, "X"},
      {"IF 1=1 AND 2=3 X", false, "X"},
      {"IF 1=2 OR 2=2 X", true, "X"},
      {"IF 1=2 OR 2=3 X", false, "X"},
      {"IF 1=2 OR 2=2 AND 3=3 X", true, "X"},
      {"IF 1=1 THEN GOTO L", true, "GOTO L"},
      {"IF 1=1", true, "@"},  // nothing after the condition
      {"IF", false, "@"},     // no condition at all
      // keyword tests through the machine
      {"IF EXIST C:\\a.txt X", true, "X"},
      {"IF EXIST \"C:\\a.txt\" X", true, "X"},
      {"IF EXIST C:\\none.txt X", false, "X"},
      {"IF NOT EXIST C:\\none.txt X", true, "X"},
      {"IF EXIST C:\\dir\\ X", true, "X"},
      {"IF EXIST http://host/doc X", true, "X"},
      {"IF HOST srv X", true, "X"},
      {"IF HOST nowhere X", false, "X"},
      {"IF MEMBER admins X", true, "X"},
      {"IF MEMBER guests X", false, "X"},
      {"IF PRINTER LPT X", true, "X"},
      {"IF SERVER FILES X", true, "X"},
      {"IF SERVER OTHER X", false, "X"},
      {"IF SHARE \\\\FILES\\PUB X", true, "X"},
      {"IF SIZE C:\\a.txt = 26 X", true, "X"},
      {"IF SIZE C:\\a.txt > 100 X", false, "X"},
      {"IF SIZE C:\\a.txt X", false, "X"},  // no operator: only the variable is set
      {"IF SIZE C:\\none.txt < 1 X", false, "X"},
      {"IF FREE C: > 4000 X", true, "X"},
      {"IF DATETIME C:\\a.txt < 2005/01/01_00:00:00 X", true, "X"},
      {"IF DATETIME C:\\a.txt < \"C:\\b.txt\" X", true, "X"},  // another file's time
      {"IF SEARCH \"C:\\lines.txt\" ^\"ab\" X", true, "X"},
      {"IF SEARCH \"C:\\lines.txt\" \"zz\" X", false, "X"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.line);
    std::string rest;
    EXPECT_EQ(Eval(r.line, rest), r.value);
    EXPECT_EQ(rest, r.rest);
  }
}

TEST_F(Conditions, KeywordTestsSetTheirVariables) {
  std::string rest;
  EXPECT_TRUE(Eval("IF HOST srv X", rest));
  EXPECT_EQ(GetVariable(in, "HOST"), "10.0.0.1");
  EXPECT_FALSE(Eval("IF HOST nowhere X", rest));
  EXPECT_EQ(GetVariable(in, "HOST"), "");
  EXPECT_FALSE(Eval("IF SIZE C:\\a.txt X", rest));
  EXPECT_EQ(GetVariable(in, "SIZE"), "26");
  EXPECT_TRUE(Eval("IF FREE C: > 1 X", rest));
  EXPECT_EQ(GetVariable(in, "FREE"), "5000");
}

TEST_F(Conditions, SearchAndSearchNext) {
  std::string rest;
  EXPECT_TRUE(Eval("IF SEARCH \"C:\\lines.txt\" ^\"ab\" X", rest));
  EXPECT_EQ(GetVariable(in, "NLINE"), "2");
  EXPECT_TRUE(Eval("IF SEARCHNEXT \"C:\\lines.txt\" ^\"ab\" X", rest));
  EXPECT_EQ(GetVariable(in, "NLINE"), "3");
  EXPECT_FALSE(Eval("IF SEARCHNEXT \"C:\\lines.txt\" ^\"ab\" X", rest));
  EXPECT_EQ(GetVariable(in, "NLINE"), kAbsent);
  // a missing file is error 53
  in.err.code = 0;
  EXPECT_FALSE(Eval("IF SEARCH \"C:\\none.txt\" \"x\" X", rest));
  EXPECT_EQ(in.err.code, kErrNotFound);
  // a wildcard name: the file found goes to FILE
  in.err.code = 0;
  EXPECT_TRUE(Eval("IF SEARCH \"C:\\*.txt\" \"XY\" X", rest));
  EXPECT_EQ(GetVariable(in, "FILE"), "C:\\lines.txt");
  // user lists
  SetVariable(in, "$L1", "zero");
  SetVariable(in, "$L2", "abc");
  SetVariable(in, "$L3", "xabc");
  EXPECT_TRUE(Eval("IF SEARCH $L \"bc\"^ X", rest));
  EXPECT_EQ(GetVariable(in, "NLINE"), "2");
  EXPECT_TRUE(Eval("IF SEARCHNEXT $L \"bc\"^ X", rest));
  EXPECT_EQ(GetVariable(in, "NLINE"), "3");
}

TEST_F(Conditions, ThenOpensABlockAndCaseCanBeExact) {
  std::string rest;
  ConditionState cs;
  EXPECT_TRUE(Eval("IF 1=1 THEN", rest, &cs));
  EXPECT_TRUE(cs.thenSeen);
  EXPECT_EQ(rest, "@");
  in.sw.caseInsensitive = false;
  EXPECT_FALSE(Eval("IF abc=ABC X", rest));
  in.sw.caseInsensitive = true;
}

TEST_F(Conditions, LongChainsNeedNoRecursion) {
  std::string line = "IF 1=2";
  for (int i = 0; i < 20000; ++i) line += " OR 1=2";
  line += " OR 3=3 X";
  std::string rest;
  EXPECT_TRUE(Eval(line, rest));
  EXPECT_EQ(rest, "X");
}

}  // namespace
}  // namespace kes
