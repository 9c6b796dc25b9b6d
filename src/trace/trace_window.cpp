// The trace window: a modeless dialog laid out in dialog units on the box
// frame. It shows the traced lines, the call stack, the next lines or the
// variables, and its buttons set the pace of the trace (trace.cpp).
#include "trace/trace_window.h"

#include <algorithm>

#include "boxes/box_frame.h"
#include "boxes/boxes.h"
#include "interp/version.h"
#include "trace/trace.h"

namespace kes {

namespace {

// Window procedure plumbing: the brush of the white backgrounds and the
// client size the controls were laid out for.
HBRUSH g_white = nullptr;
SIZE g_laidOut{};

constexpr int kWidth = 378, kHeight = 210;

struct Control {
  WORD cls;
  WORD id;
  short x, y, cx, cy;
  DWORD style;
  const char* text;
};

constexpr DWORD kReadOnly = ES_READONLY | ES_AUTOHSCROLL | WS_BORDER;
constexpr DWORD kReadOnlyMulti = ES_READONLY | ES_MULTILINE | ES_AUTOVSCROLL | WS_BORDER;
constexpr DWORD kList = LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kPush = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kRadio = BS_RADIOBUTTON | WS_TABSTOP;

constexpr Control kControls[] = {
    {DialogTemplate::kEdit, kTrStatus, 1, 1, 75, 11, kReadOnly, ""},
    {DialogTemplate::kButton, kTrStep, 77, 1, 50, 11, kPush, "Step by step"},
    {DialogTemplate::kButton, kTrSlow, 128, 1, 48, 11, kRadio, "Slow"},
    {DialogTemplate::kButton, kTrHigh, 176, 1, 48, 11, kRadio, "High"},
    {DialogTemplate::kButton, kTrForceWait, 225, 1, 50, 11, kPush, "Force wait"},
    {DialogTemplate::kButton, kTrOff, 275, 1, 50, 11, kPush, "Trace off"},
    {DialogTemplate::kButton, kTrExit, 325, 1, 50, 11, kPush, "Exit"},
    {DialogTemplate::kEdit, kTrStack, 1, 13, 375, 20, kReadOnlyMulti, ""},
    {DialogTemplate::kListBox, kTrRaw, 1, 34, 375, 83, kList, ""},
    {DialogTemplate::kListBox, kTrSubst, 1, 34, 375, 83, kList, ""},
    {DialogTemplate::kListBox, kTrNext, 1, 117, 375, 59, kList, ""},
    {DialogTemplate::kListBox, kTrVariables, 1, 117, 375, 59, kList, ""},
    {DialogTemplate::kEdit, kTrCommand, 1, 177, 375, 20, kReadOnlyMulti, ""},
    {DialogTemplate::kEdit, kTrFullView, 1, 13, 375, 184, kReadOnlyMulti | WS_VSCROLL, ""},
    {DialogTemplate::kButton, kTrVariablesButton, 1, 199, 60, 11, kPush, "Variables"},
    {DialogTemplate::kButton, kTrTranslate, 61, 199, 60, 11, kPush, "Translate"},
    {DialogTemplate::kButton, kTrTitles, 121, 199, 60, 11, kPush, "Windows titles"},
    {DialogTemplate::kButton, kTrObjects, 181, 199, 60, 11, kPush, "Objects"},
    {DialogTemplate::kButton, kTrMenus, 241, 199, 60, 11, kPush, "Menus"},
    {DialogTemplate::kButton, kTrBoxLines, 301, 199, 75, 11, kPush, "Ignore/Optional Box"},
};

HWND Win(Interp& in) { return reinterpret_cast<HWND>(in.trace.window); }

bool Visible(HWND d, int id) { return IsWindowVisible(GetDlgItem(d, id)) != FALSE; }

void ShowLast(HWND list);

void Swap(HWND d, int shown, int hidden) {
  ShowWindow(GetDlgItem(d, hidden), SW_HIDE);
  ShowWindow(GetDlgItem(d, shown), SW_SHOW);
  if (shown == kTrRaw || shown == kTrSubst) ShowLast(GetDlgItem(d, shown));
}

void ToggleFullView(HWND d, bool show) { ShowWindow(GetDlgItem(d, kTrFullView), show ? SW_SHOW : SW_HIDE); }

std::string ListItem(HWND list, int i) {
  const LRESULT n = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
  if (n == LB_ERR) return {};
  std::string s(static_cast<size_t>(n) + 1, '\0');
  SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(n));
  return s;
}

// The horizontal scroll bar follows the longest entry (the list remembers
// the length in characters of the longest so far; 0 after a reset).
void Extent(HWND list, const std::string& s) {
  if (static_cast<LONG_PTR>(s.size()) <= GetWindowLongPtrA(list, GWLP_USERDATA)) return;
  SetWindowLongPtrA(list, GWLP_USERDATA, static_cast<LONG_PTR>(s.size()));
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
  SIZE sz{};
  GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &sz);
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  if (sz.cx + 8 > SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0))
    SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(sz.cx + 8), 0);
}

