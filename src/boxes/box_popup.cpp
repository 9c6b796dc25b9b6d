// The popup window (POPUP, GAUGE and the progress of long operations), the
// notification icon (ICONBAR) and the end request ("Fin" of either, with
// PASSWORD).
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>

#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"
#include "boxes/boxes.h"
#include "interp/dispatcher.h"

namespace kes {

namespace {

constexpr UINT kTrayMessage = 1424;
constexpr int kPopupHeight = 44;
constexpr int kProgressChars = 188;

// ---------------------------------------------------------------- popup window

struct Popup {
  HWND hwnd = nullptr;
  std::string message;
  std::string progress;
  std::string percent;
  HFONT font = nullptr;
  DWORD shownAt = 0;  // tick count of the last repaint
} g_popup;

// A long operation updates its gauge thousands of times; the window is
// repainted (and messages let through) at most this often.
constexpr DWORD kGaugeRepaintMs = 50;

struct Tray {
  HWND hwnd = nullptr;
  bool present = false;
  bool visible = false;  // the VISIBLE state: the popup offers "Cacher"
} g_tray;

void UpdateTip(Interp& in, const std::string& tip);

INT_PTR CALLBACK PopupProc(HWND d, UINT m, WPARAM w, LPARAM) {
  switch (m) {
    case WM_INITDIALOG:
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(w) == kIdPopupEnd) {
        EndRequest(K());
      } else if (LOWORD(w) == kIdPopupHide) {
        ShowWindow(d, SW_HIDE);
      }
      return TRUE;
    case WM_CLOSE:
      return TRUE;
  }
  return FALSE;
}

int PopupWidthUnits(const Interp& in) {
  if (in.boxes.popupWidth == 0) return 379;
  // never wider than the screen
  const int base = std::max(1, static_cast<int>(LOWORD(GetDialogBaseUnits())));
  const int screenUnits = std::max(120, MulDiv(GetSystemMetrics(SM_CXSCREEN), 4, base) - 8);
  const int w = static_cast<int>(in.boxes.popupWidth / 1.5);
  return std::clamp(w, 120, screenUnits);
}

void CreatePopup(Interp& in) {
  const int cw = PopupWidthUnits(in);
  const int ch = kPopupHeight;
  DialogTemplate t(WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW, cw, ch, WindowTitleOf(in));
  t.Add(DialogTemplate::kButton, kIdPopupEnd, cw - 30, 1, 26, 14, BS_PUSHBUTTON, 0, "Fin");
  t.Add(DialogTemplate::kStatic, kIdPopupMessage, 30, 1, cw - 61, 35, SS_NOPREFIX | (in.sw.center ? SS_CENTER : SS_LEFT),
        0, "");
  t.Add(DialogTemplate::kStatic, kIdPopupProgress, 1, ch - 22, std::min(377, cw - 2), 10,
        SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, "");
  t.Add(DialogTemplate::kStatic, kIdPopupPercent, 1, ch - 30, 30, 10, SS_LEFT | SS_NOPREFIX, 0, "");
  t.AddIcon(kIdIcon, 3, 4);
  t.Add(DialogTemplate::kButton, kIdPopupHide, cw - 30, 16, 26, 14, BS_PUSHBUTTON, 0, "Cacher");
  HWND d = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), MainWindow(), PopupProc, 0);
  if (!d) return;
  g_popup.hwnd = d;
  g_popup.font = MakeFont(9, 1, true);
  SendDlgItemMessageA(d, kIdPopupMessage, WM_SETFONT, reinterpret_cast<WPARAM>(g_popup.font), FALSE);
  RECT r;
  GetWindowRect(d, &r);
  const int w = r.right - r.left;
  SetWindowPos(d, in.sw.top ? HWND_TOPMOST : HWND_NOTOPMOST, GetSystemMetrics(SM_CXSCREEN) - w, 0, 0, 0,
               SWP_NOSIZE | SWP_NOACTIVATE);
  ShowWindow(d, SW_SHOWNOACTIVATE);
}

