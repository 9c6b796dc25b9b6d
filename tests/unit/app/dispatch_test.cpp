// The command table's rows and word facts, and the one exception guard of
// a line.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>

#include "interp/commands.h"
#include "interp/log.h"
#include "interp/special_vars.h"
#include "script/loader.h"

namespace kes {
namespace {

TEST(CommandTable, EveryRowHasWordsAndADescription) {
  size_t n = 0;
  const CommandRow* rows = CommandRows(n);
  ASSERT_EQ(n, CommandRowCount());
  ASSERT_GE(n, 199u);
  for (size_t i = 0; i < n; ++i) {
    SCOPED_TRACE(std::string(rows[i].words));
    EXPECT_FALSE(rows[i].words.empty());
    EXPECT_FALSE(rows[i].does.empty());
    // One plain sentence: a capital first, a full stop last, no line break.
    EXPECT_TRUE(rows[i].does.front() >= 'A' && rows[i].does.front() <= 'Z');
    EXPECT_EQ(rows[i].does.back(), '.');
    EXPECT_EQ(rows[i].does.find('\n'), std::string_view::npos);
    EXPECT_EQ(Upper(rows[i].words), rows[i].words);
  }
}

TEST(CommandTable, WordsFindTheirRowAndPosition) {
  const CommandWord* w = FindCommand("SORTD");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->row->handler, &CmdListOp);
  EXPECT_EQ(w->index, static_cast<int>(ListOpWord::SortD));
  EXPECT_EQ(FindCommand("CLEAR")->row, w->row);
  EXPECT_EQ(FindCommand("sortd"), nullptr);  // the word is upper-cased before the lookup
  EXPECT_EQ(FindCommand("NOSUCHWORD"), nullptr);
  // A word the dispatcher knows but whose handler is not built yet.
  ASSERT_NE(FindCommand("ASKDIALOG"), nullptr);
  EXPECT_EQ(FindCommand("ASKDIALOG")->row->handler, nullptr);
}

TEST(CommandTable, WordFacts) {
  // Words that see the previous error code, and no others of their rows.
  for (const char* w : {"IF", "SET", "SETCDE", "LET", "ECHO", "CALLSUB", "GOTO", "TRACE", "WAIT", "NEXT"})
    EXPECT_TRUE(WordFlags(w) & kKeepsError) << w;
  for (const char* w : {"SETLOCAL", "ASK", "ASKOK", "CALL", "ITERATE", "SLEEP", "NOSUCHWORD"})
    EXPECT_FALSE(WordFlags(w) & kKeepsError) << w;
  // The error record of the trace: the same words but WAIT and NEXT.
  for (const char* w : {"IF", "SET", "SETCDE", "LET", "ECHO", "CALLSUB", "GOTO", "TRACE"})
    EXPECT_TRUE(WordFlags(w) & kNoErrorTrace) << w;
  EXPECT_FALSE(WordFlags("WAIT") & kNoErrorTrace);
  EXPECT_FALSE(WordFlags("NEXT") & kNoErrorTrace);
  EXPECT_TRUE(WordFlags("PASSWORD") & kNotTraced);
  for (const char* w : {"WAITCHILD", "WAITEND", "WAITPARENT", "WAITOBJECT"})
    EXPECT_TRUE(WordFlags(w) & kEndsBoxLines) << w;
  EXPECT_FALSE(WordFlags("WAITWINDOWLIST") & kEndsBoxLines);
  EXPECT_TRUE(WordFlags("IGNOREBOX") & kOpensBoxLines);
  EXPECT_TRUE(WordFlags("OPTIONALBOX") & kOpensBoxLines);
  for (const char* w : {"SEP", "SEPALL", "VARSEP", "QUOTE", "CASE", "LOGMUTE", "LOGSTOP", "GOTO", "EXIT", "WHERE"})
    EXPECT_TRUE(WordFlags(w) & kNotLogged) << w;
  for (const char* w : {"COPY", "IF", "SET", "OLDAPP", "PROFILE"}) EXPECT_FALSE(WordFlags(w) & kNotLogged) << w;
}

class Guard : public testing::Test {
 protected:
  Interp& in = K();
  std::string dir;

