// The dispatch entry: every script line is prepared, its handler selected by
// the command word from the command table, and the result published.
#pragma once

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

#include "interp/errors.h"
#include "interp/interp.h"

namespace kes {

// What a handler works on besides the interpreter state: the block stacks
// of the running script, the control code it may return to the runner, and
// which word of its table row called it.
struct Ctx {
  BlockStacks& stacks;
  std::string& control;
  std::string& lineText;  // the prepared (substituted) line
  int word = 0;           // position of the command word in its row: 0 the first

  // The word as the handler's own enumeration (declared beside the handler
  // in commands.h, in the order of the row's words).
  template <class E>
  E Word() const {
    return static_cast<E>(word);
  }
};

using Handler = void (*)(Interp&, Ctx&);

// Facts about one command word, written in its table row.
enum WordFlag : uint8_t {
  kNotLogged = 1,       // a failure of the line is not written to the log
  kKeepsError = 2,      // the line sees the error code the previous command left
  kNoErrorTrace = 4,    // no error record in the trace window after the line
  kNotTraced = 8,       // the line is never shown in the trace window (PASSWORD)
  kEndsBoxLines = 16,   // ends the collection of the lines that follow IGNOREBOX or OPTIONALBOX
  kOpensBoxLines = 32,  // starts that collection: never collected itself
};

// Most words of one row.
inline constexpr size_t kMaxRowWords = 10;

// One row of the command table: words that share a handler.
struct CommandRow {
  std::string_view words;       // upper case, separated by single blanks
  Handler handler;              // null: not built yet, answers like a word without handler
  uint8_t flags[kMaxRowWords];  // WordFlag bits of each word, in the order of `words`
  std::string_view does;        // what the command does, one plain sentence
};

// A command word as the table knows it.
struct CommandWord {
  const CommandRow* row;
  int index;      // position of the word in its row
  uint8_t flags;  // its WordFlag bits
};

// The first row that lists an upper-case command word, or null.
const CommandWord* FindCommand(std::string_view word);
// The WordFlag bits of a command word; 0 for a word no row lists.
uint8_t WordFlags(std::string_view word);
// Every row, in dispatch order.
const CommandRow* CommandRows(size_t& count);

// The one exception guard of a line, used by the dispatcher around the
// handler and around the whole line; handlers never catch for themselves.
// Runs body; running out of memory (std::bad_alloc, std::length_error)
// ends it with error 7, any other std::exception with error 1 and a log
// entry naming the command. Either way the line leaves no result, and
// `failed`, when given, is set.
void CommandFailed(Interp& in, int32_t code, const char* what) noexcept;
template <class F>
void RunGuarded(Interp& in, F&& body, bool* failed = nullptr) {
  try {
    body();
    return;
  } catch (const std::bad_alloc&) {
    CommandFailed(in, kErrOutOfMemory, nullptr);
  } catch (const std::length_error&) {
    CommandFailed(in, kErrOutOfMemory, nullptr);
  } catch (const std::exception& e) {
    CommandFailed(in, kErrUsage, e.what());
  }
  if (failed) *failed = true;
}

// Caller names that change the preparation steps.
inline constexpr std::string_view kCallerSet = "set";
inline constexpr std::string_view kCallerLineOnly = "@LINE";

// Runs one line. `caller` is the script name, or one of the caller names
// above. `out` receives the control code for the runner ("" or "#...#").
void Dispatch(Interp& in, std::string& line, std::string_view caller, std::string& out, BlockStacks& stacks);

// Runs a command word with an argument text directly, as LET and SETCDE do.
// Past kMaxNestedCommands the command does not run and the error code is 1.
void DispatchCommand(Interp& in, std::string_view word, std::string_view args, BlockStacks& stacks);

// Commands run inside other commands of one line (IF's command, LET's and
// SETCDE's) recurse through the dispatcher: the depth is bounded so that no
// script text can exhaust the machine stack. Far beyond any real script.
inline constexpr int kMaxNestedCommands = 100;

// Counts one nested command for its lifetime; `ok` is false past the bound,
// with the error code 1 set and nothing run.
class NestedCommand {
 public:
  explicit NestedCommand(Interp& in) : in_(in), ok(++in.run.nestedCommands <= kMaxNestedCommands) {
    if (!ok) in.err.code = kErrUsage;
  }
  ~NestedCommand() { --in_.run.nestedCommands; }
  NestedCommand(const NestedCommand&) = delete;
  NestedCommand& operator=(const NestedCommand&) = delete;

 private:
  Interp& in_;

 public:
  const bool ok;
};

// The after-command `:=` assignment: name and expression text.
void AssignExpression(Interp& in, std::string_view nameText, std::string_view exprText);

// The first command word of a line ("=" before space) and the argument text
// after its separator.
void SplitCommandWord(std::string_view line, std::string& word, std::string& args);

// Keeps the program's windows responsive during long operations.
void PumpMessages();
// Sleeps ms milliseconds while processing window messages.
void SleepResponsive(Interp& in, unsigned ms, bool stopOnInterrupt);

}  // namespace kes
