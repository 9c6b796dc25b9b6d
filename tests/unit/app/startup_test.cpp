#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "script/loader.h"
#include "startup/startup.h"

namespace kes {
namespace {

MachineInfo Machine() {
  MachineInfo m;
  m.exeFolder = "C:\\App\\";
  return m;
}

TEST(CommandLine, ExecutablePathQuotedOrUpToSpace) {
  std::string exe, args;
  SplitExecutablePath("\"C:\\My App\\K.exe\" a.kes,1", exe, args);
  EXPECT_EQ(exe, "C:\\My App\\K.exe");
  EXPECT_EQ(args, " a.kes,1");
  SplitExecutablePath("C:\\App\\K.exe  x", exe, args);
  EXPECT_EQ(exe, "C:\\App\\K.exe");
  EXPECT_EQ(args, " x");
  SplitExecutablePath("K", exe, args);
  EXPECT_EQ(exe, "K");
  EXPECT_EQ(args, "");
}

TEST(CommandLine, NoArgumentsRunsTheIniOrThePlugFile) {
  MachineInfo m = Machine();
  CommandLineRun r = AnalyseCommandLine(m, "   ");
  EXPECT_EQ(r.source, "C:\\App\\Kestrova.INI");
  EXPECT_FALSE(r.plugin);
  m.pluginBuild = true;
  r = AnalyseCommandLine(m, "");
  EXPECT_EQ(r.source, "C:\\App\\KESPLUG.KPG");
  EXPECT_TRUE(r.plugin);
}

TEST(CommandLine, CommandTextInAnyCaseKeepsTheSpacesAroundTheJoins) {
  const CommandLineRun r = AnalyseCommandLine(Machine(), "  /c A && B TRACE");
  EXPECT_EQ(r.source, "$$");
  EXPECT_EQ(r.commandText, "A \r\n B TRACE");
  EXPECT_FALSE(r.traceAtStart);
}

TEST(CommandLine, TraceWord) {
  CommandLineRun r = AnalyseCommandLine(Machine(), "C:\\s.kes TRACE");
  EXPECT_TRUE(r.traceAtStart);
  EXPECT_EQ(r.source, "C:\\s.kes ");
  r = AnalyseCommandLine(Machine(), "C:\\s.kes trace");
  EXPECT_TRUE(r.traceAtStart);
  EXPECT_EQ(r.source, "C:\\s.kes trace");
  r = AnalyseCommandLine(Machine(), "C:\\s.kes,TRACE");
  EXPECT_FALSE(r.traceAtStart);
  EXPECT_EQ(r.source, "C:\\s.kes,TRACE");
  // The word alone leaves no arguments: the default script runs, traced.
  r = AnalyseCommandLine(Machine(), "TRACE");
  EXPECT_TRUE(r.traceAtStart);
  EXPECT_EQ(r.source, "C:\\App\\Kestrova.INI");
}

TEST(CommandLine, TraceFileWordLeavesTheArguments) {
  CommandLineRun r = AnalyseCommandLine(Machine(), "C:\\s.kes,a TRACEFILE=C:\\log\\run.trc b");
  EXPECT_EQ(r.traceFile, "C:\\log\\run.trc");
  EXPECT_EQ(r.source, "C:\\s.kes,a  b");
  EXPECT_FALSE(r.traceAtStart);
  // quoted with blanks, in any case, beside the TRACE word
  r = AnalyseCommandLine(Machine(), "tracefile=\"C:\\my logs\\r.trc\" C:\\s.kes TRACE");
  EXPECT_EQ(r.traceFile, "C:\\my logs\\r.trc");
  EXPECT_TRUE(r.traceAtStart);
  EXPECT_EQ(Trim(r.source), "C:\\s.kes");
  // a script name that merely holds the word is left alone
  r = AnalyseCommandLine(Machine(), "C:\\XTRACEFILE=1.kes");
  EXPECT_EQ(r.traceFile, "");
  EXPECT_EQ(r.source, "C:\\XTRACEFILE=1.kes");
  // in command-text mode the word is part of the commands
  r = AnalyseCommandLine(Machine(), "/C ECHO TRACEFILE=x");
  EXPECT_EQ(r.traceFile, "");
  EXPECT_EQ(r.commandText, "ECHO TRACEFILE=x");
}

TEST(CommandLine, ImmediateBecomesCommandText) {
  const CommandLineRun r = AnalyseCommandLine(Machine(), "x immediate");
  EXPECT_EQ(r.source, "$$");
  EXPECT_EQ(r.commandText, "IMMEDIATE");
}

TEST(CommandLine, PackagedArgumentsStayAsTheyAre) {
  MachineInfo m = Machine();
  m.packaged = true;
  const CommandLineRun r = AnalyseCommandLine(m, " \"a b\" TRACE");
  EXPECT_EQ(r.source, "\"a b\" TRACE");
  EXPECT_FALSE(r.traceAtStart);
}

}  // namespace
}  // namespace kes

