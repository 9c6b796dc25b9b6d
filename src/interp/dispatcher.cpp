#include "interp/dispatcher.h"
#include "interp/commands.h"

#include <windows.h>

#include "interp/args.h"
#include "interp/expression.h"
#include "interp/log.h"
#include "interp/numformat.h"
#include "script/prepare.h"
#include "startup/runner.h"

namespace kes {

void PumpMessages() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      K().run.stopRequested = true;
      continue;
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

void SleepResponsive(Interp& in, unsigned ms, bool stopOnInterrupt) {
  PumpMessages();
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= ms) return;
    if (stopOnInterrupt && (in.run.abort || in.run.stopRequested)) return;
    const DWORD left = ms - elapsed;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 40 ? left : 40, QS_ALLINPUT);
    PumpMessages();
  }
}

void AssignExpression(Interp& in, std::string_view nameText, std::string_view exprText) {
  std::string name = Trim(nameText);
  in.Subst(name);
  name = Trim(name);
  in.err.code = 0;
  const ExprResult r = EvaluateExpression(exprText);
  if (r.syntaxError) {
    in.err.code = kErrUsage;
    return;
  }
  if (!name.empty()) SetVariable(in, name, GeneralFormat(r.value));
}

// ---- after the command

void ErrorEpilogue(Interp& in, const std::string& logText, bool notLogged) {
  if (in.err.code <= 0) return;
  SetVariable(in, "ERROR", std::to_string(in.err.code));
  if (!notLogged) WriteLog(in, logText);
}

void AfterCommand(Interp& in, const std::string& L, bool setCaller, bool notLogged) {
  LineState& ln = in.line;
  // 1: name := expression
  if (!setCaller && in.err.code <= 0) {
    const size_t p = ln.commandText.find(":=");
    if (p != std::string::npos) {
      std::string name = ln.commandText.substr(0, p);
      ReplaceAll(name, "SET ", "");
      ReplaceAll(name, "set ", "");
      const size_t q = L.find(":=");
      AssignExpression(in, name, q == std::string::npos ? std::string_view() : std::string_view(L).substr(q + 2));
    }
  }
  // 2: a word without handler
  bool syntax = false;
  // A sub-keyword no handler knows leaves -999, which is not logged.
  if (in.err.code == kErrNoHandler && ln.unhandled && !setCaller) {
    in.err.code = kErrUsage;
    syntax = true;
  }
  // 3: publish the result
  if (ln.result != kNoResult) {
    const std::string word = ln.word;
    const std::string result = ln.result;
    SetVariable(in, word, result);
    if (ln.secondResult) SetVariable(in, "N" + word, result);
  }
  // 4-5
  if (in.err.code > 0) ErrorEpilogue(in, syntax ? "Syntax : " + L : L, notLogged);
  PerLineResets(in);
  // 6
  if (in.run.tracing && !(ln.command && (ln.command->flags & kNoErrorTrace))) in.system->Trace(in, "ERR", L);
}

namespace {

void SplitFieldsInto(Interp& in) {
  auto& f = in.line.fields;
  f.clear();
  const std::string_view a = in.line.args;
  if (a.empty()) return;
  if (a.find(in.sep.argSep) == std::string_view::npos) {
    f.push_back(Trim(a));
    return;
  }
  f = SplitFields(a, in.sep.argSep, in.sep.quote);
}

}  // namespace

void CommandFailed(Interp& in, int32_t code, const char* what) noexcept {
  LineState& ln = in.line;
  in.err.code = code;
  try {
    ln.result.assign(kNoResult);
    ln.secondResult = false;
    if (what) WriteLog(in, "Exception " + ln.word + " : " + what);
  } catch (...) {
    // Nothing more can be reported without memory.
  }
}

namespace {

void RunHandler(Interp& in, std::string& L, std::string& out, BlockStacks& st, bool& notLogged) {
  LineState& ln = in.line;
  SplitFieldsInto(in);
  ln.on = IsOnWord(ln.second);
  ln.result.assign(kNoResult);
  ln.secondResult = false;
  ln.noLog = false;
  ln.skipEpilogue = false;
  ln.unhandled = false;
  const CommandWord* cmd = ln.command;
  notLogged = cmd && (cmd->flags & kNotLogged);
  if (!cmd || !cmd->row->handler) {
    in.err.code = kErrNoHandler;
    ln.unhandled = true;
    return;
  }
  Ctx c{st, out, L, cmd->index};
  RunGuarded(in, [&] { cmd->row->handler(in, c); });
  if (ln.noLog) notLogged = true;
}

void DispatchLine(Interp& in, std::string& L, std::string_view caller, std::string& out, BlockStacks& st) {
  LineState& ln = in.line;
  const bool setCaller = caller == kCallerSet;
  const bool lineOnly = caller == kCallerLineOnly;

  if (setCaller) {
    // LET and SETCDE have set the command word; the line is the argument text.
    ln.args = L;
    const std::string_view a = TrimView(ln.args);
    ln.second = Upper(a.substr(0, a.find(' ')));
    ln.command = FindCommand(ln.word);
    bool notLogged = false;
    RunHandler(in, L, out, st, notLogged);
    if (!ln.skipEpilogue) AfterCommand(in, ln.word + " " + L, true, notLogged);
    return;
  }

  if (in.run.stepDelayMs > 0) SleepResponsive(in, static_cast<unsigned>(in.run.stepDelayMs), true);
  DesktopWatch(in);
  out.clear();

  Prepared p = PrepareLine(in, L, lineOnly, st);
  if (p == Prepared::Run) {
    ln.command = FindCommand(ln.word);
    p = PrepareCommand(in, L, ln.command ? ln.command->flags : 0);
  }
  switch (p) {
    case Prepared::Finished:
      return;
    case Prepared::Epilogue:
      ErrorEpilogue(in, L, false);
      return;
    case Prepared::Run:
      break;
  }
  if (ln.word.empty()) return;
  DesktopWatch(in);
  bool notLogged = false;
  RunHandler(in, L, out, st, notLogged);
  if (lineOnly || ln.skipEpilogue) return;
  AfterCommand(in, L, false, notLogged);
}

}  // namespace

void Dispatch(Interp& in, std::string& L, std::string_view caller, std::string& out, BlockStacks& st) {
  // The handler has its own guard; this one is for the steps before and
  // after it (substitution, publishing a result into a list, the log).
  bool failed = false;
  auto line = [&] { DispatchLine(in, L, caller, out, st); };
  RunGuarded(in, line, &failed);
  if (!failed) return;
  try {
    ErrorEpilogue(in, L, false);
  } catch (...) {
  }
  try {
    PerLineResets(in);
  } catch (...) {
  }
}

void DispatchCommand(Interp& in, std::string_view word, std::string_view args, BlockStacks& stacks) {
  const NestedCommand nested(in);
  if (!nested.ok) return;
  LineState saved = in.line;
  in.line.word.assign(word);
  if (!(WordFlags(in.line.word) & kKeepsError)) in.err.code = 0;
  std::string line(args);
  std::string out;
  Dispatch(in, line, kCallerSet, out, stacks);
  in.line = std::move(saved);
}

}  // namespace kes

namespace kes {

void NotBuilt(Interp& in, Ctx&) {
  in.err.code = kErrNoHandler;
  in.line.unhandled = true;
}

}  // namespace kes
