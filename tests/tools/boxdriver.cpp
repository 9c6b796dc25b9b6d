// Test driver for the boxes: finds a window by its title, reports its
// controls (ids, classes, texts, positions in dialog units, styles), and
// types, clicks and presses keys in it.
//
//   boxdriver OUTFILE STEP...
//
// Steps:  wait:TITLE:SECONDS   wait for a visible window (default title
//                              "Message Kestrova"; a final "*" matches a
//                              prefix, a leading one a suffix); it becomes
//                              the target
//         waitfor:ID:TEXT      wait for a "Message Kestrova" box whose
//                              control ID shows TEXT
//         dump                 controls of the target
//         text:ID              one line: the text of control ID
//         list:ID              the items of a list box
//         tail:ID:N            the number of items of a list box and its last N
//         waituntil:ID:TEXT:S  wait (S seconds) until control ID of the target shows TEXT
//         click:ID             WM_COMMAND BN_CLICKED from control ID
//         type:ID:TEXT         sets the text of an edit
//         chars:ID:TEXT        posts the characters one by one
//         key:ID:ENTER|ESC|UP|DOWN  posts key down and key up to control ID (0: the box)
//         find:ID:TEXT         the items of a list box that hold TEXT
//         checked:ID           whether a check box or radio button is checked
//         check:ID             checks a check box
//         select:ID:N          selects row N of a list box
//         dblclick:ID          list box double click notification
//         scroll:ID            pages a scroll bar down
//         gone:SECONDS         waits for the target to close
//         absent:TITLE:SECONDS waits until no visible window has that title
//         sleep:MS
//         shot:FILE            saves the target's screen image as a BMP
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

FILE* g_out = nullptr;
HWND g_box = nullptr;
double g_ux = 1, g_uy = 1;  // pixels per dialog unit

std::vector<std::string> Split(const std::string& s, char c, int max) {
  std::vector<std::string> r;
  size_t start = 0;
  while ((int)r.size() < max - 1) {
    size_t p = s.find(c, start);
    if (p == std::string::npos) break;
    r.push_back(s.substr(start, p - start));
    start = p + 1;
  }
  r.push_back(s.substr(start));
  return r;
}

std::string Text(HWND h) {
  char cls[32] = {};
  GetClassNameA(h, cls, sizeof cls);
  if (!lstrcmpiA(cls, "Static") && (GetWindowLongA(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) return "<icon>";
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 3000, &n)) return "<timeout>";
  std::wstring w(n + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(h, WM_GETTEXT, n + 1, (LPARAM)w.data(), SMTO_ABORTIFHUNG, 3000, &got);
  w.resize(got);
  std::string s(w.size() * 4 + 1, '\0');
  s.resize(WideCharToMultiByte(CP_UTF8, 0, w.c_str(), (int)w.size(), s.data(), (int)s.size(), nullptr, nullptr));
  // long runs of one character are shown as {N*c}
  std::string packed;
  for (size_t i = 0; i < s.size();) {
    size_t j = i;
    while (j < s.size() && s[j] == s[i]) ++j;
    size_t k = i;  // one UTF-8 sequence repeated
    const size_t clen = ((unsigned char)s[i] >= 0xE0) ? 3 : ((unsigned char)s[i] >= 0xC0) ? 2 : 1;
    while (k + clen <= s.size() && s.compare(k, clen, s, i, clen) == 0) k += clen;
    const size_t n = (k - i) / clen;
    if (n > 8) {
      packed += "{" + std::to_string(n) + "*" + s.substr(i, clen) + "}";
      i = k;
    } else {
      packed += s.substr(i, clen);
      i += clen;
    }
    (void)j;
  }
  s.swap(packed);
  std::string r;
  for (char c : s) {
    if (c == '\r') r += "\\r";
    else if (c == '\n') r += "\\n";
    else if (c == 27) r += "<ESC>";
    else r += c;
  }
  return r;
}

struct Found {
  std::string title;
  int id = 0;            // waitfor: control id
  std::string text;      // waitfor: its text (UTF-8)
  HWND hwnd = nullptr;
};

std::string Text(HWND h);

BOOL CALLBACK FindTop(HWND h, LPARAM l) {
  Found* f = (Found*)l;
  if (!IsWindowVisible(h)) return TRUE;
  char t[512] = {};
  GetWindowTextA(h, t, sizeof t);
  const std::string& want = f->title;
  const std::string have(t);
  bool match = want == have;
  if (!want.empty() && want.back() == '*') {
    match = have.rfind(want.substr(0, want.size() - 1), 0) == 0;
  } else if (!want.empty() && want[0] == '*') {
    const size_t n = want.size() - 1;
    match = have.size() >= n && have.compare(have.size() - n, n, want, 1, n) == 0;
  }
  if (match) {
    if (f->id && (!GetDlgItem(h, f->id) || Text(GetDlgItem(h, f->id)) != f->text)) return TRUE;
    f->hwnd = h;
    return FALSE;
  }
  return TRUE;
}

INT_PTR CALLBACK NoProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Pixels per dialog unit of a dialog in "MS Sans Serif" 8, measured on a
// dialog of our own.
void MeasureUnits() {
  struct {
    DLGTEMPLATE t;
    WORD menu, cls, title, size;
    wchar_t face[14];
  } tpl = {};
  tpl.t.style = WS_POPUP | DS_SETFONT;
  tpl.t.cx = 10;
  tpl.t.cy = 10;
  tpl.size = 8;
  wcscpy(tpl.face, L"MS Sans Serif");
  HWND d = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tpl.t, nullptr, NoProc, 0);
  if (!d) return;
  RECT r = {0, 0, 400, 800};
  MapDialogRect(d, &r);
  g_ux = r.right / 400.0;
  g_uy = r.bottom / 800.0;
  DestroyWindow(d);
}