namespace kes {
namespace {

TEST(LineStore, TablesOfLabelsAndSubs) {
  Interp& in = K();
  ScriptLevel lvl;
  lvl.text = "A\r\n  :start\r\n\t:Start\r\nSUB   Pad  \r\nsub lower\r\nSUBX\r\nB";
  ASSERT_TRUE(BuildLineStore(in, lvl));
  ASSERT_EQ(lvl.labels.size(), 2u);
  EXPECT_EQ(lvl.labels[0].name, "START");
  EXPECT_EQ(lvl.labels[0].line, 1);
  EXPECT_EQ(lvl.labels[1].line, 2);
  ASSERT_EQ(lvl.subs.size(), 2u);
  EXPECT_EQ(lvl.subs[0].name, "Pad");
  EXPECT_EQ(lvl.subs[0].line, 4);  // the line after the SUB line
  EXPECT_EQ(lvl.subs[1].name, "lower");
  // Slot i holds line i + 1; the slots past the last line are empty.
  EXPECT_EQ(lvl.lines[0], "A");
  EXPECT_EQ(lvl.lines[1], "  :start");
  EXPECT_EQ(lvl.lines[6], "B");
  EXPECT_GE(static_cast<int>(lvl.lines.size()), lvl.lineCount);
  for (size_t i = 7; i < lvl.lines.size(); ++i) EXPECT_EQ(lvl.lines[i], "");
}

TEST(LineStore, IncludeLinesBecomeEmptyAndTheTextIsTheProcessedLines) {
  Interp& in = K();
  ScriptLevel lvl;
  // Only the first 8 characters as they stand count: the indented line stays.
  lvl.text = "x\r\n  INCLUDE y\r\ninclude\r\n";
  ASSERT_TRUE(BuildLineStore(in, lvl));
  EXPECT_EQ(lvl.lines[1], "  INCLUDE y");
  EXPECT_EQ(lvl.lines[2], "include");
  EXPECT_EQ(lvl.text.substr(0, 25), "x\r\n  INCLUDE y\r\ninclude\r\n");
}

}  // namespace
}  // namespace kes

namespace kes {
namespace {

TEST(Folders, UncExecutablePath) {
  EXPECT_EQ(ScriptServer("\\\\srv\\share\\"), "srv");
  EXPECT_EQ(ScriptServer("\\\\srv"), "srv");
  EXPECT_EQ(ScriptServer("C:\\App\\"), "C:\\App");
  EXPECT_EQ(ScriptServer("C:\\"), "C:");
  EXPECT_EQ(DefaultLogonServer("\\\\srv\\share\\app.exe", "PC1"), "\\\\srv");
  EXPECT_EQ(DefaultLogonServer("C:\\App\\app.exe", "PC1"), "\\\\PC1");
}

}  // namespace
}  // namespace kes

namespace kes {
namespace {

TEST(LineStore, ScrambledLinesAreUnscrambledOnce) {
  Interp& in = K();
  ScriptLevel lvl;
  lvl.text = ScrambleLine(":Here") + "\r\n" + ScrambleLine("SUB Name") + "\r\n" + ScrambleLine("INCLUDE x");
  lvl.scrambled = true;
  ASSERT_TRUE(BuildLineStore(in, lvl));
  EXPECT_TRUE(lvl.unscrambled);
  EXPECT_EQ(lvl.lines[0], ":Here");
  EXPECT_EQ(lvl.lines[1], "SUB Name");
  EXPECT_EQ(lvl.lines[2], "");  // an INCLUDE line, recognised only once plain
  ASSERT_EQ(lvl.labels.size(), 1u);
  EXPECT_EQ(lvl.labels[0].name, "HERE");
  ASSERT_EQ(lvl.subs.size(), 1u);
  // A rebuild from the stored text does not unscramble a second time.
  ASSERT_TRUE(BuildLineStore(in, lvl));
  EXPECT_EQ(lvl.lines[0], ":Here");
}

TEST(LineStore, ScrambledMarkOnTheText) {
  Interp& in = K();
  char tmp[MAX_PATH];
  GetTempPathA(sizeof tmp, tmp);
  const std::string file = std::string(tmp) + "kes_mark_" + std::to_string(GetCurrentProcessId()) + ".kes";
  const std::string body = std::string(kScrambleMark) + ScrambleLine("APPEND x,y") + "\r\n";
  HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD w = 0;
  WriteFile(h, body.data(), static_cast<DWORD>(body.size()), &w, nullptr);
  CloseHandle(h);
  ScriptLevel lvl;
  ASSERT_TRUE(ObtainScript(in, file, true, lvl));
  EXPECT_TRUE(lvl.scrambled);
  ASSERT_TRUE(BuildLineStore(in, lvl));
  EXPECT_EQ(lvl.lines[0], "APPEND x,y");
  DeleteFileA(file.c_str());
}

}  // namespace
}  // namespace kes
