#include "startup/runner.h"

#include <windows.h>

#include <exception>
#include <utility>

#include "automation/session.h"
#include "boxes/boxes.h"
#include "interp/dispatcher.h"
#include "interp/log.h"
#include "script/loader.h"
#include "trace/trace.h"

namespace kes {

void NestingError(Interp& in) {
  in.err.code = kErrUsage;
  const ScriptLevel* lvl = in.run.CurrentLevel();
  const std::string text = "Loop\r\n" + (lvl ? lvl->name : std::string()) + "\r\nline" +
                           std::to_string(CurrentFrame(in).line) + "\r\n" + in.line.commandText;
  WriteLog(in, text);
  ShowErrorBox(in, text);
  if (in.run.immediateOpen) {
    in.run.abort = true;
    return;
  }
  ExitSequence(in);
}

void DesktopWatch(Interp& in) {
  if (!in.run.desktopWatch) return;
  // The ending flag: the process ends at once with its exit code.
  if (in.run.ending)
    ExitProcess(static_cast<UINT>(in.err.errorlevel != 0 ? in.err.errorlevel : in.err.code));
  if (!in.mach.build2000) SetProcessShutdownParameters(0x100, SHUTDOWN_NORETRY);
  const std::string name = InputDesktopName(in.mach.build2000);
  if (name == in.desktops.inputDesktop) return;
  // The window commands read the new input desktop from here; older systems
  // close the program's box and run its messages.
  in.desktops.inputDesktop = name;
  if (!in.mach.build2000) {
    CloseOwnBoxes();
    PumpMessages();
  }
}

namespace {

// Runs f when the scope is left by an exception.
template <class F>
class OnException {
 public:
  explicit OnException(F f) : f_(std::move(f)), count_(std::uncaught_exceptions()) {}
  OnException(const OnException&) = delete;
  OnException& operator=(const OnException&) = delete;
  ~OnException() {
    if (std::uncaught_exceptions() <= count_) return;
    try {
      f_();
    } catch (...) {
    }
  }