int Ux(int px) { return (int)(px / g_ux + 0.5); }
int Uy(int px) { return (int)(px / g_uy + 0.5); }

HWND Item(int id) { return id == 0 ? g_box : GetDlgItem(g_box, id); }

BOOL CALLBACK DumpChild(HWND h, LPARAM) {
  if (GetParent(h) != g_box) return TRUE;
  char cls[64] = {};
  GetClassNameA(h, cls, sizeof cls);
  RECT r;
  GetWindowRect(h, &r);
  POINT p = {r.left, r.top};
  ScreenToClient(g_box, &p);
  const LONG style = GetWindowLongA(h, GWL_STYLE);
  std::string flags;
  if (!IsWindowVisible(h)) flags += " hidden";
  if (!IsWindowEnabled(h)) flags += " disabled";
  const std::string c = cls;
  if ((c == "Edit" || c == "EDIT" || c == "ASK") && (style & ES_PASSWORD)) flags += " password";
  if (c == "Button" || c == "BUTTON") {
    const LONG t = style & 0xF;
    if (t == BS_DEFPUSHBUTTON) flags += " default";
    if (t == BS_AUTOCHECKBOX || t == BS_CHECKBOX || t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON) {
      DWORD_PTR st = 0;
      SendMessageTimeoutA(h, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &st);
      flags += st == BST_CHECKED ? " checked" : " unchecked";
    }
  }
  if (!lstrcmpiA(cls, "Static") && (style & SS_TYPEMASK) == SS_CENTER) flags += " center";
  if ((c == "Edit" || c == "ASK") && (style & ES_CENTER)) flags += " center";
  if ((c == "Edit" || c == "ASK") && (style & ES_MULTILINE)) flags += " multiline";
  if ((c == "Edit" || c == "ASK") && (style & WS_VSCROLL)) flags += " vscroll";
  std::fprintf(g_out, "  id=%d class=%s at=%d,%d size=%d,%d%s text=\"%s\"\n", GetDlgCtrlID(h), cls, Ux(p.x), Uy(p.y),
               Ux(r.right - r.left), Uy(r.bottom - r.top), flags.c_str(), Text(h).c_str());
  return TRUE;
}

void Dump() {
  if (!g_box) {
    std::fprintf(g_out, "no window\n");
    return;
  }
  RECT c;
  GetClientRect(g_box, &c);
  const LONG ex = GetWindowLongA(g_box, GWL_EXSTYLE);
  std::fprintf(g_out, "window \"%s\" client=%d,%d%s%s\n", Text(g_box).c_str(), Ux(c.right), Uy(c.bottom),
               (ex & WS_EX_TOPMOST) ? " topmost" : "", (ex & WS_EX_ACCEPTFILES) ? " acceptfiles" : "");
  EnumChildWindows(g_box, DumpChild, 0);
}

