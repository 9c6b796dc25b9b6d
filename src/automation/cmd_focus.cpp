// Finding windows, setting the focus target and waiting: FOCUSCHILD,
// FOCUSOBJECT, FOCUSPARENT, the waits, GETFOCUS, OPTIONALBOX and IGNOREBOX,
// LASTFOCUS.
#include "automation/focus.h"
#include "automation/keysend.h"
#include "automation/titlematch.h"
#include "automation/winsearch.h"
#include "interp/commands.h"
#include "sysadmin/launcher.h"

namespace kes {

namespace {

// ---- the searches of the waits

struct TitleArgs {
  std::string title, parent;
  HWND found = nullptr;
};

bool TitlePass(Interp&, void* d) {
  auto* a = static_cast<TitleArgs*>(d);
  a->found = FindWindowByTitle(a->title, a->parent);
  return a->found != nullptr;
}

struct ClassArgs {
  std::string cls, title;
  int id = 0;
  HWND found = nullptr;
};

bool ClassPass(Interp&, void* d) {
  auto* a = static_cast<ClassArgs*>(d);
  const auto r = FindWindowsByClass(a->cls, a->id, a->title, 1);
  a->found = r.empty() ? nullptr : r.front();
  return a->found != nullptr;
}

TitleArgs ReadTitleArgs(const Interp& in) { return TitleArgs{FieldUnquoted(in, 1), FieldUnquoted(in, 2)}; }

ClassArgs ReadClassArgs(const Interp& in) {
  ClassArgs a;
  a.cls = FieldUnquoted(in, 1);
  a.id = ValInt(Field(in, 2));
  a.title = FieldUnquoted(in, 3);
  return a;
}

// WAITPARENT and WAITEND: the windows a designation names. A process
// identifier takes the windows of that process or of its children.
struct DesignatedArgs {
  WindowDesignation d;
  HWND found = nullptr;
};

HWND FindDesignated(const WindowDesignation& d, bool includeDisabled) {
  TitleSearch s;
  s.pattern = d.pattern;
  s.includeDisabled = includeDisabled;
  if (!d.byPid) {
    s.limit = 1;
    const auto r = FindWindowsByTitle(s);
    return r.empty() ? nullptr : r.front();
  }
  for (HWND w : FindWindowsByTitle(s)) {
    HWND p = GetParent(w);
    if (ProcessOfWindow(w) == d.pid || (p && ProcessOfWindow(p) == d.pid)) return w;
  }
  return nullptr;
}

bool DesignatedShownPass(Interp&, void* d) {
  auto* a = static_cast<DesignatedArgs*>(d);
  a->found = FindDesignated(a->d, false);
  return a->found != nullptr;
}

// A window that a modal box has disabled is still there: WAITEND sees
// disabled windows too.
bool DesignatedGonePass(Interp&, void* d) { return FindDesignated(static_cast<DesignatedArgs*>(d)->d, true) == nullptr; }

bool ProcessEndedPass(Interp&, void* d) {
  DWORD code = 0;
  return !GetExitCodeProcess(static_cast<HANDLE>(d), &code) || code != STILL_ACTIVE;
}

// WAITWINDOWLIST: the first of several title patterns that finds a window.
struct ListArgs {
  std::vector<std::string> patterns;
  size_t which = 0;
  HWND found = nullptr;
};

bool ListPass(Interp&, void* d) {
  auto* a = static_cast<ListArgs*>(d);
  for (size_t i = 0; i < a->patterns.size(); ++i) {
    if ((a->found = FindWindowByTitle(a->patterns[i]))) {
      a->which = i + 1;
      return true;
    }
  }
  return false;
}

void ClearFocus(Interp& in) { in.focus.window = in.focus.object = 0; }

}  // namespace

// FOCUSCHILD title,parent title / FOCUSOBJECT class,id,title
void CmdFocusChild(Interp& in, Ctx& c) {
  in.err.code = kErrUsage;
  HWND w = nullptr;
  if (c.Word<FocusChildWord>() == FocusChildWord::FocusObject) {
    ClassArgs a = ReadClassArgs(in);
    ClassPass(in, &a);
    w = a.found;
  } else {
    TitleArgs a = ReadTitleArgs(in);
    TitlePass(in, &a);
    w = a.found;
  }
  if (w) TakeMatch(in, w);
}

// FOCUSPARENT: the focus object's parent becomes the focus window and the
// target of the commands (the focus object is cleared).
void CmdFocusParent(Interp& in, Ctx&) {
  HWND obj = FocusObject(in);
  HWND parent = obj && IsWindow(obj) ? GetParent(obj) : nullptr;
  if (!parent) {
    in.err.code = kErrUsage;
    return;
  }
  in.focus.window = reinterpret_cast<uintptr_t>(parent);
  in.focus.object = 0;
  Front(in, parent);
}

// WAITCHILD title,parent title / WAITOBJECT class,id,title
void CmdWaitChild(Interp& in, Ctx& c) {
  if (c.Word<WaitChildWord>() == WaitChildWord::WaitObject) {
    ClassArgs a = ReadClassArgs(in);
    if (RunWait(in, c, ClassPass, &a)) TakeMatch(in, a.found);
  } else {
    TitleArgs a = ReadTitleArgs(in);
    if (RunWait(in, c, TitlePass, &a)) TakeMatch(in, a.found);
  }
}

// WAITWINDOWLIST pattern,pattern,...: result the position of the first
// pattern that finds a window, which becomes the focus target.
void CmdWaitWindowList(Interp& in, Ctx& ctx) {
  ListArgs a;
  for (size_t i = 1; i <= FieldCount(in); ++i) a.patterns.push_back(FieldUnquoted(in, i));
  if (a.patterns.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (RunWait(in, ctx, ListPass, &a)) {
    TakeMatch(in, a.found);
    in.line.result = IntText(static_cast<int64_t>(a.which));
  }
}

// WAITPARENT designation / WAITEND [process id | designation]
void CmdWaitParent(Interp& in, Ctx& ctx) {
  const std::string arg = Trim(in.line.args);
  const bool end = ctx.Word<WaitParentWord>() == WaitParentWord::WaitEnd;
  if (end) ClearFocus(in);
  if (!end) {
    if (arg.empty()) {
      ClearFocus(in);
      return;
    }
    DesignatedArgs a{ParseDesignation(arg, in.sep.quote)};
    if (!RunWait(in, ctx, DesignatedShownPass, &a)) return;
    in.focus.window = reinterpret_cast<uintptr_t>(a.found);
    in.focus.object = 0;
    SetLastStartedProcess(in, ProcessOfWindow(a.found));
    Front(in, a.found);
    return;
  }
  if (arg.empty() || AllDigits(arg)) {
    uint32_t pid = static_cast<uint32_t>(ValInt64(arg));
    if (pid == 0) pid = LastStartedProcess(in);
    HANDLE h = pid ? OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, pid) : nullptr;
    if (!h) return;  // a process that cannot be opened has ended
    RunWait(in, ctx, ProcessEndedPass, h);
    CloseHandle(h);
    return;
  }
  DesignatedArgs a{ParseDesignation(arg, in.sep.quote)};
  RunWait(in, ctx, DesignatedGonePass, &a);
}

// GETFOCUS: the arguments of a wait that would find the active window now.
void CmdGetFocus(Interp& in, Ctx&) {
  HWND w = GetActiveWindow();
  if (!w) w = GetForegroundWindow();
  if (!w) w = GetFocus();
  if (!w) {
    POINT p;
    GetCursorPos(&p);
    w = WindowFromPoint(p);
  }
  if (!w) {
    in.err.code = kErrUsage;
    return;
  }
  const bool child = (GetWindowLongA(w, GWL_STYLE) & WS_CHILD) != 0;
  const std::string title = WindowText(w);
  if (!child) {
    in.line.result = title;  // WAITPARENT title
  } else if (!title.empty()) {
    HWND p = GetParent(w);
    in.line.result = title + in.Sep() + (p ? WindowText(p) : std::string());  // WAITCHILD title,parent
  } else {
    in.line.result = WindowClass(w) + "," + IntText(GetDlgCtrlID(w));  // WAITOBJECT class,id
  }
}

// OPTIONALBOX / IGNOREBOX title,parent title: registers a box the waits
// watch for; the lines up to the next wait are collected for it. No
// argument empties the registry.
void CmdOptionalBox(Interp& in, Ctx& c) {
  AttachCollectedLines(in);
  if (Trim(in.line.args).empty()) {
    in.waits.boxes.clear();
    in.run.boxCollecting = false;
    return;
  }
  OptionalBox b;
  b.title = FieldUnquoted(in, 1);
  b.parent = FieldUnquoted(in, 2);
  b.once = c.Word<OptionalBoxWord>() == OptionalBoxWord::OptionalBox;
  in.waits.boxes.push_back(std::move(b));
  in.run.boxCollecting = true;
}

// LASTFOCUS: the window that had the foreground before the program last
// brought a window to the front comes back and becomes the focus window;
// result its handle.
void CmdLastFocus(Interp& in, Ctx&) {
  HWND w = reinterpret_cast<HWND>(in.focus.lastFocus);
  if (!w || !IsWindow(w)) {
    in.err.code = kErrUsage;
    return;
  }
  in.focus.window = in.focus.lastFocus;
  in.focus.object = 0;
  BringToFront(w, in.sw.oldapp);
  in.line.result = IntText(static_cast<int64_t>(in.focus.lastFocus));
}

}  // namespace kes
