// The browser of the trace window: one list that shows the windows on
// screen (titles), the objects or the menu items of one of them, or the box
// lines waiting in the runner. The selected entry's command line (the wait
// that finds the window or the object, the menu path) can be copied.
#include <algorithm>

#include "boxes/box_frame.h"
#include "interp/version.h"
#include "trace/trace_text.h"
#include "trace/trace_window.h"

namespace kes {

namespace {

enum BrowserId : WORD {
  kBrList = 10,
  kBrLine = 11,
  kBrHeading = 12,
  kBrRefresh = 20,
  kBrCopy = 21,
  kBrObjects = 22,
  kBrMenus = 23,
  kBrBack = 24,
  kBrClose = 2,
};

struct Entry {
  std::string shown;    // the list text, columns apart by tabs
  std::string command;  // what "Copy" puts on the clipboard
  HWND window = nullptr;
};

// The state of the open browser (dialog procedure plumbing).
struct Browser {
  Interp* in = nullptr;
  BrowserKind kind = BrowserKind::Titles;
  HWND target = nullptr;  // the window whose objects or menu are shown
  std::vector<Entry> entries;
};

std::string WindowText(HWND h) {
  char buf[512] = {};
  GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

std::string ClassOf(HWND h) {
  char buf[256] = {};
  GetClassNameA(h, buf, sizeof buf);
  return buf;
}

std::string Hex(uintptr_t v) {
  char buf[16];
  wsprintfA(buf, "%08lX", static_cast<unsigned long>(v));
  return buf;
}

BOOL CALLBACK AddTopWindow(HWND h, LPARAM l) {
  auto& b = *reinterpret_cast<Browser*>(l);
  if (!IsWindowVisible(h)) return TRUE;
  const std::string title = WindowText(h);
  if (title.empty()) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  b.entries.push_back({title + "\t" + ClassOf(h) + "\t" + Hex(reinterpret_cast<uintptr_t>(h)) + "\t" +
                           IntText(static_cast<int64_t>(pid)),
                       "WAITPARENT " + title, h});
  return TRUE;
}

BOOL CALLBACK AddObject(HWND h, LPARAM l) {
  auto& b = *reinterpret_cast<Browser*>(l);
  const std::string cls = ClassOf(h);
  const int id = GetDlgCtrlID(h);
  std::string text = WindowText(h);
  if (text.size() > 120) text.resize(120);
  b.entries.push_back({cls + "\t" + IntText(id) + "\t" + text + (IsWindowVisible(h) ? "" : "\t(hidden)"),
                       "WAITOBJECT " + cls + "," + IntText(id), h});
  return TRUE;
}

void AddMenu(Browser& b, HMENU menu, const std::string& path, int depth) {
  const int n = GetMenuItemCount(menu);
  for (int i = 0; i < n && depth < 8; ++i) {
    char buf[256] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), buf, sizeof buf, MF_BYPOSITION);
    std::string name = buf;
    if (name.empty()) continue;  // separators
    const std::string full = path.empty() ? name : path + " > " + name;
    const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    HMENU sub = GetSubMenu(menu, i);
    std::string shown = std::string(static_cast<size_t>(depth) * 4, ' ') + name;
    if (!sub) shown += "\t" + IntText(static_cast<int>(GetMenuItemID(menu, i)));
    if (state & (MF_GRAYED | MF_DISABLED)) shown += "\t(disabled)";
    b.entries.push_back({shown, ReplaceAllCopy(full, "&", ""), b.target});
    if (sub) AddMenu(b, sub, full, depth + 1);
  }
}

void AddBoxLines(Browser& b, const std::string& what, std::string_view entry) {
  if (entry.empty()) return;
  const std::string line = MaskedLine(*b.in, entry.size() > 4 ? entry.substr(4) : std::string_view());
  b.entries.push_back({what + "\t" + std::string(entry.substr(0, 4)) + "\t" + line, line, nullptr});
}

const char* Heading(const Browser& b) {
  switch (b.kind) {
    case BrowserKind::Titles:
      return "Title\tClass\tHandle\tProcess";
    case BrowserKind::Objects:
      return b.target ? "Class\tId\tText" : "Objects: double-click a window\tClass\tHandle\tProcess";
    case BrowserKind::Menus:
      return b.target ? "Menu item\tId" : "Menus: double-click a window\tClass\tHandle\tProcess";
    case BrowserKind::BoxLines:
      return "Lines\tLine\tText";
  }
  return "";
}

void Fill(HWND d, Browser& b) {
  b.entries.clear();
  const bool ofWindow = b.target && IsWindow(b.target);
  if (b.kind == BrowserKind::BoxLines) {
    for (const std::string& e : b.in->run.pending) AddBoxLines(b, "Queued", e);
    for (const std::string& e : SplitPlain(b.in->run.boxBlock, "\xFF\xFE")) AddBoxLines(b, "Collected", e);
  } else if (b.kind == BrowserKind::Objects && ofWindow) {
    EnumChildWindows(b.target, AddObject, reinterpret_cast<LPARAM>(&b));
  } else if (b.kind == BrowserKind::Menus && ofWindow) {
    if (HMENU m = GetMenu(b.target)) AddMenu(b, m, "", 0);
    if (HMENU s = GetSystemMenu(b.target, FALSE)) {
      Browser sys;
      sys.in = b.in;
      sys.target = b.target;
      AddMenu(sys, s, "System", 1);
      b.entries.push_back({"System", "System", b.target});
      b.entries.insert(b.entries.end(), sys.entries.begin(), sys.entries.end());
    }
  } else {
    b.target = nullptr;
    EnumWindows(AddTopWindow, reinterpret_cast<LPARAM>(&b));
  }
  HWND list = GetDlgItem(d, kBrList);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const Entry& e : b.entries) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.shown.c_str()));
  if (b.entries.empty())
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(b.kind == BrowserKind::BoxLines ? "(none)" : "(empty)"));
  SetDlgItemTextA(d, kBrHeading, Heading(b));
  SetDlgItemTextA(d, kBrLine, ofWindow ? ("In " + WindowText(b.target) + " (" + ClassOf(b.target) + ")").c_str() : "");
  EnableWindow(GetDlgItem(d, kBrBack), b.target != nullptr);
}

