// The trace: the entry points the runner and the dispatcher call for every
// line and record, the trace file, the pause, and what the trace window's
// buttons do. The window itself is trace_window.cpp.
#include "trace/trace.h"

#include <algorithm>

#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"
#include "interp/commands.h"
#include "interp/version.h"
#include "startup/runner.h"
#include "trace/trace_text.h"
#include "trace/trace_window.h"

namespace kes {

namespace {

void UpdateTracing(Interp& in) {
  const TraceState& t = in.trace;
  in.run.tracing = t.window != 0 || t.file != 0 || t.errorWatch;
}

// ---- the trace file: the records one per line, written as they come

void FileLine(Interp& in, const std::string& s) {
  if (!in.trace.file) return;
  HANDLE h = reinterpret_cast<HANDLE>(in.trace.file);
  SetFilePointer(h, 0, nullptr, FILE_END);
  const std::string line = s + "\r\n";
  DWORD done = 0;
  WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &done, nullptr);
}

// A record in both lists and in the file.
void AddRecord(Interp& in, const std::string& text) {
  const std::string r = TraceRecord(MaskedLine(in, text));
  TraceListAdd(in, r, r);
  FileLine(in, r);
}

// The variables list is filled while it is shown (and when it is shown).
void ShowVariables(Interp& in) {
  HWND d = reinterpret_cast<HWND>(in.trace.window);
  if (d && IsWindowVisible(GetDlgItem(d, kTrVariables))) TraceSetList(in, kTrVariables, VariableEntries(in));
}

std::vector<std::string> FrameNames(Interp& in) {
  std::vector<std::string> names;
  for (int d = 0; d <= in.run.callDepth && d < static_cast<int>(in.run.frames.size()); ++d)
    names.push_back(in.run.frames[static_cast<size_t>(d)].name);
  return names;
}

// Step 8 and 9: wait for the delay, a button, or a line typed in the
// immediate window; then the focus goes back where it was.
void Pause(Interp& in) {
  TraceState& t = in.trace;
  if (!t.window || t.pausing) return;
  t.pausing = true;
  const DWORD start = GetTickCount();
  const double limit = t.delay * 1000.0;
  while (t.window && t.go == 0 && !in.run.stopRequested) {
    if (static_cast<double>(GetTickCount() - start) >= limit) break;
    PumpTraceMessages();
    if (!in.immediate.toRun.empty()) {
      // the immediate window asked to run: the line runs, the pause ends
      ImmediateRunQueued(in);
      break;
    }
    if (t.go != 0) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
  }
  t.pausing = false;
  HWND focus = reinterpret_cast<HWND>(t.lastFocus);
  HWND fg = GetForegroundWindow();
  if (focus && IsWindow(focus) && fg && fg == reinterpret_cast<HWND>(t.window)) SetForegroundWindow(focus);
  t.go = 0;
}

bool IsTraceCommand(const Interp& in) { return in.line.command && in.line.command->row->handler == CmdTrace; }

void LineEvent(Interp& in) {
  TraceState& t = in.trace;
  if (IsTraceCommand(in) || (!t.window && !t.file)) return;
  t.lineTraced = true;
  bool endStep = false;
  for (const std::string& r : t.pending) {
    AddRecord(in, "> " + r);
    endStep = endStep || RecordEndsStep(r);
  }
  t.pending.clear();
  if (endStep) {
    ShowVariables(in);
    return;
  }
  const std::string shown = TraceShownLine(in.line.commandText);
  if (TrimView(shown).empty() || shown == "#") return;
  const std::string prefix = TracePrefix(in.run.callDepth, CurrentFrame(in).line);
  const std::string raw = MaskedLine(in, shown);
  const std::string subst = ReplaceAllCopy(DisplaySubstituted(in, shown), "\t", "    ");
  FileLine(in, prefix + raw);
  if (subst != raw) FileLine(in, prefix.substr(0, 7) + " => " + subst);
  if (!t.window) return;
  TraceListAdd(in, prefix + raw, prefix + subst);
  TraceSetText(in, kTrStack, CallStackText(FrameNames(in)));
  // the runner's seven-line view, each with its own number
  std::vector<std::string> next;
  for (size_t i = 0; i < t.view.size(); ++i)
    next.push_back(TracePrefix(in.run.callDepth, t.viewIndex + static_cast<int>(i) + 1) +
                   MaskedLine(in, TraceShownLine(t.view[i])));
  TraceSetList(in, kTrNext, next);
  ShowVariables(in);
  TraceSetText(in, kTrCommand, raw);
  Pause(in);
}

}  // namespace