void RefreshPopup(Interp& in) {
  HWND d = g_popup.hwnd;
  if (!d) return;
  SetDlgItemTextA(d, kIdPopupMessage, g_popup.message.c_str());
  SetDlgItemTextA(d, kIdPopupProgress, g_popup.progress.c_str());
  SetDlgItemTextA(d, kIdPopupPercent, g_popup.percent.c_str());
  ShowWindow(GetDlgItem(d, kIdPopupHide), g_tray.present && g_tray.visible ? SW_SHOW : SW_HIDE);
  ShowWindow(GetDlgItem(d, kIdPopupEnd), in.boxes.silent ? SW_HIDE : SW_SHOW);
  UpdateWindow(d);
}

std::string PercentText(long double value, long double total) {
  const long double v = std::floor(value * 20 / total) * 5;
  if (v == 0) return std::string();
  return IntText(static_cast<int64_t>(v)) + "%";
}

// ---------------------------------------------------------------- notification icon

LRESULT CALLBACK TrayProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == kTrayMessage) {
    if (l == WM_LBUTTONUP || l == WM_RBUTTONUP) {
      HMENU menu = CreatePopupMenu();
      AppendMenuA(menu, MF_STRING, 1, "A propos de");
      AppendMenuA(menu, MF_STRING, 2, "Voir");
      AppendMenuA(menu, MF_STRING, 3, "Fin");
      POINT p;
      GetCursorPos(&p);
      SetForegroundWindow(h);
      const int cmd = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, p.x, p.y, 0, h, nullptr);
      DestroyMenu(menu);
      PostMessageA(h, WM_NULL, 0, 0);
      if (cmd == 1) AboutBox(K(), nullptr);
      else if (cmd == 2 && g_popup.hwnd) ShowWindow(g_popup.hwnd, SW_SHOWNOACTIVATE);
      else if (cmd == 3) EndRequest(K());
    }
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

void TrayData(NOTIFYICONDATAA& nd) {
  nd = NOTIFYICONDATAA{};
  nd.cbSize = NOTIFYICONDATAA_V1_SIZE;
  nd.hWnd = g_tray.hwnd;
  nd.uID = 1;
}

void UpdateTip(Interp&, const std::string& tip) {
  if (!g_tray.present) return;
  NOTIFYICONDATAA nd;
  TrayData(nd);
  nd.uFlags = NIF_TIP;
  lstrcpynA(nd.szTip, tip.c_str(), 64);
  Shell_NotifyIconA(NIM_MODIFY, &nd);
}

std::string JoinTip(const std::vector<std::string>& parts) {
  std::string r;
  for (const auto& p : parts) {
    if (p.empty()) continue;
    if (!r.empty()) r += " \xAD ";
    r += p;
  }
  return r.substr(0, 63);
}

}  // namespace

// ---------------------------------------------------------------- popup commands

std::string PopupText(int id) {
  switch (id) {
    case kIdPopupMessage: return g_popup.message;
    case kIdPopupProgress: return g_popup.progress;
    case kIdPopupPercent: return g_popup.percent;
  }
  return std::string();
}

void PopupClose(Interp& in) {
  if (g_popup.hwnd) DestroyWindow(g_popup.hwnd);
  g_popup.hwnd = nullptr;
  if (g_popup.font) DeleteObject(g_popup.font);
  g_popup.font = nullptr;
  g_popup.message.clear();
  g_popup.progress.clear();
  g_popup.percent.clear();
}

