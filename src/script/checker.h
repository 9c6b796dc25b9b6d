// The static checker (Kestrova.exe /CHECK script): reads a script's line
// store, as the loader built it, with the line preparation's own rules and
// lists what would go wrong when it runs: blocks that do not pair, jumps and
// calls to nothing, INCLUDE files that are not there, words no command
// answers, subs the flow runs into, labels given twice, and (as hints)
// variables read but never set.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "interp/interp.h"

namespace kes {

// Where the loader put the lines of one INCLUDE file (its lines follow the
// last line of the script), or which INCLUDE file it could not open.
struct IncludedFile {
  std::string name;  // as it was looked for: no blanks or quotes, upper case
  int first = 0;     // store index of its first line
  int count = 0;     // lines it gave (0 for a missing file)
  int includeLine;   // store index of the INCLUDE line
};

struct IncludeReport {
  std::vector<IncludedFile> files;
  std::vector<IncludedFile> missing;
};

// What a command word is to the command table.
enum class WordStatus { Unknown, NotBuilt, Known };

struct CheckInput {
  const ScriptLevel* level = nullptr;  // the built line store with its labels and subs
  std::string file;                    // the script's name in the reports
  IncludeReport includes;
  WordStatus (*word)(std::string_view upperWord) = nullptr;
  // A variable that exists before the script runs (environment, machine).
  bool (*preset)(void* ctx, std::string_view upperName) = nullptr;
  void* presetCtx = nullptr;
};

struct Problem {
  std::string file;
  int line = 0;  // 1-based, in that file
  std::string message;
  bool hint = false;  // hints are shown but not counted
};

// Every problem, ordered by its place in the line store.
std::vector<Problem> CheckScript(const CheckInput& input);

// "file(line): message", or "file(line): hint: message".
std::string FormatProblem(const Problem& p);

}  // namespace kes
