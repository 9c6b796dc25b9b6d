// Line preparation, natively: cleaning, comments, labels, substitution, the
// command word and its arguments, block words, and the word facts that
// decide the trace, box-line collection and the error reset.
#include <gtest/gtest.h>

#include "script/prepare.h"
#include "support/fake_system.h"

namespace kes {
namespace {

class Preparation : public testing::Test {
 protected:
  FakeSystem sys;
  Interp in;
  BlockStacks st;

  Preparation() {
    in.system = &sys;
    SetVariable(in, "B", "1");
    SetVariable(in, "N", "3");
  }
  Prepared Prepare(std::string line, std::string* after = nullptr) {
    const Prepared p = PrepareLine(in, line, false, st);
    if (after) *after = line;
    return p;
  }
};

struct Row {
  const char* line;
  Prepared result;
  const char* word;    // for Run
  const char* args;    // for Run
  const char* second;  // for Run
};

TEST_F(Preparation, SingleLines) {
  const Row rows[] = {
      {"ECHO hello", Prepared::Run, "ECHO", "hello", "HELLO"},
      {"  \tECHO \thi", Prepared::Run, "ECHO", "hi", "HI"},  // tabs go, leading blanks go
      {"echo Hi there", Prepared::Run, "ECHO", "Hi there", "HI"},
      {"SET A=%B%", Prepared::Run, "SET", "A=1", "A=1"},
      {"X=5", Prepared::Run, "X", "5", "5"},  // "=" before any blank ends the word
      {"LET K=REGKEYGET a,b", Prepared::Run, "LET", "K=REGKEYGET a,b", "K=REGKEYGET"},
      {"END SUB", Prepared::Run, "EXITSUB", "", ""},
      {"exit for", Prepared::Run, "EXITFOR", "", ""},
      {"END SUB 5", Prepared::Run, "EXITSUB", "5", "5"},
      // The loop variable keeps its letters; the four fields are always there.
      {"FOR %I%,1,%N%", Prepared::Run, "FOR", "I,1,3,", "I,1,3,"},
      {"IF %B%=1 ECHO %B%", Prepared::Run, "IF", "%B%=1 ECHO %B%", "%B%=1"},  // IF substitutes its own operands
      {"REM note", Prepared::Finished, "", "", ""},
      {"rem note", Prepared::Finished, "", "", ""},
      {"; note", Prepared::Finished, "", "", ""},
      {"' note", Prepared::Finished, "", "", ""},
      {"# shown in the trace", Prepared::Finished, "", "", ""},
      {"@ECHO x", Prepared::Finished, "", "", ""},
      {":label", Prepared::Finished, "", "", ""},
      {"", Prepared::Finished, "", "", ""},
      {"   ", Prepared::Finished, "", "", ""},
      {"ELSE", Prepared::Epilogue, "", "", ""},  // no IF open
      {"ENDIF", Prepared::Epilogue, "", "", ""},
      {"End If", Prepared::Epilogue, "", "", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.line);
    in.line = LineState{};
    const Prepared p = Prepare(r.line);
    EXPECT_EQ(p, r.result);
    if (p != Prepared::Run) continue;
    EXPECT_EQ(in.line.word, r.word);
    EXPECT_EQ(in.line.args, r.args);
    EXPECT_EQ(in.line.second, r.second);
  }
}

TEST_F(Preparation, CommentsAndLinesAreTraced) {
  std::string after;
  Prepare("# a note", &after);
  ASSERT_EQ(sys.traced.size(), 1u);
  EXPECT_EQ(sys.traced[0], ">  a note");
  EXPECT_EQ(Prepare("ECHO x"), Prepared::Run);
  EXPECT_EQ(PrepareCommand(in, "ECHO x", 0), Prepared::Run);
  EXPECT_EQ(sys.traced.back(), "> ECHO x");
  const size_t n = sys.traced.size();
  EXPECT_EQ(PrepareCommand(in, "PASSWORD secret", kNotTraced), Prepared::Run);
  EXPECT_EQ(sys.traced.size(), n);  // never traced
}

TEST_F(Preparation, IfBlocks) {
  // IF ... THEN opens a block; the IF handler decides it (here: false).
  EXPECT_EQ(Prepare("IF 1=2 THEN"), Prepared::Run);
  st.SetTopIf(false);
  EXPECT_EQ(Prepare("ECHO skipped"), Prepared::Finished);
  EXPECT_EQ(Prepare("IF 1=1 THEN"), Prepared::Finished);  // nested, inside a false block
  EXPECT_EQ(Prepare("ENDIF"), Prepared::Finished);
  EXPECT_EQ(Prepare("ELSE"), Prepared::Finished);  // the block turns true
  EXPECT_EQ(Prepare("ECHO run"), Prepared::Run);
  EXPECT_EQ(Prepare("END IF"), Prepared::Finished);
  EXPECT_EQ(st.IfDepth(), 0);
  EXPECT_EQ(Prepare("ECHO after"), Prepared::Run);
  // Substitution waits while a block is false.
  EXPECT_EQ(Prepare("IF 1=2 THEN"), Prepared::Run);
  st.SetTopIf(false);
  std::string after;
  EXPECT_EQ(Prepare("ECHO %B%", &after), Prepared::Finished);
  EXPECT_EQ(after, "ECHO %B%");
}

TEST_F(Preparation, SwitchLoopAndAdminBlocks) {
  // A SWITCH whose case does not match runs only SWITCH lines.
  SwitchRecord s;
  s.active = true;
  st.switches.push_back(s);
  EXPECT_EQ(Prepare("ECHO other case"), Prepared::Finished);
  EXPECT_EQ(Prepare("SWITCH CASE 2"), Prepared::Run);
  st.switches.clear();
  // A loop with nothing left to run skips to its NEXT.
  ForRecord f;
  f.exit = true;
  st.fors.push_back(f);
  EXPECT_EQ(Prepare("ECHO body"), Prepared::Finished);
  EXPECT_EQ(Prepare("NEXT"), Prepared::Run);
  st.fors.clear();
  // ADMIN BEGIN ... ADMIN END: the lines between are collected.
  in.run.adminCollecting = true;
  EXPECT_EQ(Prepare("ECHO as admin"), Prepared::Finished);
  EXPECT_EQ(in.run.adminBlock, "900000ECHO as admin\r\n");
  EXPECT_EQ(Prepare("ADMIN END"), Prepared::Run);
  EXPECT_FALSE(in.run.adminCollecting);
}

TEST_F(Preparation, BoxLinesAndTheErrorReset) {
  in.run.boxCollecting = true;
  ASSERT_EQ(Prepare("ECHO later"), Prepared::Run);
  EXPECT_EQ(PrepareCommand(in, "ECHO later", 0), Prepared::Finished);
  EXPECT_EQ(in.run.boxBlock, ZeroPad(in.run.CurrentFrame().line, 4) + "ECHO later\xFF\xFE");
  ASSERT_EQ(Prepare("IGNOREBOX a,b"), Prepared::Run);
  EXPECT_EQ(PrepareCommand(in, "IGNOREBOX a,b", kOpensBoxLines), Prepared::Run);  // not collected
  ASSERT_EQ(Prepare("WAITEND x"), Prepared::Run);
  EXPECT_EQ(PrepareCommand(in, "WAITEND x", kEndsBoxLines), Prepared::Run);
  EXPECT_FALSE(in.run.boxCollecting);
  // Most commands start with a clean error code; a few keep it.
  in.err.code = 53;
  EXPECT_EQ(PrepareCommand(in, "SET E=%ERROR%", kKeepsError), Prepared::Run);
  EXPECT_EQ(in.err.code, 53);
  EXPECT_EQ(PrepareCommand(in, "COPY a,b", 0), Prepared::Run);
  EXPECT_EQ(in.err.code, 0);
}

TEST_F(Preparation, SeparatorsComeBackAfterTheLine) {
  in.sep.argSep = ";";
  in.sep.keepSepOneLine = true;  // SEP ; ran on this line
  PerLineResets(in);
  EXPECT_EQ(in.sep.argSep, ";");  // the next line still has it
  PerLineResets(in);
  EXPECT_EQ(in.sep.argSep, ",");
  in.sep.defaultSep = "|";
  PerLineResets(in);
  EXPECT_EQ(in.sep.argSep, "|");
}

}  // namespace
}  // namespace kes
