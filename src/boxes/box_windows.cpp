// The non-modal windows of the boxes (popup and gauge, notification icon,
// choice window, background and picture) and the system dialogs.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>

#include "boxes/box_frame.h"
#include "boxes/boxes.h"
#include "interp/dispatcher.h"
#include "interp/version.h"
#include "packaging/package.h"

namespace kes {

namespace {

constexpr UINT kTrayMessage = 1424;
constexpr int kPopupHeight = 44;
constexpr int kProgressChars = 188;

std::string WindowTitleOf(Interp& in) { return in.boxes.title.empty() ? std::string(kProductName) : in.boxes.title; }

// ---------------------------------------------------------------- MAXWAIT on system dialogs

UINT_PTR g_sysTimer = 0;

// A visible dialog of this thread other than the main window: the system
// dialog that is open.
BOOL CALLBACK FindThreadDialog(HWND w, LPARAM found) {
  char cls[16] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (w == MainWindow() || !IsWindowVisible(w) || std::string_view(cls) != "#32770") return TRUE;
  *reinterpret_cast<HWND*>(found) = w;
  return FALSE;
}

// The time is up: the open system dialog is cancelled. A dialog still being
// built (a busy machine) is looked for again a quarter of a second later,
// until the dialog's scope ends the timer.
VOID CALLBACK SystemDialogTimeout(HWND, UINT, UINT_PTR id, DWORD) {
  HWND w = GetActiveWindow();
  if (!w || w == MainWindow()) {
    w = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindThreadDialog, reinterpret_cast<LPARAM>(&w));
  }
  if (w) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
  SetTimer(nullptr, id, 250, SystemDialogTimeout);
}

struct SystemDialogScope {
  bool ok = false;
  explicit SystemDialogScope(Interp& in) {
    if (ModalBoxOpen()) return;
    ok = true;
    if (in.waits.maxWait >= 1 && in.waits.maxWait <= 599)
      g_sysTimer = SetTimer(nullptr, 0, static_cast<UINT>(in.waits.maxWait) * 1000u, SystemDialogTimeout);
  }
  ~SystemDialogScope() {
    if (g_sysTimer) KillTimer(nullptr, g_sysTimer);
    g_sysTimer = 0;
  }
};

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
      if (LOWORD(w) == kIdCopyright) {
        EndRequest(K());
      } else if (LOWORD(w) == kIdHide) {
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
  t.Add(DialogTemplate::kButton, kIdCopyright, cw - 30, 1, 26, 14, BS_PUSHBUTTON, 0, "Fin");
  t.Add(DialogTemplate::kStatic, kIdMessage, 30, 1, cw - 61, 35, SS_NOPREFIX | (in.sw.center ? SS_CENTER : SS_LEFT),
        0, "");
  t.Add(DialogTemplate::kStatic, kIdFooterButtons, 1, ch - 22, std::min(377, cw - 2), 10,
        SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, "");
  t.Add(DialogTemplate::kStatic, kIdPercent, 1, ch - 30, 30, 10, SS_LEFT | SS_NOPREFIX, 0, "");
  t.AddIcon(kIdIcon, 3, 4);
  t.Add(DialogTemplate::kButton, kIdHide, cw - 30, 16, 26, 14, BS_PUSHBUTTON, 0, "Cacher");
  HWND d = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), MainWindow(), PopupProc, 0);
  if (!d) return;
  g_popup.hwnd = d;
  g_popup.font = MakeFont(9, 1, true);
  SendDlgItemMessageA(d, kIdMessage, WM_SETFONT, reinterpret_cast<WPARAM>(g_popup.font), FALSE);
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
  SetDlgItemTextA(d, kIdMessage, g_popup.message.c_str());
  SetDlgItemTextA(d, kIdFooterButtons, g_popup.progress.c_str());
  SetDlgItemTextA(d, kIdPercent, g_popup.percent.c_str());
  ShowWindow(GetDlgItem(d, kIdHide), g_tray.present && g_tray.visible ? SW_SHOW : SW_HIDE);
  ShowWindow(GetDlgItem(d, kIdCopyright), in.boxes.silent ? SW_HIDE : SW_SHOW);
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

