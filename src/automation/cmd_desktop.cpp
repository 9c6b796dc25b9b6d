// The desktop as a whole: SESSION, SCREENSAVER, TASKBAR.
#include <windows.h>

#include "automation/session.h"
#include "sysadmin/launcher.h"
#include "interp/commands.h"

namespace kes {

namespace {

// The screen saver runs: the platform says so, or its desktop exists.
bool ScreenSaverRunning() {
  BOOL running = FALSE;
  if (SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0) && running) return true;
  if (HDESK d = OpenDesktopA("Screen-saver", 0, FALSE, DESKTOP_READOBJECTS)) {
    CloseDesktop(d);
    return true;
  }
  return false;
}

BOOL CALLBACK CloseOne(HWND w, LPARAM) {
  PostMessageA(w, WM_CLOSE, 0, 0);
  return TRUE;
}

void StopScreenSaver() {
  if (HDESK d = OpenDesktopA("Screen-saver", 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_WRITEOBJECTS)) {
    EnumDesktopWindows(d, CloseOne, 0);
    CloseDesktop(d);
    return;
  }
  HWND fg = GetForegroundWindow();
  char cls[64];
  if (fg && GetClassNameA(fg, cls, sizeof cls) && lstrcmpiA(cls, "WindowsScreenSaverClass") == 0)
    PostMessageA(fg, WM_CLOSE, 0, 0);
}

std::string Yes(bool b) { return b ? "1" : "0"; }

// Enables or disables the screen saver; answers the platform's error, 0 on
// success. Some display drivers let the first change a process makes go
// unseen: the state is read back, and set once more when it did not take.
DWORD SetScreenSaverActive(bool on) {
  for (int i = 0; i < 2; ++i) {
    if (!SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, on, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE))
      return GetLastError() ? GetLastError() : 1;
    BOOL now = !on;
    if (SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &now, 0) && (now != 0) == on) break;
  }
  return 0;
}

}  // namespace

// SESSION CTRLALTDEL|LOCK|STATUS|SWITCH|NAME[,desktop]
void CmdSession(Interp& in, Ctx&) {
  const std::string op = Upper(Field(in, 1));
  const std::string desktop = Field(in, 2);
  if (op == "STATUS") {
    const bool shown = DesktopShowsShell(desktop.empty() ? InputDesktopName(in.mach.build2000) : desktop);
    if (shown) Sleep(500);
    in.line.result = Yes(shown);
    return;
  }
  if (op == "SWITCH") {
    in.err.code = static_cast<int32_t>(AttachDesktop(in.desktops, desktop, true));
    in.run.desktopWatch = true;
    Sleep(50);
    return;
  }
  if (op == "CTRLALTDEL") {
    in.err.code = static_cast<int32_t>(SendCtrlAltDel());
  } else if (op == "LOCK") {
    if (in.mach.build2000) {
      LaunchRequest r;
      r.text = "rundll32.exe USER32.DLL,LockWorkStation";
      Launch(in, r);
    } else {
      in.err.code = static_cast<int32_t>(LockOldStyle());
    }
  } else if (op == "NAME") {
    in.line.result = InputDesktopName(in.mach.build2000);
  } else {
    in.err.code = kErrUsage;
    return;
  }
  SleepResponsive(in, 100, false);
}

// SCREENSAVER [STATUS]: "1" while a screen saver runs, else "0".
// SCREENSAVER ACTIVE: "1" when the screen saver is enabled. SCREENSAVER
// ON|OFF enables or disables it. SCREENSAVER TIME [seconds] reads or sets
// its delay. SCREENSAVER STOP ends a running screen saver.
void CmdScreenSaver(Interp& in, Ctx&) {
  const std::string op = Upper(Field(in, 1).substr(0, Field(in, 1).find(' ')));
  if (op.empty() || op == "STATUS") {
    in.line.result = Yes(ScreenSaverRunning());
  } else if (op == "ACTIVE") {
    BOOL on = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &on, 0);
    in.line.result = Yes(on);
  } else if (op == "ON" || op == "OFF") {
    in.err.code = static_cast<int32_t>(SetScreenSaverActive(op == "ON"));
  } else if (op == "TIME") {
    const std::string secs = FieldCount(in) > 1 ? Field(in, 2) : Trim(std::string_view(Field(in, 1)).substr(4));
    if (secs.empty()) {
      UINT t = 0;
      SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &t, 0);
      in.line.result = IntText(t);
    } else if (!SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, static_cast<UINT>(ValInt(secs)), nullptr,
                                      SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)) {
      in.err.code = static_cast<int32_t>(GetLastError() ? GetLastError() : 1);
    }
  } else if (op == "STOP") {
    StopScreenSaver();
  } else {
    in.err.code = kErrNoHandler;
  }
}

// TASKBAR ON|OFF: shows or hides the shell's task bar.
void CmdTaskbar(Interp& in, Ctx&) {
  HWND bar = FindWindowA("Shell_TrayWnd", nullptr);
  if (!bar) {
    in.err.code = kErrUsage;
    return;
  }
  ShowWindow(bar, in.line.on ? SW_SHOW : SW_HIDE);
}

}  // namespace kes