// Item i of a list box in UTF-8, tabs shown as "|".
std::string ListText(HWND h, DWORD_PTR i) {
  wchar_t wbuf[1024] = {};
  DWORD_PTR len = 0;
  SendMessageTimeoutW(h, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 2000, &len);
  if (len < 1024) SendMessageTimeoutW(h, LB_GETTEXT, i, (LPARAM)wbuf, SMTO_ABORTIFHUNG, 2000, &len);
  char buf[4096] = {};
  WideCharToMultiByte(CP_UTF8, 0, wbuf, -1, buf, sizeof buf, nullptr, nullptr);
  std::string s = buf;
  for (auto& ch : s)
    if (ch == '\t') ch = '|';
  return s;
}

void List(int id) {
  HWND h = Item(id);
  DWORD_PTR n = 0;
  SendMessageTimeoutA(h, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &n);
  std::fprintf(g_out, "list %d: %d items\n", id, (int)n);
  for (DWORD_PTR i = 0; i < n && i < 40; ++i) std::fprintf(g_out, "  %s\n", ListText(h, i).c_str());
}

// The items of a list box that hold a text.
void Find(int id, const std::string& what) {
  HWND h = Item(id);
  DWORD_PTR count = 0;
  SendMessageTimeoutA(h, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
  std::fprintf(g_out, "find %d \"%s\":\n", id, what.c_str());
  for (int i = 0; i < (int)count; ++i) {
    const std::string t = ListText(h, i);
    if (t.find(what) != std::string::npos) std::fprintf(g_out, "  %s\n", t.c_str());
  }
}

// The number of items of a list box and its last N items.
void Tail(int id, int n) {
  HWND h = Item(id);
  DWORD_PTR count = 0;
  SendMessageTimeoutA(h, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
  std::fprintf(g_out, "list %d: %d items, last %d:\n", id, (int)count, n);
  for (int i = (int)count - n < 0 ? 0 : (int)count - n; i < (int)count; ++i)
    std::fprintf(g_out, "  %s\n", ListText(h, i).c_str());
}

void PostKey(HWND h, UINT vk) {
  const UINT sc = MapVirtualKeyA(vk, 0);
  PostMessageA(h, WM_KEYDOWN, vk, 1 | (sc << 16));
  if (vk == VK_RETURN) PostMessageA(h, WM_CHAR, '\r', 1 | (sc << 16));
  if (vk == VK_ESCAPE) PostMessageA(h, WM_CHAR, 27, 1 | (sc << 16));
  Sleep(50);
  PostMessageA(h, WM_KEYUP, vk, 1 | (sc << 16) | 0xC0000000u);
}

void Shot(const std::string& file) {
  RECT r;
  GetWindowRect(g_box, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = ((w * 3 + 3) / 4) * 4;
  BITMAPFILEHEADER fh = {};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
  fh.bfSize = fh.bfOffBits + stride * h;
  if (FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
    std::fwrite(bits, stride * h, 1, f);
    std::fclose(f);
  }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  g_out = std::fopen(argv[1], "ab");
  if (!g_out) return 2;
  MeasureUnits();
  int rc = 0;
  for (int i = 2; i < argc; ++i) {
    const std::vector<std::string> a = Split(argv[i], ':', 3);
    const std::string& op = a[0];
    const int id = a.size() > 1 ? atoi(a[1].c_str()) : 0;
    if (op == "wait" || op == "waitfor") {
      Found f;
      int secs = 20;
      if (op == "waitfor") {
        secs = 50;
        f.title = "Message Kestrova";
        f.id = id;
        f.text = a.size() > 2 ? a[2] : "";
      } else {
        f.title = a.size() > 1 && !a[1].empty() ? a[1] : "Message Kestrova";
        secs = a.size() > 2 ? atoi(a[2].c_str()) : 20;
      }
      for (int t = 0; t < secs * 20 && !f.hwnd; ++t) {
        EnumWindows(FindTop, (LPARAM)&f);
        if (!f.hwnd) Sleep(50);
      }
      g_box = f.hwnd;
      if (!g_box) {
        std::fprintf(g_out, "no window \"%s\"\n", f.title.c_str());
        rc = 1;
        break;
      }
      Sleep(300);  // let the box finish its start-up
    } else if (op == "dump") {
      Dump();
    } else if (op == "focus") {
      GUITHREADINFO gi = {};
      gi.cbSize = sizeof gi;
      GetGUIThreadInfo(GetWindowThreadProcessId(g_box, nullptr), &gi);
      std::fprintf(g_out, "focus %d\n", gi.hwndFocus ? GetDlgCtrlID(gi.hwndFocus) : -1);
    } else if (op == "text") {
      std::fprintf(g_out, "text %d=\"%s\"\n", id, Text(Item(id)).c_str());
    } else if (op == "list") {
      List(id);
    } else if (op == "checked") {
      DWORD_PTR st = 0;
      SendMessageTimeoutA(Item(id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &st);
      std::fprintf(g_out, "checked %d=%d\n", id, st == BST_CHECKED ? 1 : 0);
    } else if (op == "find") {
      Find(id, a.size() > 2 ? a[2] : "");
    } else if (op == "tail") {
      Tail(id, a.size() > 2 ? atoi(a[2].c_str()) : 3);
    } else if (op == "click") {
      PostMessageA(g_box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)Item(id));
    } else if (op == "type") {
      const std::string t = a.size() > 2 ? a[2] : "";
      DWORD_PTR r = 0;
      SendMessageTimeoutA(Item(id), WM_SETTEXT, 0, (LPARAM)t.c_str(), SMTO_ABORTIFHUNG, 2000, &r);
    } else if (op == "chars") {
      const std::string t = a.size() > 2 ? a[2] : "";
      for (unsigned char c : t) PostMessageA(Item(id), WM_CHAR, c, 1);
    } else if (op == "key") {
      const std::string k = a.size() > 2 ? a[2] : "";
      PostKey(Item(id), k == "ESC" ? VK_ESCAPE : k == "UP" ? VK_UP : k == "DOWN" ? VK_DOWN : VK_RETURN);
    } else if (op == "check") {
      DWORD_PTR r = 0;
      SendMessageTimeoutA(Item(id), BM_SETCHECK, BST_CHECKED, 0, SMTO_ABORTIFHUNG, 2000, &r);
    } else if (op == "select") {
      DWORD_PTR r = 0;
      SendMessageTimeoutA(Item(id), LB_SETCURSEL, a.size() > 2 ? atoi(a[2].c_str()) : 0, 0, SMTO_ABORTIFHUNG, 2000, &r);
      PostMessageA(g_box, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), (LPARAM)Item(id));
    } else if (op == "dblclick") {
      PostMessageA(g_box, WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), (LPARAM)Item(id));
    } else if (op == "scroll") {
      PostMessageA(g_box, WM_VSCROLL, SB_PAGEDOWN, (LPARAM)Item(id));
    } else if (op == "waituntil") {
      // the text and the seconds: "TEXT:S" (the text holds no ":")
      const std::vector<std::string> ts = Split(a.size() > 2 ? a[2] : "", ':', 2);
      const int secs = ts.size() > 1 ? atoi(ts[1].c_str()) : 10;
      int t = 0;
      while (t < secs * 20 && Text(Item(id)) != ts[0]) {
        Sleep(50);
        ++t;
      }
      std::fprintf(g_out, "text %d=\"%s\"\n", id, Text(Item(id)).c_str());
    } else if (op == "absent") {
      // no visible window of that title within the seconds given
      Found f;
      f.title = a.size() > 1 ? a[1] : "";
      const int secs = a.size() > 2 ? atoi(a[2].c_str()) : 10;
      for (int t = 0; t < secs * 20; ++t) {
        f.hwnd = nullptr;
        EnumWindows(FindTop, (LPARAM)&f);
        if (!f.hwnd) break;
        Sleep(50);
      }
      std::fprintf(g_out, f.hwnd ? "\"%s\" still there\n" : "no \"%s\" any more\n", f.title.c_str());
    } else if (op == "gone") {
      const int secs = id ? id : 10;
      int t = 0;
      for (; t < secs * 20 && IsWindow(g_box) && IsWindowVisible(g_box); ++t) Sleep(50);
      std::fprintf(g_out, IsWindow(g_box) && IsWindowVisible(g_box) ? "still open\n" : "closed\n");
    } else if (op == "sleep") {
      Sleep(id);
    } else if (op == "shot") {
      Shot(a.size() > 1 ? a[1] + (a.size() > 2 ? ":" + a[2] : "") : "shot.bmp");
    } else {
      std::fprintf(g_out, "unknown step %s\n", argv[i]);
    }
    std::fflush(g_out);
    Sleep(100);
  }
  std::fclose(g_out);
  return rc;
}