// ---- shared texts

std::vector<std::string> SecretValues(Interp& in) {
  std::vector<std::string> v;
  in.vars.ForEach([&](const std::string& name, const std::string& value) {
    if (!value.empty() && IsSecretName(name)) v.push_back(value);
  });
  for (const auto& l : in.vars.Locals(in.run.callDepth))
    if (!l.value.empty() && IsSecretName(l.name)) v.push_back(l.value);
  if (!in.boxes.stopPassword.empty()) v.push_back(in.boxes.stopPassword);
  if (!in.programs.adminPassword.empty()) v.push_back(in.programs.adminPassword);
  return v;
}

std::string MaskedLine(Interp& in, std::string_view line) {
  return MaskSecrets(line, {}, SecretValues(in));
}

std::string DisplaySubstituted(Interp& in, std::string_view line) {
  const std::vector<std::string> secrets = SecretValues(in);
  std::string s = MaskSecrets(line, in.sep.varDelim, secrets);
  const bool display = in.protectedDisplay;
  const int32_t code = in.err.code;
  in.protectedDisplay = true;
  in.Subst(s);
  in.protectedDisplay = display;
  in.err.code = code;
  return MaskSecrets(s, {}, secrets);
}

std::vector<std::string> VariableEntries(Interp& in) {
  const std::string& delim = in.sep.varDelim;
  std::vector<std::string> e;
  e.push_back(VariableEntry(delim, "WHERE", GetVariable(in, "WHERE")));
  e.push_back(VariableEntry(delim, "EXTRACT", GetVariable(in, "EXTRACT")));
  const std::vector<std::string> secrets = SecretValues(in);
  auto add = [&](const std::string& name, const std::string& value) {
    std::string entry = VariableEntry(delim, name, value);
    if (!IsSecretName(name)) entry = MaskSecrets(entry, {}, secrets);
    e.push_back(std::move(entry));
  };
  in.vars.ForEach(add);
  for (const auto& l : in.vars.Locals(in.run.callDepth))
    if (!l.name.empty()) add(l.name, l.value);
  return e;
}

// ---- the entry points

void TraceEvent(Interp& in, std::string_view kind, std::string_view text) {
  if (!in.run.tracing) return;
  TraceState& t = in.trace;
  if (kind == ">") {
    LineEvent(in);
    return;
  }
  if (kind == "ON") {
    TraceOpen(in);
    return;
  }
  if (kind == "OFF") {
    TraceClose(in);
    return;
  }
  if (kind == "ERR") {
    const int32_t code = in.err.code;
    if (code > 0 && t.errorWatch && !t.window) TraceOpen(in);
    // a line that turned the trace on is shown once it has run
    const bool secret = in.line.command && (in.line.command->flags & kNotTraced);
    if (!t.lineTraced && !secret) LineEvent(in);
    if (code <= 0 || (!t.window && !t.file)) return;
    AddRecord(in, ErrorRecordText(code));
    TraceSetText(in, kTrStatus, in.sep.varDelim + "ERROR" + in.sep.varDelim + "=" + IntText(code));
  } else if (kind == "IF") {
    AddRecord(in, IfRecordText(text == "TRUE"));
  } else if (kind == "SWITCH") {
    // "depth,matched"
    const size_t comma = text.find(',');
    AddRecord(in, SwitchRecordText(ValInt(text.substr(0, comma)),
                                   comma != std::string_view::npos && text.substr(comma + 1) == "1"));
  } else {
    return;
  }
  // records never wait
  ShowVariables(in);
}

void TraceText(Interp& in, std::string_view text) {
  if (!in.run.tracing || (!in.trace.window && !in.trace.file)) return;
  in.trace.pending.emplace_back(text);
}

