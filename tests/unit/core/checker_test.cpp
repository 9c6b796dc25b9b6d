// The static checker on line stores made as the loader makes them: each
// case is a script and the exact report it gives.
#include <gtest/gtest.h>

#include "script/checker.h"
#include "script/prepare.h"

namespace kes {
namespace {

WordStatus Words(std::string_view w) {
  static const char* const known[] = {"ECHO",    "SET",     "LET",       "IF",      "FOR",    "NEXT",
                                      "GOTO",    "CALLSUB", "ENDSUB",    "EXITSUB", "SWITCH", "EXIT",
                                      "ITERATE", "EXITFOR", "REGKEYGET", "LOG"};
  for (const char* k : known)
    if (w == k) return WordStatus::Known;
  if (w == "ASKDIALOG") return WordStatus::NotBuilt;
  return WordStatus::Unknown;
}

bool Preset(void*, std::string_view name) { return name == "TEMP" || name == "COMPUTERNAME"; }

// The report of a script (lines joined by "\n"), one problem per line.
std::string Check(const std::string& text, IncludeReport inc = {}) {
  ScriptLevel lv;
  lv.lines = SplitPlain(text, "\n");
  lv.lineCount = static_cast<int>(lv.lines.size());
  for (int i = 0; i < lv.lineCount; ++i) TableLabelOrSub(lv, lv.lines[static_cast<size_t>(i)], i);
  CheckInput in;
  in.level = &lv;
  in.file = "s.kes";
  in.includes = std::move(inc);
  in.word = Words;
  in.preset = Preset;
  std::string out;
  for (const Problem& p : CheckScript(in)) out += FormatProblem(p) + "\n";
  return out;
}

TEST(Checker, CleanScriptsGiveNothing) {
  EXPECT_EQ(Check("; a comment\n"
                  "SET A=1\n"
                  "IF %A%=1 THEN\n"
                  "  ECHO %A% %TEMP% %COMPUTERNAME% %DATE%\n"
                  "ELSE\n"
                  "\tECHO no\n"
                  "END IF\n"
                  "FOR %I%,1,3\n"
                  "  ECHO %I%\n"
                  "NEXT\n"
                  "SWITCH ON,%A%\n"
                  "SWITCH CASE,1\n"
                  "SWITCH OFF\n"
                  "LET K=REGKEYGET HKLM\\X,Y\n"
                  "ECHO %K% %REGKEYGET% %ANSWER1% %1%\n"
                  "B := 2 * 3\n"
                  "ECHO %B% %$LIST3% %!SHARED%\n"
                  "GOTO End\n"
                  "CALLSUB work,1\n"
                  "GOTO %TARGET%\n"
                  "@NOSUCH line\n"
                  "REM NOSUCH\n"
                  ": end\n"
                  "SUB Work\n"
                  "  ECHO %ARG1% %NARG%\n"
                  "END SUB\n"),
            "s.kes(20): hint: %TARGET% is read but never set in the script\n");
}

TEST(Checker, Blocks) {
  EXPECT_EQ(Check("ELSE\n"
                  "ENDIF\n"
                  "IF 1=1 THEN\n"
                  "NEXT\n"
                  "EXIT FOR\n"
                  "FOR I,1,2\n"
                  "SWITCH CASE,1\n"
                  "SWITCH ON,1\n"
                  "SWITCH OFF\n"
                  "SWITCH OFF\n"
                  "SWITCH ON,2\n"
                  "SUB X\n"
                  "IF 1=1 THEN\n"
                  "ENDSUB\n"),
            "s.kes(1): ELSE without IF ... THEN\n"
            "s.kes(2): ENDIF without IF ... THEN\n"
            "s.kes(3): IF ... THEN without ENDIF in the main flow\n"
            "s.kes(4): NEXT without FOR\n"
            "s.kes(5): EXITFOR outside a FOR loop\n"
            "s.kes(6): FOR without NEXT in the main flow\n"
            "s.kes(7): SWITCH CASE without SWITCH ON\n"
            "s.kes(10): SWITCH OFF without SWITCH ON\n"
            "s.kes(11): SWITCH ON without SWITCH OFF in the main flow\n"
            "s.kes(13): IF ... THEN without ENDIF in SUB X\n");
}

TEST(Checker, JumpsCallsWordsAndLabels) {
  EXPECT_EQ(Check("GOTO nowhere\n"
                  "CALLSUB Missing,1\n"
                  "FROB x\n"
                  "X=5\n"
                  "ASKDIALOG f,WAIT\n"
                  ":top\n"
                  ":TOP  \n"
                  "  SUB Inner\n"
                  "ECHO in\n"
                  "GOTO top\n"),
            "s.kes(1): GOTO NOWHERE: there is no label :NOWHERE\n"
            "s.kes(2): CALLSUB Missing: there is no SUB Missing\n"
            "s.kes(3): FROB: no command of that name\n"
            "s.kes(4): X: no command of that name\n"
            "s.kes(5): ASKDIALOG: the command is not available in this build\n"
            "s.kes(7): label :TOP is defined again: GOTO goes to the first one, s.kes(6)\n"
            "s.kes(8): SUB Inner does not start its line: the flow runs into the sub's body\n");
}

TEST(Checker, IncludedLinesAreReportedInTheirFile) {
  // The loader blanks INCLUDE lines and puts the included lines after the
  // last line of the script.
  IncludeReport inc;
  inc.files.push_back(IncludedFile{"C:\\LIB.KES", 3, 4, 1});
  inc.missing.push_back(IncludedFile{"C:\\GONE.KES", 7, 0, 2});
  EXPECT_EQ(Check("ECHO start\n"
                  "\n"
                  "\n"
                  "ECHO loaded\n"
                  "SUB Helper\n"
                  "GOTO nowhere\n"
                  "ENDSUB\n",
                  inc),
            "s.kes(3): INCLUDE C:\\GONE.KES: the file cannot be opened (the script would not run)\n"
            "C:\\LIB.KES(1): this line of C:\\LIB.KES comes before its first SUB: it runs as part of the main "
            "flow (included lines follow the script's last line)\n"
            "C:\\LIB.KES(3): GOTO NOWHERE: there is no label :NOWHERE\n");
}

}  // namespace
}  // namespace kes