// ---------------------------------------------------------------- choice window

struct Choice {
  HWND hwnd = nullptr;
  HFONT font = nullptr;
} g_choice;

LRESULT CALLBACK ChoiceProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_SIZE) {
    if (HWND lb = GetDlgItem(h, 10)) MoveWindow(lb, 0, 0, LOWORD(l), HIWORD(l), TRUE);
    return 0;
  }
  if (m == WM_CLOSE) {
    DestroyWindow(h);
    return 0;
  }
  if (m == WM_DESTROY && h == g_choice.hwnd) g_choice.hwnd = nullptr;
  return DefWindowProcA(h, m, w, l);
}

// ---------------------------------------------------------------- background and picture

HWND g_background = nullptr;
std::string g_backgroundText;
HWND g_picture = nullptr;
HBITMAP g_pictureBitmap = nullptr;

LRESULT CALLBACK BackgroundProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT r;
      GetClientRect(h, &r);
      HBRUSH b = CreateSolidBrush(RGB(0, 0, 128));
      FillRect(dc, &r, b);
      DeleteObject(b);
      HFONT f = MakeFont(28, 3, true);
      HGDIOBJ old = SelectObject(dc, f);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(255, 255, 255));
      DrawTextA(dc, g_backgroundText.c_str(), static_cast<int>(g_backgroundText.size()), &r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      SelectObject(dc, old);
      DeleteObject(f);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_TIMER:
      KillTimer(h, 1);
      DestroyWindow(h);
      return 0;
    case WM_DESTROY:
      if (h == g_background) g_background = nullptr;
      return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

LRESULT CALLBACK PictureProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (g_pictureBitmap) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, g_pictureBitmap);
        BITMAP bm;
        GetObjectA(g_pictureBitmap, sizeof bm, &bm);
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
      }
      EndPaint(h, &ps);
      return 0;
    }
    case WM_TIMER:
      KillTimer(h, 1);
      DestroyWindow(h);
      return 0;
    case WM_DESTROY:
      if (h == g_picture) {
        g_picture = nullptr;
        if (g_pictureBitmap) DeleteObject(g_pictureBitmap);
        g_pictureBitmap = nullptr;
      }
      return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

