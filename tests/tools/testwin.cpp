// A window for the automation tests: a menu, a check box, a list, a combo
// box, a tab control, an edit and a button. Every change is written at once
// to a state file, one "name=value" a line, so a test reads what the
// commands did.
//
//   testwin STATEFILE [OPTION...]
//
// Options: title:TEXT        window title (default "Kestrova Test Window")
//          late:MS           creates the window only after MS milliseconds
//          close:MS          closes the window after MS milliseconds
//          popup:MS:TITLE    after MS milliseconds shows a message box TITLE
//                            owned by the window
//          repeat:N          shows the box N times, MS after each answer
//          done:TEXT         the window's title once the last box is answered
//          button:TEXT       the push button's caption (default "Press me")
//          disabled          the window starts disabled
// The state is written when a control reports a change, and checked every
// 100 ms for the changes no control reports (BM_SETCHECK, LB_SETCURSEL...).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

enum : int {
  kCheck = 10, kList = 20, kTab = 30, kEdit = 40, kButton = 50, kCombo = 60,
  kMenuOpen = 101, kMenuSave = 102, kMenuExit = 103, kMenuWrap = 201, kMenuLow = 211, kMenuHigh = 212,
  kTimerClose = 1, kTimerPopup = 2, kTimerState = 3,
};

std::string g_state;
std::string g_title = "Kestrova Test Window", g_buttonText = "Press me";
std::string g_popupTitle, g_doneTitle, g_written;
UINT g_popupMs = 0, g_closeMs = 0;
int g_repeat = 1;
bool g_disabled = false;
HWND g_main, g_check, g_list, g_tab, g_edit, g_button, g_combo;
int g_lastMenu = 0, g_buttonClicks = 0, g_popups = 0;
std::string g_mouse = "none";
WNDPROC g_buttonProc;

std::string Text(HWND h) {
  char buf[4096];
  GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

std::string ListSelection(HWND list, UINT getSel, UINT getLen, UINT getText) {
  const LRESULT i = SendMessageA(list, getSel, 0, 0);
  if (i < 0) return "";
  std::string s(static_cast<size_t>(SendMessageA(list, getLen, i, 0)) + 1, '\0');
  SendMessageA(list, getText, i, reinterpret_cast<LPARAM>(s.data()));
  s.resize(strlen(s.c_str()));
  return s;
}

void WriteState() {
  if (!g_main) return;
  std::string s;
  s += "check=" + std::to_string(SendMessageA(g_check, BM_GETCHECK, 0, 0)) + "\r\n";
  s += "list=" + ListSelection(g_list, LB_GETCURSEL, LB_GETTEXTLEN, LB_GETTEXT) + "\r\n";
  s += "combo=" + ListSelection(g_combo, CB_GETCURSEL, CB_GETLBTEXTLEN, CB_GETLBTEXT) + "\r\n";
  s += "tab=" + std::to_string(SendMessageA(g_tab, TCM_GETCURSEL, 0, 0)) + "\r\n";
  s += "menu=" + std::to_string(g_lastMenu) + "\r\n";
  s += "wrap=" + std::to_string((GetMenuState(GetMenu(g_main), kMenuWrap, MF_BYCOMMAND) & MF_CHECKED) ? 1 : 0) + "\r\n";
  s += "button=" + std::to_string(g_buttonClicks) + "\r\n";
  s += "mouse=" + g_mouse + "\r\n";
  s += "edit=" + Text(g_edit) + "\r\n";
  s += "title=" + Text(g_main) + "\r\n";
  s += "popups=" + std::to_string(g_popups) + "\r\n";
  if (s == g_written) return;
  g_written = s;
  const std::string tmp = g_state + ".new";
  if (FILE* f = fopen(tmp.c_str(), "wb")) {
    fwrite(s.data(), 1, s.size(), f);
    fclose(f);
    MoveFileExA(tmp.c_str(), g_state.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}

// The button tells which mouse messages reach it, with their key flags.
LRESULT CALLBACK ButtonProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  const char* name = nullptr;
  switch (m) {
    case WM_LBUTTONDOWN: name = "left"; break;
    case WM_RBUTTONDOWN: name = "right"; break;
    case WM_MBUTTONDOWN: name = "middle"; break;
    case WM_LBUTTONDBLCLK: name = "double"; break;
  }
  if (name) {
    std::string flags;
    if (wp & MK_CONTROL) flags += "+ctrl";
    if (wp & MK_SHIFT) flags += "+shift";
    g_mouse = std::string(name) + flags;
    WriteState();
  }
  return CallWindowProcA(g_buttonProc, h, m, wp, lp);
}

HMENU BuildMenu() {
  HMENU bar = CreateMenu(), file = CreatePopupMenu(), opts = CreatePopupMenu(), level = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, kMenuOpen, "&Open\tCtrl+O");
  AppendMenuA(file, MF_STRING, kMenuSave, "&Save");
  AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(file, MF_STRING, kMenuExit, "E&xit");
  AppendMenuA(level, MF_STRING, kMenuLow, "&Low");
  AppendMenuA(level, MF_STRING, kMenuHigh, "&High");
  AppendMenuA(opts, MF_STRING, kMenuWrap, "&Wrap");
  AppendMenuA(opts, MF_POPUP, reinterpret_cast<UINT_PTR>(level), "&Level");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(opts), "&Options");
  return bar;
}