void TraceView(Interp& in, int index) {
  TraceState& t = in.trace;
  t.lineTraced = false;
  // a "Force wait" pressed while no wait ran ends nothing later
  in.waits.forceEnd = false;
  if (!t.window) return;
  t.view.clear();
  t.viewIndex = index;
  const ScriptLevel* lvl = in.run.CurrentLevel();
  if (!lvl || index < 0) return;
  const int end = std::min(lvl->lineCount, static_cast<int>(lvl->lines.size()));
  for (int i = index; i < index + 7 && i < end; ++i)
    t.view.push_back(lvl->lines[static_cast<size_t>(i)]);
}

void TraceStart(Interp& in) { TraceOpen(in); }

void TraceOpen(Interp& in) {
  TraceState& t = in.trace;
  if (t.window) return;
  HWND fg = GetForegroundWindow();
  HWND d = CreateTraceWindow(in);
  if (!d) return;
  t.window = reinterpret_cast<uintptr_t>(d);
  t.lastFocus = reinterpret_cast<uintptr_t>(fg);
  t.listed = 0;
  t.go = 0;
  t.delay = t.speed == 1 ? kSlowDelay : t.speed == 2 ? kHighDelay : kStepDelay;
  ShowTraceSpeed(in, t.speed);
  UpdateTracing(in);
}

void TraceClose(Interp& in) {
  TraceState& t = in.trace;
  if (!t.window) return;
  DestroyTraceWindow(in);
  t.window = 0;
  t.go = -1;
  t.pending.clear();
  UpdateTracing(in);
  ImmediateTraceClosed(in);
}

void TraceSetSpeed(Interp& in, int speed) {
  TraceState& t = in.trace;
  t.speed = speed;
  if (!t.window) return;
  t.delay = speed == 1 ? kSlowDelay : speed == 2 ? kHighDelay : kStepDelay;
  ShowTraceSpeed(in, speed);
}

void TraceErrorWatch(Interp& in, bool on) {
  in.trace.errorWatch = on;
  UpdateTracing(in);
}

int32_t TraceFileOpen(Interp& in, const std::string& path) {
  TraceFileClose(in);
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LanguageError(GetLastError(), WinErrorUse::Open);
  in.trace.file = reinterpret_cast<uintptr_t>(h);
  in.trace.filePath = path;
  UpdateTracing(in);
  SYSTEMTIME st;
  GetLocalTime(&st);
  const ScriptLevel* lvl = in.run.CurrentLevel();
  FileLine(in, std::string(kProductName) + " TRACE " + IntText(st.wYear) + "/" + ZeroPad(st.wMonth, 2) + "/" +
                   ZeroPad(st.wDay, 2) + " " + ZeroPad(st.wHour, 2) + ":" + ZeroPad(st.wMinute, 2) + ":" +
                   ZeroPad(st.wSecond, 2) + (lvl ? " " + lvl->name : std::string()));
  return 0;
}

void TraceFileClose(Interp& in) {
  if (!in.trace.file) return;
  CloseHandle(reinterpret_cast<HANDLE>(in.trace.file));
  in.trace.file = 0;
  in.trace.filePath.clear();
  UpdateTracing(in);
}

void TraceRefresh(Interp& in) { ShowVariables(in); }

// ---- the buttons

void TraceCommand(Interp& in, int id) {
  TraceState& t = in.trace;
  switch (id) {
    case kTrStep:
      if (!in.run.immediateOpen) ShowTraceSpeed(in, 0);
      t.go = -1;
      t.delay = kStepDelay;
      break;
    case kTrSlow:
      ShowTraceSpeed(in, 1);
      t.go = -1;
      t.delay = kSlowDelay;
      break;
    case kTrHigh:
      ShowTraceSpeed(in, 2);
      t.go = -1;
      t.delay = kHighDelay;
      break;
    case kTrForceWait:
      // A pause just ends; a wait running now ends with error 1, and the
      // next line pauses as usual.
      if (t.pausing) {
        t.go = 1;
      } else {
        in.waits.forceEnd = true;
      }
      break;
    case kTrOff:
      t.go = -1;
      t.delay = 0;
      TraceClose(in);
      break;
    case kTrExit: {
      if (ModalBoxOpen()) break;
      if (AskOkBox(in, "  Exit ?") != "OK") break;
      if (in.run.immediateOpen) {
        ImmediateClose(in);
      } else {
        ExitSequence(in);
      }
      break;
    }
  }
}

}  // namespace kes