void RegisterPlainClass(const char* name, WNDPROC proc, HBRUSH bg = nullptr) {
  WNDCLASSA probe;
  if (GetClassInfoA(GetModuleHandleA(nullptr), name, &probe)) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = bg;
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

bool IsFolderPath(const std::string& p) {
  const DWORD a = GetFileAttributesA(p.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsNumber(const std::string& s) {
  if (s.empty()) return false;
  size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
  return i < s.size() && AllDigits(std::string_view(s).substr(i));
}

}  // namespace

// ---------------------------------------------------------------- popup commands

std::string PopupText(int id) {
  switch (id) {
    case kIdMessage: return g_popup.message;
    case kIdFooterButtons: return g_popup.progress;
    case kIdPercent: return g_popup.percent;
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
    ShowWindow(GetDlgItem(g_popup.hwnd, kIdHide), SW_HIDE);
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
    const std::string a = MessageBoxKind(in, BoxKind::Ask, "#Mot de passe ?", {}, true, "");
    if (a == in.boxes.stopPassword) confirmed = true;
    else if (a != EscAnswer()) MessageBoxKind(in, BoxKind::Echo, "? Mot de passe", {});
  } else {
    confirmed = MessageBoxKind(in, BoxKind::AskOk, " Fin ?", {}) == "OK";
  }
  busy = false;
  if (confirmed) {
    RemoveTrayIcon(in);
    in.run.stopRequested = true;
  }
}

// ---------------------------------------------------------------- choice window

int ChoiceCommand(Interp& in, const std::vector<std::string>& items) {
  if (!items.empty() && Upper(items[0]) == "OFF") {
    if (g_choice.hwnd) DestroyWindow(g_choice.hwnd);
    g_choice.hwnd = nullptr;
    return 0;
  }
  if (items.size() < 2 || !IsNumber(items[0]) || !IsNumber(items[1])) return kErrUsage;
  const int x = ValInt(items[0]), y = ValInt(items[1]);
  const std::string title = items.size() > 2 && !items[2].empty() ? items[2] : WindowTitleOf(in);
  const auto& answers = in.vars.Sys(SysList::ANSWER);
  if (!g_choice.font) g_choice.font = MakeFont(8, 1, false);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, g_choice.font);
  SIZE sz{};
  GetTextExtentPoint32A(dc, title.c_str(), static_cast<int>(std::min<size_t>(title.size(), 255)), &sz);
  int width = sz.cx + 40;
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  for (size_t i = 0; i < answers.size() && i < 5000; ++i) {
    GetTextExtentPoint32A(dc, answers[i].c_str(), static_cast<int>(std::min<size_t>(answers[i].size(), 255)), &sz);
    width = std::max<int>(width, sz.cx + GetSystemMetrics(SM_CXVSCROLL) + 12);
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  width = std::min(width, GetSystemMetrics(SM_CXSCREEN));
  const int rows = std::clamp(static_cast<int>(answers.size()), 1, 30);
  const int height = std::min<int>(rows * tm.tmHeight + 8 + GetSystemMetrics(SM_CYSMCAPTION) + 2 * GetSystemMetrics(SM_CYFIXEDFRAME),
                              GetSystemMetrics(SM_CYSCREEN));
  HWND lb = nullptr;
  if (!g_choice.hwnd) {
    RegisterPlainClass("KestrovaChoice", ChoiceProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    g_choice.hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, "KestrovaChoice", title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                    x, y, width, height, MainWindow(), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!g_choice.hwnd) return kErrUsage;
    RECT r;
    GetClientRect(g_choice.hwnd, &r);
    lb = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                         0, 0, r.right, r.bottom, g_choice.hwnd, reinterpret_cast<HMENU>(10), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(lb, WM_SETFONT, reinterpret_cast<WPARAM>(g_choice.font), FALSE);
  } else {
    lb = GetDlgItem(g_choice.hwnd, 10);
    SetWindowTextA(g_choice.hwnd, title.c_str());
    SendMessageA(lb, LB_RESETCONTENT, 0, 0);
  }
  for (const auto& a : answers) SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(a.c_str()));
  SetWindowPos(g_choice.hwnd, in.sw.top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ShowWindow(g_choice.hwnd, SW_SHOWNOACTIVATE);
  PumpMessages();
  return 0;
}

bool ChoiceValue(Interp&, std::string& out) {
  if (!g_choice.hwnd) return false;
  HWND lb = GetDlgItem(g_choice.hwnd, 10);
  const LRESULT sel = SendMessageA(lb, LB_GETCURSEL, 0, 0);
  out.clear();
  if (sel >= 0) {
    const LRESULT n = SendMessageA(lb, LB_GETTEXTLEN, sel, 0);
    if (n > 0) {
      out.assign(static_cast<size_t>(n) + 1, '\0');
      SendMessageA(lb, LB_GETTEXT, sel, reinterpret_cast<LPARAM>(out.data()));
      out.resize(static_cast<size_t>(n));
    }
  }
  return true;
}

void SelectChoice(Interp&, std::string_view value) {
  if (!g_choice.hwnd) return;
  HWND lb = GetDlgItem(g_choice.hwnd, 10);
  const std::string v(value);
  const LRESULT i = SendMessageA(lb, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(v.c_str()));
  SendMessageA(lb, LB_SETCURSEL, i >= 0 ? i : static_cast<WPARAM>(-1), 0);
}

// ---------------------------------------------------------------- background and picture

// BACKGROUND OFF | BACKGROUND text[,seconds]
int BackgroundCommand(Interp& in, const std::vector<std::string>& items) {
  if (g_background) DestroyWindow(g_background);
  g_background = nullptr;
  if (!items.empty() && Upper(items[0]) == "OFF") return 0;
  g_backgroundText = items.empty() ? std::string() : items[0];
  RegisterPlainClass("KestrovaBackground", BackgroundProc);
  g_background = CreateWindowExA(WS_EX_TOOLWINDOW, "KestrovaBackground", WindowTitleOf(in).c_str(), WS_POPUP, 0, 0,
                                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), MainWindow(), nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
  if (!g_background) return kErrUsage;
  const int secs = items.size() > 1 ? ValInt(items[1]) : 0;
  if (secs > 0) SetTimer(g_background, 1, static_cast<UINT>(std::min(secs, 86400)) * 1000u, nullptr);
  ShowWindow(g_background, SW_SHOWNOACTIVATE);
  SetWindowPos(g_background, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  UpdateWindow(g_background);
  return 0;
}

// PICTURE OFF | PICTURE file.bmp[,x,y[,seconds[,TRANSPARENT]]]
int PictureCommand(Interp& in, const std::vector<std::string>& items) {
  if (g_picture) DestroyWindow(g_picture);
  g_picture = nullptr;
  if (items.empty() || items[0].empty()) return kErrUsage;
  if (Upper(items[0]) == "OFF") return 0;
  // An IMAGELIST picture of a package comes straight from memory.
  HBITMAP bmp = LoadBitmapFile(in, items[0]);
  if (!bmp) return kErrNotFound;
  BITMAP bm;
  GetObjectA(bmp, sizeof bm, &bm);
  int x = (GetSystemMetrics(SM_CXSCREEN) - bm.bmWidth) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - bm.bmHeight) / 2;
  if (items.size() > 2 && IsNumber(items[1]) && IsNumber(items[2])) {
    x = ValInt(items[1]);
    y = ValInt(items[2]);
  }
  const int secs = items.size() > 3 ? ValInt(items[3]) : 0;
  const bool transparent = items.size() > 4 && Upper(items[4]) == "TRANSPARENT";
  RegisterPlainClass("KestrovaPicture", PictureProc);
  g_pictureBitmap = bmp;
  g_picture = CreateWindowExA(WS_EX_TOOLWINDOW | (transparent ? 0x00080000 /* WS_EX_LAYERED */ : 0), "KestrovaPicture",
                              WindowTitleOf(in).c_str(), WS_POPUP, x, y, bm.bmWidth, bm.bmHeight, MainWindow(), nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  if (!g_picture) {
    DeleteObject(bmp);
    g_pictureBitmap = nullptr;
    return kErrUsage;
  }
  if (transparent) {
    // the colour of the top-left pixel becomes transparent (Windows 2000 and later)
    using SetLayered = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    auto fn = reinterpret_cast<SetLayered>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetLayeredWindowAttributes")));
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    const COLORREF key = GetPixel(mem, 0, 0);
    SelectObject(mem, old);
    DeleteDC(mem);
    if (fn) fn(g_picture, key, 255, 1 /* LWA_COLORKEY */);
  }
  if (secs > 0) SetTimer(g_picture, 1, static_cast<UINT>(std::min(secs, 86400)) * 1000u, nullptr);
  SetWindowPos(g_picture, in.sw.top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ShowWindow(g_picture, SW_SHOWNOACTIVATE);
  UpdateWindow(g_picture);
  return 0;
}

// ---------------------------------------------------------------- system dialogs

std::string FileDialog(Interp& in, std::string_view startIn, std::string_view patternIn, bool save) {
  SystemDialogScope scope(in);
  if (!scope.ok) return std::string();
  std::string start = Trim(startIn);
  std::string pattern = Trim(patternIn);
  if (pattern.empty()) pattern = "*.*";
  std::string folder = start, file;
  if (!start.empty() && !IsFolderPath(start)) {
    const size_t p = start.find_last_of("\\/");
    folder = p == std::string::npos ? std::string() : start.substr(0, p);
    file = p == std::string::npos ? start : start.substr(p + 1);
  }
  std::string filter = "Fichiers de type " + pattern;
  filter.push_back('\0');
  filter += pattern;
  filter.push_back('\0');
  filter += "Tous fichiers";
  filter.push_back('\0');
  filter += "*.*";
  filter.push_back('\0');
  filter.push_back('\0');
  const std::string title =
      !in.boxes.title.empty() ? in.boxes.title
                            : (save ? "Enregistrer un fichier dans " : "Recherche d'un fichier dans ") + folder;
  std::vector<char> buf(MAX_PATH * 4, '\0');
  file = file.substr(0, buf.size() - 1);
  std::copy(file.begin(), file.end(), buf.begin());
  OPENFILENAMEA o{};
  o.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  o.hwndOwner = MainWindow();
  o.lpstrFilter = filter.c_str();
  o.nFilterIndex = 1;
  o.lpstrFile = buf.data();
  o.nMaxFile = static_cast<DWORD>(buf.size());
  o.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  o.lpstrTitle = title.c_str();
  o.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL ok = save ? GetSaveFileNameA(&o) : GetOpenFileNameA(&o);
  return ok ? std::string(buf.data()) : std::string();
}

namespace {

struct BrowseState {
  std::string start;
  std::string created;  // a new folder: the browser opens again on it
};

LRESULT CALLBACK BrowseSubclass(HWND h, UINT m, WPARAM w, LPARAM l);
WNDPROC g_browseProc = nullptr;
BrowseState* g_browse = nullptr;
std::string g_browseCurrent;
constexpr int kIdNewFolder = 4020;

// The companion box: the name of a sub-folder to create.
INT_PTR CALLBACK NewFolderProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_INITDIALOG) {
    SetWindowLongPtrA(d, DWLP_USER, l);
    SetFocus(GetDlgItem(d, kIdAskField));
    return FALSE;
  }
  if (m == WM_COMMAND) {
    if (LOWORD(w) == kIdOk) {
      char name[MAX_PATH] = {};
      GetDlgItemTextA(d, kIdAskField, name, MAX_PATH);
      *reinterpret_cast<std::string*>(GetWindowLongPtrA(d, DWLP_USER)) = Trim(name);
      EndDialog(d, 1);
    } else if (LOWORD(w) == kIdCancel) {
      EndDialog(d, 0);
    }
    return TRUE;
  }
  return FALSE;
}

void NewFolder(HWND browser) {
  DialogTemplate t(DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 220, 62,
                   "Création d'un sous-répertoire");
  t.Add(DialogTemplate::kEdit, kIdAskField, 10, 10, 200, 13, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, "");
  t.Add(DialogTemplate::kButton, kIdOk, 25, 35, 75, 15, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "&Ok");
  t.Add(DialogTemplate::kButton, kIdCancel, 120, 35, 75, 15, BS_PUSHBUTTON | WS_TABSTOP, 0, "&Annuler");
  std::string name;
  if (DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), browser, NewFolderProc,
                              reinterpret_cast<LPARAM>(&name)) != 1 || name.empty() || g_browseCurrent.empty())
    return;
  std::string path = g_browseCurrent;
  if (path.back() != '\\') path += "\\";
  path += name;
  if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    MessageBeep(MB_ICONHAND);
    return;
  }
  if (g_browse) g_browse->created = path;
  PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
}