HWND Child(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id, HWND parent) {
  return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

void CreateControls(HWND w) {
  g_check = Child("Button", "Enable logging", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 10, 160, 20, kCheck, w);
  g_list = Child("ListBox", "", WS_BORDER | LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP, 10, 40, 160, 90, kList, w);
  for (const char* s : {"Alpha", "Beta", "Gamma Delta", "\xC9psilon", "Omega"})
    SendMessageA(g_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  g_combo = Child("ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 140, 160, 120, kCombo, w);
  for (const char* s : {"Red", "Green", "Blue"}) SendMessageA(g_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  g_tab = Child(WC_TABCONTROLA, "", WS_TABSTOP, 190, 10, 220, 60, kTab, w);
  const char* tabs[] = {"General", "Advanced", "Extra"};
  for (int i = 0; i < 3; ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(tabs[i]);
    SendMessageA(g_tab, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  g_edit = Child("Edit", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 190, 80, 220, 22, kEdit, w);
  g_button = Child("Button", g_buttonText.c_str(), BS_PUSHBUTTON | WS_TABSTOP, 190, 110, 100, 26, kButton, w);
  g_buttonProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(g_button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ButtonProc)));
}

LRESULT CALLBACK MainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_CREATE:
      g_main = w;
      CreateControls(w);
      if (g_closeMs) SetTimer(w, kTimerClose, g_closeMs, nullptr);
      if (g_popupMs) SetTimer(w, kTimerPopup, g_popupMs, nullptr);
      SetTimer(w, kTimerState, 100, nullptr);
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(wp), code = HIWORD(wp);
      if (lp == 0) {  // a menu command
        g_lastMenu = id;
        if (id == kMenuWrap) {
          HMENU menu = GetMenu(w);
          const bool on = GetMenuState(menu, kMenuWrap, MF_BYCOMMAND) & MF_CHECKED;
          CheckMenuItem(menu, kMenuWrap, MF_BYCOMMAND | (on ? MF_UNCHECKED : MF_CHECKED));
        }
        WriteState();
        if (id == kMenuExit) DestroyWindow(w);
        return 0;
      }
      if (id == kButton && code == BN_CLICKED) ++g_buttonClicks;
      if ((id == kEdit && code == EN_CHANGE) || code == BN_CLICKED || code == LBN_SELCHANGE) WriteState();
      return 0;
    }
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lp)->code == TCN_SELCHANGE) WriteState();
      return 0;
    case WM_TIMER:
      if (wp == kTimerClose) {
        DestroyWindow(w);
      } else if (wp == kTimerPopup) {
        KillTimer(w, kTimerPopup);
        ++g_popups;
        WriteState();
        MessageBoxA(w, "Something happened.", g_popupTitle.c_str(), MB_OK);
        if (g_popups < g_repeat) SetTimer(w, kTimerPopup, g_popupMs, nullptr);
        else if (!g_doneTitle.empty()) SetWindowTextA(w, g_doneTitle.c_str());
      } else {
        WriteState();
      }
      return 0;
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProcA(w, m, wp, lp);
      WriteState();
      return r;
    }
    case WM_DESTROY:
      WriteState();
      g_main = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(w, m, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  g_state = argv[1];
  UINT lateMs = 0;
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind("title:", 0) == 0) g_title = a.substr(6);
    else if (a.rfind("late:", 0) == 0) lateMs = static_cast<UINT>(atoi(a.c_str() + 5));
    else if (a.rfind("close:", 0) == 0) g_closeMs = static_cast<UINT>(atoi(a.c_str() + 6));
    else if (a.rfind("popup:", 0) == 0) {
      g_popupMs = static_cast<UINT>(atoi(a.c_str() + 6));
      const size_t c = a.find(':', 6);
      g_popupTitle = c == std::string::npos ? "Attention" : a.substr(c + 1);
    } else if (a.rfind("repeat:", 0) == 0) g_repeat = atoi(a.c_str() + 7);
    else if (a.rfind("done:", 0) == 0) g_doneTitle = a.substr(5);
    else if (a.rfind("button:", 0) == 0) g_buttonText = a.substr(7);
    else if (a == "disabled") g_disabled = true;
  }
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  if (lateMs) Sleep(lateMs);
  WNDCLASSA wc{};
  wc.lpfnWndProc = MainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "KestrovaTestWindow";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, wc.lpszClassName, g_title.c_str(), WS_OVERLAPPEDWINDOW, 40, 40, 440, 300, nullptr,
                           BuildMenu(), wc.hInstance, nullptr);
  if (g_disabled) EnableWindow(w, FALSE);
  ShowWindow(w, SW_SHOWNORMAL);
  UpdateWindow(w);
  WriteState();
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