// Selects the last entry of a shown list (a hidden one when it is shown).
void ShowLast(HWND list) {
  if (!IsWindowVisible(list)) return;
  const LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(n - 1), 0);
}

void Append(HWND list, const std::string& s) {
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
  Extent(list, s);
}

// The controls grow with the window: the line lists take half the extra
// height, the lower list the other half, the rows below move down.
void Layout(HWND d) {
  RECT c;
  GetClientRect(d, &c);
  RECT u{0, 0, kWidth, kHeight};
  MapDialogRect(d, &u);
  const int dx = std::max<LONG>(0, c.right - u.right), dy = std::max<LONG>(0, c.bottom - u.bottom);
  if (dx == g_laidOut.cx && dy == g_laidOut.cy) return;
  g_laidOut = {dx, dy};
  for (const Control& k : kControls) {
    RECT r{k.x, k.y, k.x + k.cx, k.y + k.cy};
    MapDialogRect(d, &r);
    int top = r.top, h = r.bottom - r.top, w = r.right - r.left;
    if (k.y >= 13 && k.cx >= 375) w += dx;  // the full-width rows
    if (k.id == kTrRaw || k.id == kTrSubst) {
      h += dy / 2;
    } else if (k.id == kTrNext || k.id == kTrVariables) {
      top += dy / 2;
      h += dy - dy / 2;
    } else if (k.id == kTrCommand || k.y >= 199) {
      top += dy;
    } else if (k.id == kTrFullView) {
      h += dy;
    }
    SetWindowPos(GetDlgItem(d, k.id), nullptr, r.left, top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(d, nullptr, TRUE);
}

// Double-click on an entry: its whole text in the full-size view.
void ShowEntry(HWND d, int listId) {
  HWND list = GetDlgItem(d, listId);
  const LRESULT i = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (i == LB_ERR) return;
  SetDlgItemTextA(d, kTrFullView, ListItem(list, static_cast<int>(i)).c_str());
  ToggleFullView(d, true);
}

INT_PTR CALLBACK TraceProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  Interp& in = K();
  switch (m) {
    case WM_INITDIALOG:
      return FALSE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(w);
      SetBkColor(dc, RGB(255, 255, 255));
      SetTextColor(dc, GetDlgCtrlID(reinterpret_cast<HWND>(l)) == kTrStatus ? RGB(255, 0, 0) : RGB(0, 0, 0));
      return reinterpret_cast<INT_PTR>(g_white);
    }
    case WM_SIZE:
      Layout(d);
      return TRUE;
    case WM_GETMINMAXINFO: {
      RECT r{0, 0, kWidth / 2, kHeight / 2};
      MapDialogRect(d, &r);
      auto* mm = reinterpret_cast<MINMAXINFO*>(l);
      mm->ptMinTrackSize.x = r.right;
      mm->ptMinTrackSize.y = r.bottom;
      return TRUE;
    }
    case WM_CLOSE:
      TraceCommand(in, kTrOff);
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(w), code = HIWORD(w);
      if (code == LBN_DBLCLK) {
        ShowEntry(d, id);
        return TRUE;
      }
      if (code != BN_CLICKED) return FALSE;
      // any button closes the full-size view
      ToggleFullView(d, false);
      switch (id) {
        case kTrVariablesButton: {
          const bool vars = !Visible(d, kTrVariables);
          if (vars) TraceSetList(in, kTrVariables, VariableEntries(in));
          Swap(d, vars ? kTrVariables : kTrNext, vars ? kTrNext : kTrVariables);
          SetDlgItemTextA(d, kTrVariablesButton, vars ? "Next lines" : "Variables");
          return TRUE;
        }
        case kTrTranslate: {
          const bool subst = !Visible(d, kTrSubst);
          Swap(d, subst ? kTrSubst : kTrRaw, subst ? kTrRaw : kTrSubst);
          SetDlgItemTextA(d, kTrTranslate, subst ? "Script" : "Translate");
          return TRUE;
        }
        case kTrTitles:
          RunBrowser(in, d, BrowserKind::Titles);
          return TRUE;
        case kTrObjects:
          RunBrowser(in, d, BrowserKind::Objects);
          return TRUE;
        case kTrMenus:
          RunBrowser(in, d, BrowserKind::Menus);
          return TRUE;
        case kTrBoxLines:
          RunBrowser(in, d, BrowserKind::BoxLines);
          return TRUE;
        default:
          TraceCommand(in, id);
          return TRUE;
      }
    }
  }
  return FALSE;
}

}  // namespace

