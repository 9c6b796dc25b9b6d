// Acting on windows found by title or process, and listing them: WINDOW,
// WINDOWSIZE, WINDOWLIST, WINDOWXLIST, OBJECTLIST, OBJECTXLIST.
#include "automation/focus.h"
#include "automation/titlematch.h"
#include "automation/winsearch.h"
#include "interp/commands.h"

namespace kes {

namespace {

// The window a designation names: a process's first top-level window, or
// the first window whose title matches, disabled windows included.
HWND FindForWindowCommand(std::string_view text, std::string_view quote) {
  const WindowDesignation d = ParseDesignation(text, quote);
  if (d.byPid) return FirstWindowOfProcess(d.pid);
  TitleSearch s;
  s.pattern = d.pattern;
  s.includeDisabled = true;
  s.limit = 1;
  const auto r = FindWindowsByTitle(s);
  return r.empty() ? nullptr : r.front();
}

// The window of a list command's argument: the designated window, or the
// focus target when there is no argument.
HWND WindowArgOrTarget(Interp& in, std::string_view text) {
  if (TrimView(text).empty()) {
    HWND t = TargetWindow(in);
    return t && IsWindow(t) ? t : nullptr;
  }
  return FindForWindowCommand(text, in.sep.quote);
}

// Appends the separator and one more field to a list entry.
void AddField(std::string& e, const std::string& sep, std::string_view v) {
  e += sep;
  e += v;
}

std::string Handle(HWND w) { return IntText(static_cast<int64_t>(reinterpret_cast<uintptr_t>(w))); }

// A control's identifier; 0 for a top-level window, whose identifier field
// holds its menu.
int ControlId(HWND w) { return (GetWindowLongA(w, GWL_STYLE) & WS_CHILD) ? GetDlgCtrlID(w) : 0; }


void ActOnWindow(Interp& in, HWND w, const std::string& action, const std::string& value, const std::string& more) {
  if (!IsWindow(w)) {
    in.err.code = kErrUsage;
    return;
  }
  if (action == "TITLE") {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()), SMTO_ABORTIFHUNG, 5000, &r))
      in.err.code = kErrUsage;
  } else if (action == "RUN" || action == "PID") {
    HWND owner = GetWindow(w, GW_OWNER);
    in.line.result = IntText(ProcessOfWindow(owner ? owner : w));
  } else if (action == "DISABLE" || action == "ENABLE") {
    EnableWindow(w, action == "ENABLE");
  } else if (action == "HIDE") {
    ShowWindow(w, SW_HIDE);
  } else if (action == "SHOW") {
    ShowWindow(w, SW_SHOWNORMAL);
  } else if (action == "MAXIMIZE") {
    ShowWindow(w, SW_MAXIMIZE);
  } else if (action == "MINIMIZE") {
    ShowWindow(w, SW_MINIMIZE);
  } else if (action == "TOP") {
    SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else if (action == "BOTTOM") {
    SetWindowPos(w, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(w, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else if (action == "OBJECT") {
    in.line.result = WindowClass(w) + in.Sep() + IntText(ControlId(w));
  } else if (action == "HANDLE") {
    in.line.result = Handle(w);
  } else if (action == "PARENT") {
    HWND p = GetParent(w);
    if (!p) {
      in.err.code = kErrUsage;
      return;
    }
    const std::string next = Upper(Trim(value));
    if (next == "PARENT") {  // one level at a time
      in.err.code = kErrUsage;
      return;
    }
    ActOnWindow(in, p, next.empty() ? std::string("HANDLE") : next, more, std::string());
  } else {
    in.err.code = kErrNoHandler;
  }
}

// A rectangle as a child window's parent sees it, or on the screen.
RECT PlacementOf(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  if (GetWindowLongA(w, GWL_STYLE) & WS_CHILD) {
    if (HWND p = GetParent(w)) MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
  }
  return r;
}


struct ObjectWalk {
  Interp* in;
  std::vector<std::string>* list;
  bool extended;
};

BOOL CALLBACK AddObject(HWND c, LPARAM lp) {
  auto* k = reinterpret_cast<ObjectWalk*>(lp);
  const std::string& s = k->in->Sep();
  std::string e = WindowClass(c);
  AddField(e, s, IntText(GetDlgCtrlID(c)));
  if (k->extended) {
    AddField(e, s, WindowText(c));
    AddField(e, s, Handle(c));
    AddField(e, s, IsWindowVisible(c) ? "1" : "0");
    AddField(e, s, IsWindowEnabled(c) ? "1" : "0");
  }
  k->list->push_back(std::move(e));
  return TRUE;
}

}  // namespace

// WINDOW action,designation,value
void CmdWindow(Interp& in, Ctx&) {
  const std::string action = Upper(Field(in, 1));
  HWND w = FindForWindowCommand(Field(in, 2), in.sep.quote);
  if (!w) {
    in.err.code = kErrUsage;
    return;
  }
  // TITLE takes the rest of the line; PARENT names an action and its value.
  if (action == "PARENT") ActOnWindow(in, w, action, Field(in, 3), TextAfterField(in, 3));
  else ActOnWindow(in, w, action, TextAfterField(in, 2), std::string());
}

// WINDOWSIZE designation[,x,y,width,height]: without numbers the result is
// the window's place and size; given numbers move and size it (an empty
// field keeps that value). A top-level window is placed on the screen, a
// child window in its parent's client area.
void CmdWindowSize(Interp& in, Ctx&) {
  HWND w = WindowArgOrTarget(in, Field(in, 1));
  if (!w) {
    in.err.code = kErrUsage;
    return;
  }
  const RECT r = PlacementOf(w);
  long v[4] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
  bool given = false;
  for (size_t i = 0; i < 4; ++i) {
    const std::string& f = Field(in, i + 2);
    if (f.empty()) continue;
    v[i] = ValInt(f);
    given = true;
  }
  if (!given) {
    std::string r = IntText(v[0]);
    for (int i = 1; i < 4; ++i) AddField(r, in.Sep(), IntText(v[i]));
    in.line.result = std::move(r);
    return;
  }
  if (!SetWindowPos(w, nullptr, v[0], v[1], v[2], v[3], SWP_NOZORDER | SWP_NOACTIVATE))
    in.err.code = static_cast<int32_t>(GetLastError());
}

namespace {

// WINDOWLIST [pattern]: the titles of the visible top-level windows.
// WINDOWXLIST [pattern]: every titled top-level window as title, class,
// handle, process id and visible (1 or 0).
void ListWindows(Interp& in, bool extended) {
  const SysList id = extended ? SysList::WINDOWXLIST : SysList::WINDOWLIST;
  auto& list = in.vars.Sys(id);
  list.clear();
  const std::string pattern = TitlePattern(WholeArg(in));
  const std::string& s = in.Sep();
  for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    const bool visible = IsWindowVisible(w) != 0;
    if (!extended && !visible) continue;
    const std::string title = WindowText(w);
    if (title.empty() || (!pattern.empty() && !TitleMatch(title, pattern))) continue;
    if (!extended) {
      list.push_back(title);
      continue;
    }
    std::string e = title;
    AddField(e, s, WindowClass(w));
    AddField(e, s, Handle(w));
    AddField(e, s, IntText(ProcessOfWindow(w)));
    AddField(e, s, visible ? "1" : "0");
    list.push_back(std::move(e));
  }
  in.line.result = IntText(static_cast<int64_t>(list.size()));
  in.line.secondResult = true;
}

// OBJECTLIST [designation]: the controls inside a window (the focus target
// without an argument) as class and id. OBJECTXLIST adds the text, the
// handle, visible and enabled (1 or 0).
void ListObjects(Interp& in, bool extended) {
  auto& list = in.vars.Sys(extended ? SysList::OBJECTXLIST : SysList::OBJECTLIST);
  list.clear();
  HWND w = WindowArgOrTarget(in, in.line.args);
  in.line.secondResult = true;
  if (!w) {
    in.err.code = kErrUsage;
    in.line.result = "0";
    return;
  }
  ObjectWalk walk{&in, &list, extended};
  EnumChildWindows(w, AddObject, reinterpret_cast<LPARAM>(&walk));
  in.line.result = IntText(static_cast<int64_t>(list.size()));
}

}  // namespace

// OBJECTLIST, WINDOWLIST
void CmdWindowList(Interp& in, Ctx& c) {
  if (c.Word<WindowListWord>() == WindowListWord::Objects) ListObjects(in, false);
  else ListWindows(in, false);
}

// OBJECTXLIST, WINDOWXLIST
void CmdWindowXList(Interp& in, Ctx& c) {
  if (c.Word<WindowListWord>() == WindowListWord::Objects) ListObjects(in, true);
  else ListWindows(in, true);
}

}  // namespace kes