  void SetUp() override {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    dir = std::string(tmp) + "kes_guard_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    in.log.dir = dir + "\\";
    in.log.fileName = dir + "\\guard.log";
    in.log.stop = 0;
    in.line.word = "REGKEYLIST";
    in.line.result = "stale";
    in.err.code = 0;
  }
  void TearDown() override {
    DeleteFileA(in.log.fileName.c_str());
    RemoveDirectoryA(dir.c_str());
    in.log.dir.clear();
    in.log.fileName.clear();
  }
  std::string Log() {
    std::string s;
    ReadWholeFile(in.log.fileName, s);
    return s;
  }
};

TEST_F(Guard, OutOfMemoryIsError7WithoutResult) {
  bool failed = false;
  RunGuarded(
      in, [] { throw std::bad_alloc(); }, &failed);
  EXPECT_TRUE(failed);
  EXPECT_EQ(in.err.code, kErrOutOfMemory);
  EXPECT_EQ(in.line.result, kNoResult);
  EXPECT_EQ(Log(), "");  // the line's own log entry follows later, from the epilogue
  in.err.code = 0;
  RunGuarded(in, [] { std::string().reserve(std::string().max_size() + 1); });
  EXPECT_EQ(in.err.code, kErrOutOfMemory);  // std::length_error
}

TEST_F(Guard, OtherExceptionsAreError1AndNameTheCommand) {
  bool failed = false;
  RunGuarded(
      in, [] { throw std::out_of_range("basic_string::substr"); }, &failed);
  EXPECT_TRUE(failed);
  EXPECT_EQ(in.err.code, kErrUsage);
  EXPECT_EQ(in.line.result, kNoResult);
  const std::string log = Log();
  EXPECT_NE(log.find("ERROR=1 "), std::string::npos) << log;
  EXPECT_NE(log.find("Exception REGKEYLIST : basic_string::substr"), std::string::npos) << log;
}

TEST_F(Guard, NothingHappensWithoutException) {
  bool failed = false;
  RunGuarded(
      in, [this] { in.line.result = "fine"; }, &failed);
  EXPECT_FALSE(failed);
  EXPECT_EQ(in.err.code, 0);
  EXPECT_EQ(in.line.result, "fine");
}

}  // namespace
}  // namespace kes

namespace kes {
namespace {

TEST(SpecialVariables, OneRowPerNameWithAReaderOrAWriter) {
  size_t n = 0;
  const SpecialVariable* rows = SpecialVariables(n);
  ASSERT_GT(n, 30u);
  for (size_t i = 0; i < n; ++i) {
    SCOPED_TRACE(std::string(rows[i].name));
    EXPECT_EQ(Upper(rows[i].name), rows[i].name);
    EXPECT_TRUE(rows[i].read || rows[i].write);
    EXPECT_EQ(FindSpecialVariable(rows[i].name), &rows[i]);  // no name twice
  }
  EXPECT_EQ(FindSpecialVariable("NOSUCHNAME"), nullptr);
}

TEST(SpecialVariables, ReadAndWriteThroughTheirOwners) {
  Interp& in = K();
  const int32_t savedError = in.err.code;
  SetVariable(in, "ERROR", "42");
  EXPECT_EQ(in.err.code, 42);
  EXPECT_EQ(GetVariable(in, "ERROR"), "42");
  EXPECT_EQ(in.vars.Find("ERROR"), nullptr);  // the error code is no variable
  in.err.code = savedError;

  SetVariable(in, "MAXWAIT", "12");
  EXPECT_EQ(in.waits.maxWait, 12);
  EXPECT_EQ(GetVariable(in, "MAXWAIT"), "12");  // stored as a variable too
  SetVariable(in, "MAXWAIT", "600");

  SetVariable(in, "EXTRACT", "abc");
  EXPECT_EQ(in.text.extract, "abc");
  EXPECT_EQ(GetVariable(in, "EXTRACT"), "abc");

  // A built-in value wins over a variable of its name.
  in.vars.Store("NANSWER", "99");
  in.vars.Sys(SysList::ANSWER) = {"a", "b"};
  EXPECT_EQ(GetVariable(in, "NANSWER"), "2");
  in.vars.Remove("NANSWER");
  in.vars.Sys(SysList::ANSWER).clear();
}

}  // namespace
}  // namespace kes