int Selected(HWND d, const Browser& b) {
  const LRESULT i = SendDlgItemMessageA(d, kBrList, LB_GETCURSEL, 0, 0);
  return i == LB_ERR || static_cast<size_t>(i) >= b.entries.size() ? -1 : static_cast<int>(i);
}

void Copy(HWND d, const std::string& text) {
  if (!OpenClipboard(d)) return;
  EmptyClipboard();
  if (HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1)) {
    if (void* p = GlobalLock(g)) {
      CopyMemory(p, text.c_str(), text.size() + 1);
      GlobalUnlock(g);
      if (!SetClipboardData(CF_TEXT, g)) GlobalFree(g);
    } else {
      GlobalFree(g);
    }
  }
  CloseClipboard();
}

// Opens the objects or the menu of the selected window.
void Open(HWND d, Browser& b, BrowserKind kind) {
  const int i = Selected(d, b);
  if (i < 0 || !b.entries[static_cast<size_t>(i)].window) return;
  b.target = b.entries[static_cast<size_t>(i)].window;
  b.kind = kind;
  Fill(d, b);
}

INT_PTR CALLBACK BrowserProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  auto* b = reinterpret_cast<Browser*>(GetWindowLongPtrA(d, DWLP_USER));
  switch (m) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(d, DWLP_USER, l);
      b = reinterpret_cast<Browser*>(l);
      const int tabs[] = {150, 230, 270};
      SendDlgItemMessageA(d, kBrList, LB_SETTABSTOPS, 3, reinterpret_cast<LPARAM>(tabs));
      SendDlgItemMessageA(d, kBrHeading, EM_SETTABSTOPS, 3, reinterpret_cast<LPARAM>(tabs));
      Fill(d, *b);
      return TRUE;
    }
    case WM_COMMAND: {
      if (!b) return FALSE;
      const int id = LOWORD(w), code = HIWORD(w);
      if (id == kBrList && code == LBN_SELCHANGE) {
        const int i = Selected(d, *b);
        if (i >= 0) SetDlgItemTextA(d, kBrLine, b->entries[static_cast<size_t>(i)].command.c_str());
      } else if (id == kBrList && code == LBN_DBLCLK) {
        if (!b->target && (b->kind == BrowserKind::Objects || b->kind == BrowserKind::Menus)) Open(d, *b, b->kind);
        else if (b->kind == BrowserKind::Titles) Open(d, *b, BrowserKind::Objects);
      } else if (id == kBrRefresh) {
        Fill(d, *b);
      } else if (id == kBrCopy) {
        const int i = Selected(d, *b);
        if (i >= 0) Copy(d, b->entries[static_cast<size_t>(i)].command);
      } else if (id == kBrObjects || id == kBrMenus) {
        if (!b->target) Open(d, *b, id == kBrObjects ? BrowserKind::Objects : BrowserKind::Menus);
      } else if (id == kBrBack) {
        b->target = nullptr;
        if (b->kind != BrowserKind::BoxLines) Fill(d, *b);
      } else if (id == kBrClose) {
        EndDialog(d, 0);
      }
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace

void RunBrowser(Interp& in, HWND owner, BrowserKind kind) {
  static const char* const kTitles[] = {" - Windows titles", " - Objects", " - Menus", " - Ignore/Optional Box"};
  DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_3DLOOK, 0, 378, 200,
                   std::string(kProductName) + kTitles[static_cast<int>(kind)]);
  t.Add(DialogTemplate::kEdit, kBrHeading, 1, 1, 376, 10, ES_READONLY | ES_AUTOHSCROLL, 0, "");
  t.Add(DialogTemplate::kListBox, kBrList, 1, 12, 376, 158,
        LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | LBS_USETABSTOPS | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0, "");
  t.Add(DialogTemplate::kEdit, kBrLine, 1, 171, 376, 12, ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 0, "");
  const struct {
    WORD id;
    const char* text;
  } buttons[] = {{kBrRefresh, "Refresh"}, {kBrCopy, "Copy"},  {kBrObjects, "Objects"},
                 {kBrMenus, "Menus"},     {kBrBack, "Back"},  {kBrClose, "Close"}};
  int x = 1;
  for (const auto& bt : buttons) {
    t.Add(DialogTemplate::kButton, bt.id, x, 186, 60, 12, BS_PUSHBUTTON | WS_TABSTOP, 0, bt.text);
    x += 63;
  }
  Browser b;
  b.in = &in;
  b.kind = kind;
  DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), owner, BrowserProc, reinterpret_cast<LPARAM>(&b));
}

}  // namespace kes