LRESULT CALLBACK BrowseSubclass(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COMMAND && LOWORD(w) == kIdNewFolder) {
    NewFolder(h);
    return 0;
  }
  return CallWindowProcA(g_browseProc, h, m, w, l);
}

int CALLBACK BrowseCallback(HWND h, UINT m, LPARAM l, LPARAM data) {
  auto* st = reinterpret_cast<BrowseState*>(data);
  if (m == BFFM_INITIALIZED) {
    if (!st->start.empty()) SendMessageA(h, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(st->start.c_str()));
    // the "new sub-folder" button of the companion box
    RECT r;
    GetClientRect(h, &r);
    HWND b = CreateWindowExA(0, "BUTTON", "&Nouveau...", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 8,
                             r.bottom - 32, 90, 23, h, reinterpret_cast<HMENU>(kIdNewFolder), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(b, WM_SETFONT, SendMessageA(h, WM_GETFONT, 0, 0), FALSE);
    g_browseProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BrowseSubclass)));
  } else if (m == BFFM_SELCHANGED) {
    char path[MAX_PATH] = {};
    if (SHGetPathFromIDListA(reinterpret_cast<LPITEMIDLIST>(l), path)) {
      g_browseCurrent = path;
      SendMessageA(h, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
    }
  }
  return 0;
}

}  // namespace

