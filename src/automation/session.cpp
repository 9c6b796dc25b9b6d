#include "automation/session.h"

#include <windows.h>

#include "interp/text.h"

namespace kes {

namespace {

struct ClassSearch {
  const char* cls;
  HWND found;
  bool visibleEnabled;
};

BOOL CALLBACK FindClass(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<ClassSearch*>(lp);
  char cls[128];
  if (GetClassNameA(w, cls, sizeof cls) && lstrcmpiA(cls, s->cls) == 0 &&
      (!s->visibleEnabled || (IsWindowVisible(w) && IsWindowEnabled(w)))) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

HWND FindOnDesktop(HDESK d, const char* cls, bool visibleEnabled) {
  ClassSearch s{cls, nullptr, visibleEnabled};
  EnumDesktopWindows(d, FindClass, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// The process on "winsta0" and the thread on one of its desktops for as long
// as the object lives; the previous station and desktop come back after.
class OnDesktop {
 public:
  explicit OnDesktop(const char* name)
      : oldStation_(GetProcessWindowStation()), oldDesk_(GetThreadDesktop(GetCurrentThreadId())) {
    station_ = OpenWindowStationA("winsta0", FALSE, MAXIMUM_ALLOWED);
    if (!station_) {
      error_ = GetLastError();
      return;
    }
    SetProcessWindowStation(station_);
    desk_ = OpenDesktopA(name, 0, FALSE, MAXIMUM_ALLOWED);
    if (!desk_) {
      error_ = GetLastError();
      return;
    }
    SetThreadDesktop(desk_);
  }
  ~OnDesktop() {
    if (oldDesk_) SetThreadDesktop(oldDesk_);
    if (oldStation_) SetProcessWindowStation(oldStation_);
    if (desk_) CloseDesktop(desk_);
    if (station_) CloseWindowStation(station_);
  }
  OnDesktop(const OnDesktop&) = delete;
  OnDesktop& operator=(const OnDesktop&) = delete;
  HDESK desk() const { return desk_; }
  unsigned long error() const { return error_ ? error_ : 1; }

 private:
  HWINSTA oldStation_;
  HDESK oldDesk_;
  HWINSTA station_ = nullptr;
  HDESK desk_ = nullptr;
  unsigned long error_ = 0;
};

}  // namespace

std::string InputDesktopName(bool build2000) {
  std::string name;
  if (HDESK d = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS)) {
    char buf[256];
    DWORD need = 0;
    if (GetUserObjectInformationA(d, UOI_NAME, buf, sizeof buf, &need)) name = Lower(buf);
    CloseDesktop(d);
  }
  if (name.empty() && !build2000) name = "winlogon";
  return name;
}

bool DesktopShowsShell(const std::string& desktop) {
  HDESK d = OpenDesktopA(desktop.c_str(), 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE);
  if (!d) return false;
  const bool shown = FindOnDesktop(d, "Shell_TrayWnd", true) != nullptr;
  CloseDesktop(d);
  return shown;
}

void DetachDesktop(DesktopState& st) {
  if (st.desktop) CloseDesktop(reinterpret_cast<HDESK>(st.desktop));
  if (st.winsta) CloseWindowStation(reinterpret_cast<HWINSTA>(st.winsta));
  st.desktop = st.winsta = 0;
}

unsigned long AttachDesktop(DesktopState& st, const std::string& desktop, bool makeInput) {
  DetachDesktop(st);
  SetLastError(0);
  HWINSTA ws = OpenWindowStationA("winsta0", FALSE, MAXIMUM_ALLOWED);
  if (ws) {
    st.winsta = reinterpret_cast<uintptr_t>(ws);
    SetProcessWindowStation(ws);
  }
  HDESK d = OpenDesktopA(Lower(desktop).c_str(), 0, FALSE, MAXIMUM_ALLOWED);
  if (d) {
    st.desktop = reinterpret_cast<uintptr_t>(d);
    SetThreadDesktop(d);
    if (makeInput) SwitchDesktop(d);
  }
  return GetLastError();
}

namespace {

BOOL CALLBACK CancelBox(HWND w, LPARAM) {
  char cls[16];
  if (IsWindowVisible(w) && GetClassNameA(w, cls, sizeof cls) && lstrcmpA(cls, "#32770") == 0)
    PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}

}  // namespace

void CloseOwnBoxes() { EnumThreadWindows(GetCurrentThreadId(), CancelBox, 0); }

unsigned long SendCtrlAltDel() {
  OnDesktop on("winlogon");
  if (!on.desk()) return on.error();
  HWND sas = FindOnDesktop(on.desk(), "SAS window class", false);
  if (!sas) return 1;
  Sleep(50);
  PostMessageA(sas, WM_HOTKEY, 0, 0x80003);
  return 0;
}

unsigned long LockOldStyle() {
  if (const unsigned long rc = SendCtrlAltDel()) return rc;
  OnDesktop on("winlogon");
  if (!on.desk()) return on.error();
  for (int i = 0; i < 200; ++i) {
    if (HWND dlg = FindOnDesktop(on.desk(), "#32770", false)) {
      HWND button = FindWindowExA(dlg, nullptr, "Button", nullptr);
      if (!button) return 1;
      PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
      PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
      return 0;
    }
    Sleep(40);
  }
  return 1;
}

}  // namespace kes