HWND CreateTraceWindow(Interp& in) {
  if (!g_white) g_white = CreateSolidBrush(RGB(255, 255, 255));
  DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, 0, kWidth, kHeight,
                   std::string(kProductName) + " TRACE");
  for (const Control& k : kControls) t.Add(k.cls, k.id, k.x, k.y, k.cx, k.cy, k.style, 0, k.text);
  HWND d = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, TraceProc, 0);
  if (!d) return nullptr;
  g_laidOut = {};
  for (int id : {kTrSubst, kTrVariables, kTrFullView}) ShowWindow(GetDlgItem(d, id), SW_HIDE);
  // Placed 378 units left of the right edge of the screen, 58 units down.
  RECT r{0, 0, kWidth, 58};
  MapDialogRect(d, &r);
  RECT wr;
  GetWindowRect(d, &wr);
  const int x = std::max<int>(0, GetSystemMetrics(SM_CXSCREEN) - r.right - ((wr.right - wr.left) - r.right));
  SetWindowPos(d, HWND_TOP, x, r.bottom, 0, 0, SWP_NOSIZE);
  const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIdIcon));
  if (icon) {
    SendMessageA(d, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(d, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  ShowWindow(d, SW_SHOW);
  return d;
}

void DestroyTraceWindow(Interp& in) {
  if (HWND d = Win(in)) DestroyWindow(d);
}

void ShowTraceSpeed(Interp& in, int speed) {
  HWND d = Win(in);
  if (!d) return;
  CheckDlgButton(d, kTrSlow, speed == 1 ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(d, kTrHigh, speed == 2 ? BST_CHECKED : BST_UNCHECKED);
}

void TraceListAdd(Interp& in, const std::string& raw, const std::string& substituted) {
  HWND d = Win(in);
  if (!d) return;
  HWND a = GetDlgItem(d, kTrRaw), b = GetDlgItem(d, kTrSubst);
  // The lists keep 257 entries at most, the ten blank lines at the top not
  // counted; then they start again.
  if (in.trace.listed > 256) {
    for (HWND list : {a, b}) {
      SendMessageA(list, LB_RESETCONTENT, 0, 0);
      SetWindowLongPtrA(list, GWLP_USERDATA, 0);
    }
    in.trace.listed = 0;
  }
  for (HWND list : {a, b})
    if (SendMessageA(list, LB_GETCOUNT, 0, 0) == 0)
      for (int i = 0; i < 10; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
  Append(a, raw);
  Append(b, substituted);
  ++in.trace.listed;
  for (HWND list : {a, b}) ShowLast(list);
}

void TraceSetText(Interp& in, int id, const std::string& text) {
  if (HWND d = Win(in)) SetDlgItemTextA(d, id, text.c_str());
}

void TraceSetList(Interp& in, int id, const std::vector<std::string>& items) {
  HWND d = Win(in);
  if (!d) return;
  HWND list = GetDlgItem(d, id);
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  SetWindowLongPtrA(list, GWLP_USERDATA, 0);
  const std::string* longest = nullptr;
  for (const std::string& s : items) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    if (!longest || s.size() > longest->size()) longest = &s;
  }
  if (longest) Extent(list, *longest);
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void PumpTraceMessages() {
  Interp& in = K();
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      in.run.stopRequested = true;
      continue;
    }
    HWND tr = Win(in), im = ImmediateWindow(in);
    if (tr && IsDialogMessageA(tr, &m)) continue;
    if (im && IsDialogMessageA(im, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

}  // namespace kes