std::string DirDialog(Interp& in, std::string_view startIn) {
  SystemDialogScope scope(in);
  if (!scope.ok) return std::string();
  BrowseState st;
  st.start = Trim(startIn);
  std::string answer;
  for (int round = 0; round < 50; ++round) {
    st.created.clear();
    const std::string title =
        !in.boxes.title.empty() ? in.boxes.title : "Choix d'un sous-répertoire dans " + st.start;
    char display[MAX_PATH] = {};
    BROWSEINFOA bi{};
    bi.hwndOwner = MainWindow();
    bi.pszDisplayName = display;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    bi.lpfn = BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(&st);
    g_browse = &st;
    g_browseCurrent.clear();
    LPITEMIDLIST id = SHBrowseForFolderA(&bi);
    g_browse = nullptr;
    if (id) {
      char path[MAX_PATH] = {};
      if (SHGetPathFromIDListA(id, path)) answer = path;
      CoTaskMemFree(id);
      break;
    }
    if (st.created.empty()) break;
    st.start = st.created;
  }
  return answer;
}

std::string ColorDialog(Interp& in, const std::vector<std::string>& items) {
  SystemDialogScope scope(in);
  if (!scope.ok) return EscAnswer();
  static COLORREF custom[16] = {};
  CHOOSECOLORA c{};
  c.lStructSize = sizeof c;
  c.hwndOwner = MainWindow();
  c.lpCustColors = custom;
  c.Flags = CC_FULLOPEN | CC_ANYCOLOR;
  if (items.size() >= 3) {
    c.rgbResult = RGB(std::clamp(ValInt(items[0]), 0, 255), std::clamp(ValInt(items[1]), 0, 255),
                      std::clamp(ValInt(items[2]), 0, 255));
    c.Flags |= CC_RGBINIT;
  }
  if (!ChooseColorA(&c)) return EscAnswer();
  return IntText(GetRValue(c.rgbResult)) + "," + IntText(GetGValue(c.rgbResult)) + "," + IntText(GetBValue(c.rgbResult));
}

