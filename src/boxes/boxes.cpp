#include "boxes/boxes.h"

#include <windows.h>

#include "interp/version.h"

namespace kes {

namespace {

HWND g_main = nullptr;

LRESULT CALLBACK MainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

// Closes the message box of this thread when MAXWAIT runs out.
VOID CALLBACK CloseBoxTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND box = GetActiveWindow();
  if (box && box != g_main) PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

HWND__* MainWindow() {
  if (g_main) return g_main;
  WNDCLASSA wc{};
  wc.lpfnWndProc = MainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KestrovaMain";
  RegisterClassA(&wc);
  g_main = CreateWindowExA(WS_EX_TOOLWINDOW, "KestrovaMain", kProductName, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           wc.hInstance, nullptr);
  return g_main;
}

// Until the box module is complete the error box is a system message box,
// closed by the MAXWAIT timer like every box.
std::string ShowErrorBox(Interp& in, std::string_view message) {
  UINT_PTR timer = 0;
  if (in.cfg.maxWait >= 1 && in.cfg.maxWait <= 599)
    timer = SetTimer(nullptr, 0, static_cast<UINT>(in.cfg.maxWait) * 1000u, CloseBoxTimer);
  const std::string text(message);
  const int r = MessageBoxA(MainWindow(), text.c_str(), "Message Kestrova",
                            MB_OKCANCEL | MB_ICONERROR | (in.sw.top ? MB_TOPMOST : 0) | MB_SETFOREGROUND);
  if (timer) KillTimer(nullptr, timer);
  return r == IDOK ? std::string() : std::string(1, kEscChar);
}

bool ChoiceValue(Interp&, std::string&) { return false; }
void SelectChoice(Interp&, std::string_view) {}
void RemoveTrayIcon(Interp&) {}
void GaugeUpdate(Interp&, std::string_view) {}

}  // namespace kes
