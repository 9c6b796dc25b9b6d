// The choice window (CHOICE): the valid answers in a list beside the
// script, which reads the one selected through the CHOICE built-in.
#include <windows.h>

#include <algorithm>

#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"
#include "boxes/boxes.h"
#include "interp/dispatcher.h"

namespace kes {

namespace {

constexpr int kIdChoiceList = 10;  // the list filling the window

struct Choice {
  HWND hwnd = nullptr;
  HFONT font = nullptr;
} g_choice;

LRESULT CALLBACK ChoiceProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_SIZE) {
    if (HWND lb = GetDlgItem(h, kIdChoiceList)) MoveWindow(lb, 0, 0, LOWORD(l), HIWORD(l), TRUE);
    return 0;
  }
  if (m == WM_CLOSE) {
    DestroyWindow(h);
    return 0;
  }
  if (m == WM_DESTROY && h == g_choice.hwnd) g_choice.hwnd = nullptr;
  return DefWindowProcA(h, m, w, l);
}

}  // namespace

int ChoiceCommand(Interp& in, const std::vector<std::string>& items) {
  if (!items.empty() && Upper(items[0]) == "OFF") {
    if (g_choice.hwnd) DestroyWindow(g_choice.hwnd);
    g_choice.hwnd = nullptr;
    return 0;
  }
  if (items.size() < 2 || !IsWholeNumber(items[0]) || !IsWholeNumber(items[1])) return kErrUsage;
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
                         0, 0, r.right, r.bottom, g_choice.hwnd, reinterpret_cast<HMENU>(kIdChoiceList), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(lb, WM_SETFONT, reinterpret_cast<WPARAM>(g_choice.font), FALSE);
  } else {
    lb = GetDlgItem(g_choice.hwnd, kIdChoiceList);
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
  HWND lb = GetDlgItem(g_choice.hwnd, kIdChoiceList);
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
  HWND lb = GetDlgItem(g_choice.hwnd, kIdChoiceList);
  const std::string v(value);
  const LRESULT i = SendMessageA(lb, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(v.c_str()));
  SendMessageA(lb, LB_SETCURSEL, i >= 0 ? i : static_cast<WPARAM>(-1), 0);
}

}  // namespace kes