 private:
  F f_;
  int count_;
};

// Splits the runner's source into the name and up to 64 arguments.
void SplitSource(Interp& in, const std::string& source, std::string& name, std::vector<std::string>& args) {
  args.clear();
  if (in.mach.packaged && in.run.callDepth < 0) {
    // The executable is the script; its command line holds the arguments,
    // split at double quotes or at spaces.
    name.clear();
    const std::string_view s = TrimView(source);
    if (!s.empty() && s[0] == '"') {
      size_t i = 0;
      while (i < s.size()) {
        const size_t a = s.find('"', i);
        if (a == std::string_view::npos) break;
        const size_t b = s.find('"', a + 1);
        args.emplace_back(s.substr(a + 1, (b == std::string_view::npos ? s.size() : b) - a - 1));
        if (b == std::string_view::npos) break;
        i = b + 1;
      }
    } else {
      for (auto& p : SplitPlain(s, " "))
        if (!p.empty()) args.push_back(p);
    }
    return;
  }
  std::vector<std::string> f = SplitFields(source, in.Sep(), in.sep.quote);
  name = f.empty() ? std::string() : f[0];
  for (size_t i = 1; i < f.size(); ++i) args.push_back(Unquote(f[i], in.sep.quote));
}

// Sets SCRIPTPATH to the folder of the level now current.
void PublishScriptPath(Interp& in) {
  if (in.mach.childMode) return;
  const ScriptLevel* lvl = in.run.CurrentLevel();
  SetVariable(in, "SCRIPTPATH", lvl ? lvl->folder : std::string());
}

const Label* FindLabel(const std::vector<Label>& table, std::string_view name, bool noCase) {
  for (const auto& l : table)
    if (noCase ? EqualsNoCase(l.name, name) : l.name == name) return &l;
  return nullptr;
}

}  // namespace

void RunScript(Interp& in, std::string source, bool reportMissing, bool& subCall) {
  RunnerState& run = in.run;
  source = Trim(source);
  if (run.callDepth >= kMaxCallDepth) {
    NestingError(in);
    return;
  }
  const bool isSub = subCall;
  subCall = false;

  std::string name;
  std::vector<std::string> args;
  SplitSource(in, source, name, args);
  bool scrambledName = false;
  if (!name.empty() && name[0] == '@') {
    name.erase(0, 1);
    scrambledName = true;
  }
  // NARG belongs to the current call: the caller's count comes back when
  // this run returns.
  const std::string callerNarg = GetVariable(in, "NARG");
  SetVariable(in, "NARG", std::to_string(args.size()));
  RemoveChar(name, '"');
  in.Subst(name);
  name = Trim(name);

  // A new call depth with its arguments and a frame.
  const std::string callerFrame = CurrentFrame(in).name;
  const int levelOnEntry = run.scriptLevel;
  ++run.callDepth;
  const int depth = run.callDepth;
  auto& slots = in.vars.Args(depth);
  for (size_t i = 0; i < slots.size(); ++i) slots[i] = i < args.size() ? args[i] : std::string();
  if (static_cast<int>(run.frames.size()) <= depth) run.frames.resize(static_cast<size_t>(depth) + 1);
  Frame& frame0 = run.frames[static_cast<size_t>(depth)];
  frame0.line = 0;
  frame0.sub = isSub;

  bool left = false;
  auto leaveDepth = [&]() {
    left = true;
    if (depth > 0) SetVariable(in, "NARG", callerNarg);
    in.vars.ClearLocals(depth);
    run.frames[static_cast<size_t>(depth)] = Frame{};
    --run.callDepth;
  };
  // Memory running out while a script is loaded ends the run here; the
  // caller's line guard reports it. The call depth and the script levels go
  // back to what they were, so the caller's script goes on.
  const OnException unwind([&] {
    while (run.scriptLevel > levelOnEntry) run.levels[static_cast<size_t>(run.scriptLevel--)] = ScriptLevel{};
    if (!left) leaveDepth();
  });

  if (!isSub) {
    ++run.scriptLevel;
    if (static_cast<int>(run.levels.size()) <= run.scriptLevel) run.levels.resize(static_cast<size_t>(run.scriptLevel) + 1);
    ScriptLevel& lvl = run.levels[static_cast<size_t>(run.scriptLevel)];
    lvl = ScriptLevel{};
    // A packaged run hands the loader its argument text (for "/PLUG file").
    const bool packagedRun = in.mach.packaged && depth == 0;
    bool ok = ObtainScript(in, packagedRun ? source : name, reportMissing, lvl);
    if (ok) {
      if (scrambledName) lvl.scrambled = true;
      ok = BuildLineStore(in, lvl);
    }
    if (!ok) {
      lvl = ScriptLevel{};
      --run.scriptLevel;
      leaveDepth();
      return;
    }
    run.frames[static_cast<size_t>(depth)].name = lvl.name;
  } else {
    run.frames[static_cast<size_t>(depth)].name = callerFrame + "(SUB-" + name + ")";
  }
  ScriptLevel* lvl = in.run.CurrentLevel();
  if (!lvl) {
    leaveDepth();
    return;
  }
  PublishScriptPath(in);
  TraceText(in, std::string("OPEN CALL") + (isSub ? "SUB" : "") + " (" + run.frames[static_cast<size_t>(depth)].name + " )");
  if (in.mach.traceAtStart) {
    in.mach.traceAtStart = false;
    TraceStart(in);
  }

  int index = 0;
  if (isSub) {
    const Label* s = FindLabel(lvl->subs, name, true);
    if (!s) {
      in.err.code = kErrMissingPartner;
      leaveDepth();
      return;
    }
    index = s->line;
  }

  BlockStacks stacks;
  std::string out;
  std::string line;
  DWORD lastPump = GetTickCount();
  while (index <= lvl->lineCount) {
    if (run.abort) {
      // Under the immediate window the abort goes on down to the window's
      // own call depth: the whole run started from a typed line ends.
      if (!run.immediateOpen || depth <= in.immediate.baseDepth) run.abort = false;
      break;
    }
    if (run.stopRequested) break;
    // Keep the program's windows (shared variables, popups) answering. A
    // process that has not loaded the window system has no window to keep.
    const DWORD now = GetTickCount();
    if (now - lastPump >= 25) {
      if (GetModuleHandleA("user32.dll")) PumpMessages();
      lastPump = now;
    }
    Frame& frame = run.frames[static_cast<size_t>(depth)];
    const bool fromQueue = !run.pending.empty();
    if (fromQueue) {
      const std::string& e = run.pending.front();
      frame.line = ValInt(std::string_view(e).substr(0, 4));
      line.assign(e, std::min<size_t>(4, e.size()), std::string::npos);
      run.pending.pop_front();
    } else {
      frame.line = index;
      line = index < static_cast<int>(lvl->lines.size()) ? lvl->lines[static_cast<size_t>(index)] : std::string();
    }
    TraceView(in, index);
    if (line.size() >= 4 && Upper(std::string_view(line).substr(0, 4)) == "SUB ") break;

    Dispatch(in, line, lvl->name, out, stacks);
    lvl = in.run.CurrentLevel();  // a CALL may have grown the level table
    if (!lvl) break;

    bool advance = !fromQueue;
    run.afterBoxLines = false;
    if (fromQueue && run.pending.empty()) {
      run.afterBoxLines = true;  // the line at the saved index runs again
      TraceText(in, std::string("End ") + (run.pendingFromOptional ? "& Erase ( OPTIONALBOX" : "( IGNOREBOX") + " )");
    }
    if (out.size() >= 5 && out[0] == '#' && out[4] == '#') {
      const std::string_view code = std::string_view(out).substr(0, 5);
      const std::string_view operand = std::string_view(out).substr(5);
      if (code == "#EXI#") break;
      if (code == "#CSB#") {
        subCall = true;
        break;
      }
      if (code == "#GTO#") {
        const Label* l = FindLabel(lvl->labels, operand, false);
        if (!l) {
          in.err.code = kErrRefused;
          break;
        }
        index = l->line + 1;
        continue;
      }
      if (code == "#FOR#") {
        index = ValInt(operand) + 1;
        continue;
      }
      if (code == "#OPT#") {
        for (auto& e : SplitPlain(operand, "\xFF\xFE"))
          if (!e.empty()) run.pending.push_back(std::move(e));
        if (run.pending.empty()) run.afterBoxLines = true;  // no lines: the same line again at once
        continue;
      }
      // "#IMM#" goes back to the immediate window: the script ends at once;
      // its call depth and level are still closed below, so the window's
      // later lines do not pile up call depths.
      if (code == "#IMM#") break;
    }
    if (advance) ++index;
  }

  // Leaving: close the call depth, and the script level for a script.
  std::string closing = "Close Call";
  if (isSub) closing += "Sub";
  TraceText(in, closing + " (" + run.frames[static_cast<size_t>(depth)].name + " )");
  leaveDepth();
  if (!isSub) {
    run.levels[static_cast<size_t>(run.scriptLevel)] = ScriptLevel{};
    --run.scriptLevel;
    PublishScriptPath(in);
  }
}

}  // namespace kes
