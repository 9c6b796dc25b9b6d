// The dispatch entry: every script line is prepared, its handler selected by
// the command word from the command table, and the result published.
#pragma once

#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// What a handler works on besides the interpreter state: the block stacks
// of the running script and the control code it may return to the runner.
struct Ctx {
  BlockStacks& stacks;
  std::string& control;
  std::string& lineText;  // the prepared (substituted) line
};

using Handler = void (*)(Interp&, Ctx&);

enum CommandFlags : unsigned {
  kNotLogged = 1,
};

struct CommandRow {
  const char* keywords;  // one or more words separated by blanks
  Handler handler;       // null: not built yet, answers like a word without handler
  unsigned flags;
};

// The handler row selected by an upper-case command word, or null.
const CommandRow* FindCommand(std::string_view word);

// Caller names that change the preparation steps.
inline constexpr std::string_view kCallerSet = "set";
inline constexpr std::string_view kCallerLineOnly = "@LINE";

// Runs one line. `caller` is the script name, or one of the caller names
// above. `out` receives the control code for the runner ("" or "#...#").
void Dispatch(Interp& in, std::string& line, std::string_view caller, std::string& out, BlockStacks& stacks);

// Runs a command word with an argument text directly, as LET and SETCDE do.
void DispatchCommand(Interp& in, std::string_view word, std::string_view args, BlockStacks& stacks);

// The after-command `:=` assignment: name and expression text.
void AssignExpression(Interp& in, std::string_view nameText, std::string_view exprText);

// The first command word of a line ("=" before space) and the argument text
// after its separator.
void SplitCommandWord(std::string_view line, std::string& word, std::string& args);

// ---- helpers for handlers ----
// Field n (1-based) of the argument text, trimmed; empty when missing.
const std::string& Field(const Interp& in, size_t n);
size_t FieldCount(const Interp& in);
// Field n with one pair of enclosing quote characters removed.
std::string FieldUnquoted(const Interp& in, size_t n);

// Keeps the program's windows responsive during long operations.
void PumpMessages();
// Sleeps ms milliseconds while processing window messages.
void SleepResponsive(Interp& in, unsigned ms, bool stopOnInterrupt);

}  // namespace kes