void PopupCommand(Interp& in, bool gauge, std::vector<std::string> items, std::string_view rawText, bool throttled) {
  std::string rest(rawText);
  if (!items.empty() && Upper(items[0]) == "SILENT") {
    in.boxes.silent = true;
    items.erase(items.begin());
    const size_t p = rest.find(in.Sep());
    rest = p == std::string::npos ? std::string() : LTrim(std::string_view(rest).substr(p + in.Sep().size()));
  } else {
    in.boxes.silent = false;
  }
  if (!gauge && !items.empty() && Upper(items[0]) == "OFF") {
    in.boxes.popupWidth = 0;
    PopupClose(in);
    return;
  }
  std::string tip;
  if (gauge) {
    if (!items.empty() && Upper(items[0]) == "OFF") {
      PopupClose(in);
      return;
    }
    const std::string v = items.size() > 0 ? items[0] : std::string();
    const std::string tot = items.size() > 1 ? items[1] : std::string();
    const long double total = Val(tot);
    long double value = Val(v);
    bool withPercent = false;
    std::string text;
    for (size_t i = 2; i < items.size(); ++i) {
      if (items[i] == "%") withPercent = true;
      else if (text.empty()) text = items[i];
    }
    if (!text.empty()) g_popup.message = text;
    std::string percentTip;
    if (total > 0 && std::isfinite(static_cast<double>(total)) && std::isfinite(static_cast<double>(value))) {
      value = std::clamp(value, static_cast<long double>(0), total);
      const long long n = std::llround(static_cast<double>(value * kProgressChars / total));
      g_popup.progress.assign(static_cast<size_t>(std::clamp<long long>(n, 0, kProgressChars)), '\x96');
      g_popup.percent = withPercent ? PercentText(value, total) : std::string();
      percentTip = IntText(static_cast<int64_t>(value * 100 / total)) + "%";
    }
    tip = JoinTip({v, tot, percentTip});
  } else {
    // title, text and status, one a line
    std::string m;
    for (const auto& it : items) {
      if (it.empty()) continue;
      if (!m.empty()) m += "\r\n";
      m += it;
      if (m.size() > kMaxMessage) break;
    }
    g_popup.message = m.substr(0, kMaxMessage);
    tip = JoinTip({items.size() > 0 ? items[0] : "", items.size() > 1 ? items[1] : "", items.size() > 2 ? items[2] : ""});
  }
  if (g_popup.message.empty() && g_popup.progress.empty()) {
    PopupClose(in);
    return;
  }
  const DWORD now = GetTickCount();
  if (!g_popup.hwnd) {
    CreatePopup(in);
  } else if (throttled && now - g_popup.shownAt < kGaugeRepaintMs) {
    return;  // the values are kept; a later update or the next repaint shows them
  }
  g_popup.shownAt = now;
  RefreshPopup(in);
  UpdateTip(in, tip);
  PumpMessages();
}

// ---------------------------------------------------------------- notification icon

void IconBar(Interp& in, std::string_view mode) {
  const std::string m = Upper(Trim(mode));
  if (m == "ON" || m == "VISIBLE") {
    g_tray.visible = m == "VISIBLE";
    if (!g_tray.present) {
      RegisterPlainClass("KestrovaTray", TrayProc);
      if (!g_tray.hwnd)
        g_tray.hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, "KestrovaTray", "Kestrova icon", WS_POPUP, 0, 0, 0, 0,
                                      MainWindow(), nullptr, GetModuleHandleA(nullptr), nullptr);
      NOTIFYICONDATAA nd;
      TrayData(nd);
      nd.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
      nd.uCallbackMessage = kTrayMessage;
      nd.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIdIcon));
      lstrcpynA(nd.szTip, WindowTitleOf(in).c_str(), 64);
      g_tray.present = Shell_NotifyIconA(NIM_ADD, &nd) != FALSE;
      if (!g_tray.present) in.err.code = kErrUsage;
    }
  } else {
    RemoveTrayIcon(in);
  }
  if (g_popup.hwnd) RefreshPopup(in);
}

void RemoveTrayIcon(Interp&) {
  if (g_tray.present) {
    NOTIFYICONDATAA nd;
    TrayData(nd);
    Shell_NotifyIconA(NIM_DELETE, &nd);
  }
  g_tray.present = false;
  g_tray.visible = false;
  if (g_tray.hwnd) DestroyWindow(g_tray.hwnd);
  g_tray.hwnd = nullptr;
  // without the icon's "Voir" a hidden popup could never come back
  if (g_popup.hwnd && !IsWindowVisible(g_popup.hwnd)) {
    ShowWindow(GetDlgItem(g_popup.hwnd, kIdPopupHide), SW_HIDE);
    ShowWindow(g_popup.hwnd, SW_SHOWNOACTIVATE);
  }
}

// ---------------------------------------------------------------- end request

void EndRequest(Interp& in) {
  static bool busy = false;
  if (busy) return;
  if (ModalBoxOpen()) {
    DeferEndRequest();
    return;
  }
  busy = true;
  bool confirmed = false;
  if (!in.boxes.stopPassword.empty()) {
    const std::string a = AskBox(in, "#Mot de passe ?", {}, true, "");
    if (a == in.boxes.stopPassword) confirmed = true;
    else if (a != EscAnswer()) EchoBox(in, "? Mot de passe");
  } else {
    confirmed = AskOkBox(in, " Fin ?") == "OK";
  }
  busy = false;
  if (confirmed) {
    RemoveTrayIcon(in);
    in.run.stopRequested = true;
  }
}

}  // namespace kes