std::string FontDialog(Interp& in, const std::vector<std::string>& items) {
  SystemDialogScope scope(in);
  if (!scope.ok) return EscAnswer();
  LOGFONTA lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  CHOOSEFONTA f{};
  f.lStructSize = sizeof f;
  f.hwndOwner = MainWindow();
  f.lpLogFont = &lf;
  f.Flags = CF_SCREENFONTS | CF_EFFECTS;
  if (!items.empty() && !items[0].empty()) {
    lstrcpynA(lf.lfFaceName, items[0].c_str(), LF_FACESIZE);
    int size = items.size() > 1 ? std::clamp(ValInt(items[1]), 1, 500) : 10;
    HDC dc = GetDC(nullptr);
    lf.lfHeight = -MulDiv(size, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, dc);
    for (size_t i = 2; i < items.size(); ++i) {
      const std::string w = Upper(items[i]);
      if (w == "BOLD") lf.lfWeight = FW_BOLD;
      else if (w == "ITALIC") lf.lfItalic = TRUE;
      else if (w == "UNDERLINE") lf.lfUnderline = TRUE;
    }
    f.Flags |= CF_INITTOLOGFONTSTRUCT;
  }
  if (!ChooseFontA(&f)) return EscAnswer();
  std::string r = std::string(lf.lfFaceName) + "," + IntText(f.iPointSize / 10);
  if (lf.lfWeight == FW_BOLD) r += ",BOLD";
  if (lf.lfItalic) r += ",ITALIC";
  if (lf.lfUnderline) r += ",UNDERLINE";
  return r;
}

}  // namespace kes
