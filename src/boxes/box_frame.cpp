// The modal boxes: templates, fonts, the shared frame and the event handling
// of every box kind.
#include "boxes/box_frame.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "boxes/boxes.h"
#include "interp/version.h"

namespace kes {

// ---------------------------------------------------------------- templates

DialogTemplate::DialogTemplate(DWORD style, DWORD exStyle, int cx, int cy, std::string_view title, int fontSize,
                               std::string_view face)
    : cx_(cx), cy_(cy) {
  buf_.reserve(4096);
  auto dw = [&](DWORD v) {
    buf_.push_back(LOWORD(v));
    buf_.push_back(HIWORD(v));
  };
  dw(style | DS_SETFONT);
  dw(exStyle);
  buf_.push_back(0);  // item count
  buf_.push_back(0);
  buf_.push_back(0);
  buf_.push_back(static_cast<WORD>(cx));
  buf_.push_back(static_cast<WORD>(cy));
  buf_.push_back(0);  // no menu
  buf_.push_back(0);  // default class
  Str(title);
  buf_.push_back(static_cast<WORD>(fontSize));
  Str(face);
}

void DialogTemplate::Align() {
  if (buf_.size() % 2) buf_.push_back(0);
}

void DialogTemplate::Str(std::string_view s) {
  if (!s.empty()) {
    const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    const size_t at = buf_.size();
    buf_.resize(at + static_cast<size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), reinterpret_cast<wchar_t*>(&buf_[at]), n);
  }
  buf_.push_back(0);
}

void DialogTemplate::Item(WORD id, int x, int y, int cx, int cy, DWORD style, DWORD exStyle) {
  Align();
  buf_[4]++;  // cdit
  buf_.push_back(LOWORD(style | WS_CHILD | WS_VISIBLE));
  buf_.push_back(HIWORD(style | WS_CHILD | WS_VISIBLE));
  buf_.push_back(LOWORD(exStyle));
  buf_.push_back(HIWORD(exStyle));
  buf_.push_back(static_cast<WORD>(x));
  buf_.push_back(static_cast<WORD>(y));
  buf_.push_back(static_cast<WORD>(cx));
  buf_.push_back(static_cast<WORD>(cy));
  buf_.push_back(id);
}

void DialogTemplate::Add(WORD cls, WORD id, int x, int y, int cx, int cy, DWORD style, DWORD exStyle,
                         std::string_view text) {
  Item(id, x, y, cx, cy, style, exStyle);
  buf_.push_back(0xFFFF);
  buf_.push_back(cls);
  Str(text);
  buf_.push_back(0);  // no creation data
}

void DialogTemplate::AddNamed(std::string_view cls, WORD id, int x, int y, int cx, int cy, DWORD style,
                              DWORD exStyle, std::string_view text) {
  Item(id, x, y, cx, cy, style, exStyle);
  Str(cls);
  Str(text);
  buf_.push_back(0);
}

void DialogTemplate::AddIcon(WORD id, int x, int y) {
  Item(id, x, y, 0, 0, SS_ICON, 0);
  buf_.push_back(0xFFFF);
  buf_.push_back(kStatic);
  buf_.push_back(0xFFFF);
  buf_.push_back(kIdIcon);
  buf_.push_back(0);
}

// ---------------------------------------------------------------- fonts

HFONT MakeFont(int size, int face, bool bold) {
  static const char* const kFaces[] = {"MS Sans Serif", "Times New Roman", "Arial", "Courier New"};
  const char* name = "MS Sans Serif";
  if (face >= 1 && face <= 4) name = kFaces[face - 1];
  if (size <= 0) size = 8;
  HDC dc = GetDC(nullptr);
  const int h = -MulDiv(size, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(nullptr, dc);
  return CreateFontA(h, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, name);
}

namespace {

HWND g_modal = nullptr;     // the open modal box
bool g_modalRunning = false;
bool g_endPending = false;  // an end request that waits for the box to close
WNDPROC g_editProc = nullptr;

std::string Amp(std::string_view s) { return ReplaceAllCopy(s, "&", "&&"); }

std::string ItemText(HWND h) {
  const int n = GetWindowTextLengthA(h);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  GetWindowTextA(h, s.data(), n + 1);
  s.resize(static_cast<size_t>(n < 0 ? 0 : n));
  return s;
}

std::string DlgText(HWND d, int id) { return ItemText(GetDlgItem(d, id)); }

// The answer field classes: copies of the system edit class.
void RegisterFieldClass(const char* name) {
  WNDCLASSA probe;
  if (GetClassInfoA(GetModuleHandleA(nullptr), name, &probe)) return;
  WNDCLASSA wc{};
  if (!GetClassInfoA(nullptr, "EDIT", &wc)) return;
  g_editProc = wc.lpfnWndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  wc.lpszClassName = name;
  wc.style &= ~CS_GLOBALCLASS;
  RegisterClassA(&wc);
}

// Enter in the fields of a multi-field box walks to the next field; from the
// last one it presses OK.
LRESULT CALLBACK FieldProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  const int id = GetDlgCtrlID(h);
  if (id > kIdAskField) {
    switch (m) {
      case WM_GETDLGCODE: {
        LRESULT r = CallWindowProcA(g_editProc, h, m, w, l);
        const MSG* msg = reinterpret_cast<const MSG*>(l);
        if (msg && msg->wParam == VK_RETURN) r |= DLGC_WANTMESSAGE;
        return r;
      }
      case WM_KEYDOWN:
        if (w == VK_RETURN) return 0;
        break;
      case WM_CHAR:
        if (w == '\r' || w == '\n') return 0;
        break;
      case WM_KEYUP:
        if (w == VK_RETURN) {
          HWND parent = GetParent(h);
          HWND next = GetDlgItem(parent, id + 1);
          if (next) {
            SetFocus(next);
            SendMessageA(next, EM_SETSEL, 0, -1);
          } else {
            SendMessageA(parent, WM_COMMAND, MAKEWPARAM(kIdMultiOk, BN_CLICKED), 0);
          }
          return 0;
        }
        break;
    }
  }
  return CallWindowProcA(g_editProc, h, m, w, l);
}

void SubclassField(HWND f) {
  if (f && g_editProc) SetWindowLongPtrA(f, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldProc));
}

// ---------------------------------------------------------------- frame

DWORD BoxStyle() { return DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_3DLOOK; }

// Icon, "©" button and the message control.
void AddFrame(DialogTemplate& t, const Box& b, bool message, int msgX, int msgY, int msgW, int msgH) {
  t.AddIcon(kIdIcon, t.Width() - 28, t.Height() - 37);
  t.Add(DialogTemplate::kButton, kIdCopyright, 1, 2, 11, 10, BS_PUSHBUTTON, 0, "©");
  if (!message) return;
  if (b.kind == BoxKind::EchoError || b.kind == BoxKind::Show)
    t.Add(DialogTemplate::kEdit, kIdMessage, msgX, msgY, msgW, msgH,
          ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | (b.kind == BoxKind::EchoError ? ES_CENTER : 0),
          WS_EX_CLIENTEDGE, "");
  else
    t.Add(DialogTemplate::kStatic, kIdMessage, msgX, msgY, msgW, msgH,
          SS_NOPREFIX | SS_SUNKEN | (b.center ? SS_CENTER : SS_LEFT), 0, "");
}

// OK and Cancel as the flags want them, in a box of that width.
void AddOkCancel(DialogTemplate& t, const Interp& in, bool noCancel, int y, WORD okId = kIdOk) {
  const int w = t.Width();
  const int single = w == 338 ? 99 : (w - 139) / 2;
  const int left = w == 338 ? 27 : (w - 2 * 139 - 17) / 2;
  const int right = w == 338 ? 169 : left + 139 + 17;
  const bool cancel = !noCancel && in.sw.esc;
  if (!cancel) {
    if (in.sw.ok) t.Add(DialogTemplate::kButton, okId, single, y, 139, 15, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "&Ok");
    return;
  }
  if (in.sw.ok) {
    t.Add(DialogTemplate::kButton, okId, left, y, 139, 15, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "&Ok");
    t.Add(DialogTemplate::kButton, kIdCancel, right, y, 139, 15, BS_PUSHBUTTON | WS_TABSTOP, 0, "&Annuler");
  } else {
    t.Add(DialogTemplate::kButton, kIdCancel, single, y, 139, 15, BS_PUSHBUTTON | WS_TABSTOP, 0, "&Annuler");
  }
}

void AddFooter(DialogTemplate& t, WORD id, int x, int y, int w, int h) {
  t.Add(DialogTemplate::kStatic, id, x, y, w, h, SS_CENTER | SS_NOPREFIX, 0, "");
}

// Buttons of the button-label list (ids 9900 and up), five a row.
int AddLabelButtons(DialogTemplate& t, const Interp& in, int y) {
  const int n = std::min<int>(kMaxLabelButtons, static_cast<int>(in.boxes.buttonLabels.size()));
  if (n == 0) return y;
  for (int i = 0; i < n; ++i)
    t.Add(DialogTemplate::kButton, static_cast<WORD>(kIdLabelButtonBase + i), 15 + (i % 5) * 76, y + (i / 5) * 16, 70,
          14, BS_PUSHBUTTON | WS_TABSTOP, 0, Amp(in.boxes.buttonLabels[static_cast<size_t>(i)]));
  return y + ((n + 4) / 5) * 16 + 2;
}

void SetFont(HWND d, Box& b, int id, int size, int face, bool bold) {
  HWND c = GetDlgItem(d, id);
  if (!c) return;
  HFONT f = MakeFont(size, face, bold);
  b.fonts.push_back(f);
  SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
}

void SetText(HWND d, int id, std::string_view s) {
  const std::string t(s.substr(0, std::min(s.size(), kMaxMessage)));
  SetDlgItemTextA(d, id, t.c_str());
}

void ShowValidation(HWND d, int id) { SetDlgItemTextA(d, id, "Une réponse valide est obligatoire"); }

// ---------------------------------------------------------------- ASKCHECK paging

void SaveChecks(HWND d, Box& b) {
  for (int r = 0; r < b.rows; ++r) {
    const size_t i = static_cast<size_t>(b.page * kCheckPage + r);
    if (i < b.checks.size())
      b.checks[i] = IsDlgButtonChecked(d, kIdCheckBase + r) == BST_CHECKED ? 1 : 0;
  }
}

void ShowCheckPage(HWND d, Box& b) {
  for (int r = 0; r < b.rows; ++r) {
    const size_t i = static_cast<size_t>(b.page * kCheckPage + r);
    HWND c = GetDlgItem(d, kIdCheckBase + r);
    if (i < b.items.size()) {
      const std::string text = ZeroPad(static_cast<int64_t>(i) + 1, 2) + "  " + Amp(b.items[i]);
      SetWindowTextA(c, text.c_str());
      CheckDlgButton(d, kIdCheckBase + r, b.checks[i] ? BST_CHECKED : BST_UNCHECKED);
      ShowWindow(c, SW_SHOW);
    } else {
      ShowWindow(c, SW_HIDE);
    }
  }
  if (HWND sb = GetDlgItem(d, kIdCheckScroll)) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    si.nMin = 0;
    si.nMax = static_cast<int>((b.items.size() - 1) / kCheckPage);
    si.nPage = 1;
    si.nPos = b.page;
    SetScrollInfo(sb, SB_CTL, &si, TRUE);
  }
}

void StoreChecks(Box& b) {
  auto& list = b.in->vars.Sys(SysList::ASKCHECK);
  list.clear();
  for (char c : b.checks) list.push_back(c ? "1" : "0");
}

// ---------------------------------------------------------------- ASKFORMAT paging

void ShowListPage(HWND d, Box& b) {
  HWND lb = GetDlgItem(d, kIdList);
  SendMessageA(lb, WM_SETREDRAW, FALSE, 0);
  SendMessageA(lb, LB_RESETCONTENT, 0, 0);
  const bool paged = b.kind == BoxKind::AskFormat;
  const size_t from = paged ? static_cast<size_t>(b.listTop) : 0;
  const size_t to = paged ? std::min(b.listItems.size(), from + kListPage) : b.listItems.size();
  if (!paged) SendMessageA(lb, LB_INITSTORAGE, to, to * 32);
  for (size_t i = from; i < to; ++i) SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(b.listItems[i].c_str()));
  SendMessageA(lb, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(lb, nullptr, TRUE);
  if (paged) {
    const std::string counter = "line " + std::to_string(b.listItems.empty() ? 0 : from + 1) + " / " +
                                std::to_string(b.listItems.size());
    SetDlgItemTextA(d, kIdLineCounter, counter.c_str());
    EnableWindow(GetDlgItem(d, kIdPrev), from > 0);
    EnableWindow(GetDlgItem(d, kIdNext), to < b.listItems.size());
  }
}

// ---------------------------------------------------------------- ASKFILE / ASKDIR

bool IsFolder(const std::string& p) {
  const DWORD a = GetFileAttributesA(p.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

void FillFolder(HWND d, Box& b) {
  b.entries.clear();
  std::vector<std::string> dirs, files;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(Join(b.folder, "*.*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string n = fd.cFileName;
      if (n == "." || n == "..") continue;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) dirs.push_back(n);
      else if (b.kind == BoxKind::AskFile) files.push_back(n);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  auto less = [](const std::string& x, const std::string& y) { return Upper(x) < Upper(y); };
  std::sort(dirs.begin(), dirs.end(), less);
  std::sort(files.begin(), files.end(), less);
  const bool root = b.folder.size() <= 3;
  if (!root) b.entries.push_back("\\..");
  for (auto& s : dirs) b.entries.push_back("\\" + s);
  for (auto& s : files) b.entries.push_back(s);
  HWND lb = GetDlgItem(d, kIdValidLine);
  SendMessageA(lb, WM_SETREDRAW, FALSE, 0);
  SendMessageA(lb, LB_RESETCONTENT, 0, 0);
  for (auto& e : b.entries) {
    const std::string shown = e[0] == '\\' ? "[" + e.substr(1) + "]" : e;
    SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
  }
  SendMessageA(lb, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(lb, nullptr, TRUE);
  const std::string title =
      (b.kind == BoxKind::AskFile ? "Recherche d'un fichier dans " : "Choix d'un sous-répertoire dans ") + b.folder;
  SetDlgItemTextA(d, kIdMessage, title.c_str());
  SetDlgItemTextA(d, kIdFooterButtons, "");
  HWND cb = GetDlgItem(d, kIdDrive);
  const std::string drive = b.folder.substr(0, 1);
  SendMessageA(cb, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(drive.c_str()));
}

void OpenFolder(HWND d, Box& b, const std::string& name) {
  if (name == "..") {
    std::string f = b.folder;
    if (!f.empty() && f.back() == '\\') f.pop_back();
    const size_t p = f.rfind('\\');
    if (p == std::string::npos) return;
    b.folder = f.substr(0, p);
    if (b.folder.size() == 2) b.folder += "\\";
  } else {
    b.folder = Join(b.folder, name);
  }
  FillFolder(d, b);
}

// The path box's OK or double-click. True when the box ends.
bool PathChoose(HWND d, Box& b, bool ok) {
  const LRESULT sel = SendDlgItemMessageA(d, kIdValidLine, LB_GETCURSEL, 0, 0);
  if (sel >= 0 && static_cast<size_t>(sel) < b.entries.size()) {
    const std::string& e = b.entries[static_cast<size_t>(sel)];
    if (e[0] == '\\') {
      if (!ok || b.kind == BoxKind::AskFile) {
        OpenFolder(d, b, e.substr(1));
        return false;
      }
    } else if (b.kind == BoxKind::AskFile) {
      b.answer = Join(b.folder, e);
      return true;
    }
  }
  if (!ok) return false;
  if (b.kind == BoxKind::AskDir) {
    b.answer = b.folder;
    return true;
  }
  ShowValidation(d, kIdFooterButtons);
  return false;
}

// ---------------------------------------------------------------- events

void InitBox(HWND d, Box& b) {
  Interp& in = *b.in;
  b.hwnd = d;
  SetFont(d, b, kIdMessage, b.kind == BoxKind::EchoError ? 12 : 9, b.kind == BoxKind::EchoError ? 3 : 1, true);
  if (b.kind == BoxKind::Show) SetFont(d, b, kIdMessage, 9, 4, false);
  if (b.kind != BoxKind::AskFile && b.kind != BoxKind::AskDir) SetText(d, kIdMessage, b.message);
  SetText(d, b.kind == BoxKind::AskButton ? kIdFooterButtons : kIdFooter, in.boxes.label);
  if (b.kind == BoxKind::EchoError) b.red = CreateSolidBrush(RGB(255, 0, 0));
  HWND focus = GetDlgItem(d, kIdOk);
  switch (b.kind) {
    case BoxKind::Ask: {
      HWND f = GetDlgItem(d, kIdAskField);
      SubclassField(f);
      if (b.hasInitial) SetWindowTextA(f, b.initial.c_str());
      else if (b.items.size() == 1) SetWindowTextA(f, b.items[0].c_str());
      if (b.items.size() >= 2) {
        std::string line = "Réponses valides :";
        for (const auto& s : b.items) {
          line += " " + s + ",";
          if (line.size() > 4096) break;
        }
        if (!line.empty() && line.back() == ',') line.pop_back();
        SetDlgItemTextA(d, kIdValidLine, line.c_str());
      }
      focus = f;
      break;
    }
    case BoxKind::AskButton:
      focus = GetDlgItem(d, kIdButtonBase);
      if (!focus) focus = GetDlgItem(d, kIdCancel);
      break;
    case BoxKind::AskCheck:
      ShowCheckPage(d, b);
      if (!focus) focus = GetDlgItem(d, kIdCheckBase);
      break;
    case BoxKind::AskList:
    case BoxKind::AskFormat: {
      HWND lb = GetDlgItem(d, kIdList);
      if (b.kind == BoxKind::AskFormat) {
        // tab stops from the widest text of each column
        std::vector<int> widths;
        auto measure = [&](const std::string& s) {
          size_t col = 0, start = 0;
          for (;;) {
            const size_t p = s.find('\t', start);
            const size_t len = (p == std::string::npos ? s.size() : p) - start;
            if (widths.size() <= col) widths.push_back(0);
            widths[col] = std::max(widths[col], static_cast<int>(std::min<size_t>(len, 60)));
            if (p == std::string::npos) break;
            start = p + 1;
            ++col;
          }
        };
        std::string head;
        for (size_t i = 0; i < b.headings.size(); ++i) head += (i ? "\t" : "") + b.headings[i];
        measure(head);
        for (size_t i = 0; i < b.listItems.size() && i < 2000; ++i) measure(b.listItems[i]);
        std::vector<int> stops;
        int at = 0;
        for (size_t i = 0; i + 1 < widths.size() && stops.size() < 64; ++i) {
          at += widths[i] * 4 + 8;
          stops.push_back(at);
        }
        HWND hb = GetDlgItem(d, kIdListHeader);
        if (!stops.empty()) {
          SendMessageA(lb, LB_SETTABSTOPS, stops.size(), reinterpret_cast<LPARAM>(stops.data()));
          SendMessageA(hb, LB_SETTABSTOPS, stops.size(), reinterpret_cast<LPARAM>(stops.data()));
        }
        SendMessageA(hb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(head.c_str()));
      }
      ShowListPage(d, b);
      focus = lb;
      break;
    }
    case BoxKind::AskMulti: {
      for (int id = kIdAskField + 1;; ++id) {
        HWND f = GetDlgItem(d, id);
        if (!f) break;
        SubclassField(f);
      }
      focus = GetDlgItem(d, kIdAskField + 1);
      if (!focus) focus = GetDlgItem(d, kIdMultiOk);
      break;
    }
    case BoxKind::AskFile:
    case BoxKind::AskDir: {
      HWND cb = GetDlgItem(d, kIdDrive);
      const DWORD drives = GetLogicalDrives();
      for (char c = 'C'; c <= 'Z'; ++c)
        if (drives & (1u << (c - 'A'))) {
          const char s[2] = {c, 0};
          SendMessageA(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        }
      FillFolder(d, b);
      focus = GetDlgItem(d, kIdValidLine);
      break;
    }
    default:
      break;
  }
  SetWindowPos(d, in.sw.top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (in.waits.maxWait >= 1 && in.waits.maxWait <= 599)
    SetTimer(d, kMaxWaitTimer, static_cast<UINT>(in.waits.maxWait) * 1000u, nullptr);
  if (!focus) focus = GetDlgItem(d, kIdCancel);
  if (focus) {
    SetFocus(focus);
    if (b.kind == BoxKind::Ask && !b.password) SendMessageA(focus, EM_SETSEL, 0, -1);
    if (b.kind == BoxKind::AskMulti) SendMessageA(focus, EM_SETSEL, 0, -1);
  }
}

void End(HWND d, Box& b, std::string answer) {
  b.answer = std::move(answer);
  EndDialog(d, 1);
}

bool AskAccepts(const Box& b, const std::string& text) {
  const Interp& in = *b.in;
  if (!in.sw.mandatory || b.hasInitial || b.items.size() < 2) return true;
  const std::string a = in.sw.nosensitive ? Upper(text) : text;
  for (const auto& s : b.items) {
    const std::string v = in.sw.nosensitive ? Upper(RTrim(s)) : RTrim(s);
    if (v == a) return true;
  }
  return false;
}

void OnOk(HWND d, Box& b) {
  switch (b.kind) {
    case BoxKind::Echo:
    case BoxKind::EchoError:
    case BoxKind::Show:
      End(d, b, "");
      return;
    case BoxKind::AskOk:
      End(d, b, "OK");
      return;
    case BoxKind::Ask: {
      const std::string text = DlgText(d, kIdAskField);
      if (AskAccepts(b, text)) {
        End(d, b, text);
        return;
      }
      ShowValidation(d, kIdValidation);
      HWND f = GetDlgItem(d, kIdAskField);
      SetFocus(f);
      SendMessageA(f, EM_SETSEL, 0, -1);
      return;
    }
    case BoxKind::AskCheck:
      SaveChecks(d, b);
      StoreChecks(b);
      End(d, b, "OK");
      return;
    case BoxKind::AskList:
    case BoxKind::AskFormat: {
      const LRESULT sel = SendDlgItemMessageA(d, kIdList, LB_GETCURSEL, 0, 0);
      const size_t i = static_cast<size_t>(sel) + (b.kind == BoxKind::AskFormat ? static_cast<size_t>(b.listTop) : 0);
      if (sel >= 0 && i < b.items.size() - (b.kind == BoxKind::AskFormat ? 1 : 0)) {
        End(d, b, b.items[b.kind == BoxKind::AskFormat ? i + 1 : i]);
        return;
      }
      ShowValidation(d, kIdValidation);
      return;
    }
    case BoxKind::AskMulti: {
      auto& list = b.in->vars.Sys(SysList::ASKMULTI);
      list.clear();
      for (size_t i = 0; i < b.items.size(); ++i) {
        HWND f = GetDlgItem(d, kIdAskField + 1 + static_cast<int>(i));
        list.push_back(f ? ItemText(f) : std::string());
      }
      End(d, b, "OK");
      return;
    }
    case BoxKind::AskFile:
    case BoxKind::AskDir:
      if (PathChoose(d, b, true)) End(d, b, b.answer);
      return;
    default:
      End(d, b, "");
  }
}

INT_PTR CALLBACK BoxProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  Box* b = reinterpret_cast<Box*>(GetWindowLongPtrA(d, DWLP_USER));
  switch (m) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(d, DWLP_USER, l);
      b = reinterpret_cast<Box*>(l);
      if (b->kind != BoxKind::About) g_modal = d;
      InitBox(d, *b);
      return FALSE;
    case WM_TIMER:
      if (w == kMaxWaitTimer && b) {
        KillTimer(d, kMaxWaitTimer);
        End(d, *b, EscAnswer());
      }
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: {
      if (!b) break;
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(l));
      HDC dc = reinterpret_cast<HDC>(w);
      if (id == kIdMessage && b->kind == BoxKind::EchoError && b->red) {
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 0, 0));
        return reinterpret_cast<INT_PTR>(b->red);
      }
      if (id == kIdValidation || (id == kIdFooterButtons && (b->kind == BoxKind::AskFile || b->kind == BoxKind::AskDir))) {
        SetTextColor(dc, RGB(255, 0, 0));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    }
    case WM_DROPFILES: {
      HDROP drop = reinterpret_cast<HDROP>(w);
      char path[MAX_PATH * 2] = {};
      if (b && DragQueryFileA(drop, 0, path, sizeof path)) {
        POINT pt{};
        DragQueryPoint(drop, &pt);
        HWND f = GetDlgItem(d, kIdAskField);
        if (!f) {
          HWND at = ChildWindowFromPoint(d, pt);
          if (at && GetDlgCtrlID(at) > kIdAskField) f = at;
        }
        if (f) {
          POINT cp = pt;
          MapWindowPoints(d, f, &cp, 1);
          LRESULT pos = SendMessageA(f, EM_CHARFROMPOS, 0, MAKELPARAM(cp.x < 0 ? 0 : cp.x, cp.y < 0 ? 0 : cp.y));
          const int ch = LOWORD(pos);
          if (cp.x < 0 || cp.y < 0) SendMessageA(f, EM_SETSEL, GetWindowTextLengthA(f), GetWindowTextLengthA(f));
          else SendMessageA(f, EM_SETSEL, ch, ch);
          SendMessageA(f, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(path));
          SetFocus(f);
        }
      }
      DragFinish(drop);
      return TRUE;
    }
    case WM_VSCROLL:
      if (b && b->kind == BoxKind::AskCheck && reinterpret_cast<HWND>(l) == GetDlgItem(d, kIdCheckScroll)) {
        const int pages = static_cast<int>((b->items.size() + kCheckPage - 1) / kCheckPage);
        int p = b->page;
        switch (LOWORD(w)) {
          case SB_LINEDOWN: case SB_PAGEDOWN: ++p; break;
          case SB_LINEUP: case SB_PAGEUP: --p; break;
          case SB_TOP: p = 0; break;
          case SB_BOTTOM: p = pages - 1; break;
          case SB_THUMBPOSITION: case SB_THUMBTRACK: p = HIWORD(w); break;
          default: return TRUE;
        }
        p = std::clamp(p, 0, std::max(0, pages - 1));
        if (p != b->page) {
          SaveChecks(d, *b);
          b->page = p;
          ShowCheckPage(d, *b);
        }
        return TRUE;
      }
      break;
    case WM_COMMAND: {
      if (!b) break;
      const int id = LOWORD(w);
      const int code = HIWORD(w);
      if (b->kind == BoxKind::About) {
        if (id == kIdCancel || id == kIdOk) EndDialog(d, 1);
        return TRUE;
      }
      if (id == kIdCancel) {
        End(d, *b, EscAnswer());
      } else if (id == kIdCopyright) {
        AboutBox(*b->in, d);
      } else if (id == kIdOk || id == kIdMultiOk) {
        if (b->kind == BoxKind::AskMulti) {
          if (id == kIdMultiOk) OnOk(d, *b);
        } else if (GetDlgItem(d, kIdOk)) {
          OnOk(d, *b);
        }
      } else if (b->kind == BoxKind::AskButton && id >= kIdButtonBase && id < kIdButtonBase + kMaxButtons) {
        const size_t i = static_cast<size_t>(id - kIdButtonBase);
        if (i < b->items.size()) End(d, *b, b->items[i]);
      } else if (id >= kIdLabelButtonBase && id < kIdLabelButtonBase + kMaxLabelButtons) {
        const size_t i = static_cast<size_t>(id - kIdLabelButtonBase);
        if (i < b->in->boxes.buttonLabels.size()) {
          if (b->kind == BoxKind::AskCheck) {
            SaveChecks(d, *b);
            StoreChecks(*b);
          }
          End(d, *b, b->in->boxes.buttonLabels[i]);
        }
      } else if (id == kIdList && code == LBN_DBLCLK) {
        OnOk(d, *b);
      } else if (id == kIdList && code == LBN_SELCHANGE) {
        SetDlgItemTextA(d, kIdValidation, "");
      } else if (id == kIdValidLine && code == LBN_DBLCLK && (b->kind == BoxKind::AskFile || b->kind == BoxKind::AskDir)) {
        if (PathChoose(d, *b, false)) End(d, *b, b->answer);
      } else if ((id == kIdPrev || id == kIdNext) && b->kind == BoxKind::AskFormat) {
        const int total = static_cast<int>(b->listItems.size());
        int top = b->listTop + (id == kIdNext ? kListPage : -kListPage);
        top = std::clamp(top, 0, std::max(0, total - 1));
        if (top != b->listTop && top < total) {
          b->listTop = top;
          ShowListPage(d, *b);
        }
      } else if (id == kIdDrive && code == CBN_SELCHANGE) {
        char s[8] = {};
        const LRESULT sel = SendDlgItemMessageA(d, kIdDrive, CB_GETCURSEL, 0, 0);
        if (sel >= 0 && SendDlgItemMessageA(d, kIdDrive, CB_GETLBTEXTLEN, sel, 0) < 4) {
          SendDlgItemMessageA(d, kIdDrive, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(s));
          b->folder = std::string(s) + ":\\";
          FillFolder(d, *b);
        }
      }
      return TRUE;
    }
    case WM_DESTROY:
      if (b) {
        for (HFONT f : b->fonts) DeleteObject(f);
        b->fonts.clear();
        if (b->red) DeleteObject(b->red);
        b->red = nullptr;
        if (g_modal == d) g_modal = nullptr;
      }
      break;
  }
  return FALSE;
}

std::string Run(Box& b, const DialogTemplate& t, HWND owner) {
  const INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), owner, BoxProc,
                                            reinterpret_cast<LPARAM>(&b));
  if (r == -1 || r == 0) b.answer = EscAnswer();
  return b.answer;
}

}  // namespace

bool ModalBoxOpen() { return g_modalRunning; }

const char* AnswerFieldClass(int id) {
  const char* name = id >= kIdAskField ? "ASK" : "IMM";
  RegisterFieldClass(name);
  return name;
}

std::string RunBox(Box& b, const DialogTemplate& t) {
  if (g_modalRunning) return EscAnswer();
  g_modalRunning = true;
  std::string a = Run(b, t, MainWindow());
  g_modalRunning = false;
  g_modal = nullptr;
  if (g_endPending) {
    g_endPending = false;
    EndRequest(*b.in);
  }
  return a;
}

void DeferEndRequest() { g_endPending = true; }

// ---------------------------------------------------------------- box kinds

std::string MessageBoxKind(Interp& in, BoxKind kind, std::string_view message, const std::vector<std::string>& items,
                           bool hasInitial, std::string_view initial) {
  Box b;
  b.in = &in;
  b.kind = kind;
  b.message.assign(message);
  b.center = in.sw.center || kind == BoxKind::EchoError;
  if (kind == BoxKind::Ask) {
    if (!b.message.empty() && b.message[0] == '#') {
      b.message.erase(0, 1);
      b.password = true;
    }
    b.items = items;
    b.hasInitial = hasInitial;
    b.initial.assign(initial);
  }
  DialogTemplate t(BoxStyle(), WS_EX_ACCEPTFILES, 338, 177, "Message Kestrova");
  if (kind == BoxKind::EchoError) AddFrame(t, b, true, 15, 6, 305, 109);
  else if (kind == BoxKind::Ask) AddFrame(t, b, true, 15, 4, 305, 55);
  else AddFrame(t, b, true, 15, 4, 305, 110);
  if (kind == BoxKind::Ask) {
    RegisterFieldClass("ASK");
    t.AddNamed("ASK", kIdAskField, 16, 73, 303, 13, ES_AUTOHSCROLL | WS_TABSTOP | (b.password ? ES_PASSWORD : 0),
               WS_EX_CLIENTEDGE, "");
    if (b.items.size() >= 2) {
      t.Add(DialogTemplate::kStatic, kIdValidLine, 15, 92, 305, 15, SS_CENTER | SS_ENDELLIPSIS | SS_NOPREFIX, 0, "");
      t.Add(DialogTemplate::kStatic, kIdValidation, 27, 108, 280, 12, SS_CENTER | SS_NOPREFIX, 0, "");
    }
  }
  AddOkCancel(t, in, kind == BoxKind::Echo, 121);
  AddFooter(t, kIdFooter, 48, 143, 230, 18);
  return RunBox(b, t);
}

std::string ShowTextBox(Interp& in, std::string_view text) {
  Box b;
  b.in = &in;
  b.kind = BoxKind::Show;
  b.message.assign(text);
  DialogTemplate t(BoxStyle(), WS_EX_ACCEPTFILES, 338, 177, "Message Kestrova");
  AddFrame(t, b, true, 15, 6, 305, 109);
  t.Add(DialogTemplate::kButton, kIdOk, 99, 121, 139, 15, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "&Ok");
  AddFooter(t, kIdFooter, 48, 143, 230, 18);
  return RunBox(b, t);
}

std::string AskButtonBox(Interp& in, std::string_view message) {
  Box b;
  b.in = &in;
  b.kind = BoxKind::AskButton;
  b.message.assign(message);
  b.center = in.sw.center;
  const auto& all = in.vars.Sys(SysList::ANSWER);
  b.items.assign(all.begin(), all.begin() + std::min<size_t>(all.size(), kMaxButtons));
  DialogTemplate t(BoxStyle(), WS_EX_ACCEPTFILES, 338, 239, "Message Kestrova");
  AddFrame(t, b, true, 15, 4, 305, 27);
  const int n = static_cast<int>(b.items.size());
  const int half = (n - 1) / 2;
  int x = n <= 8 ? 100 : 25, row = 0;
  for (int i = 0; i < n; ++i) {
    t.Add(DialogTemplate::kButton, static_cast<WORD>(kIdButtonBase + i), x, 50 + 15 * row, 139, 14,
          BS_PUSHBUTTON | WS_TABSTOP, 0, Amp(b.items[static_cast<size_t>(i)]));
    ++row;
    if (n > 8 && i == half) {
      x = 162;
      row = 0;
    }
  }
  if (in.sw.esc)
    t.Add(DialogTemplate::kButton, kIdCancel, 100, 183, 139, 15, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "&Annuler");
  AddFooter(t, kIdFooterButtons, 48, 204, 238, 18);
  return RunBox(b, t);
}

std::string AskCheckBox(Interp& in, std::string_view message) {
  Box b;
  b.in = &in;
  b.kind = BoxKind::AskCheck;
  b.message.assign(message);
  b.center = in.sw.center;
  b.items = in.vars.Sys(SysList::ANSWER);
  const auto& prev = in.vars.Sys(SysList::ASKCHECK);
  b.checks.resize(b.items.size());
  for (size_t i = 0; i < b.items.size() && i < prev.size(); ++i) b.checks[i] = prev[i] == "1" ? 1 : 0;
  b.rows = std::min<int>(kCheckPage, static_cast<int>(b.items.size()));
  const int rows = std::max(1, b.rows);
  int y = 36 + 12 * rows + 4;
  y += 0;
  // the height is known only after the buttons are counted
  const int nl = std::min<int>(kMaxLabelButtons, static_cast<int>(in.boxes.buttonLabels.size()));
  const int labelRows = (nl + 4) / 5;
  const int height = y + (nl ? labelRows * 16 + 2 : 0) + 15 + 6 + 24 + 10;
  DialogTemplate t(BoxStyle(), WS_EX_ACCEPTFILES, 405, height, "Message Kestrova");
  AddFrame(t, b, true, 15, 4, 375, 27);
  for (int r = 0; r < b.rows; ++r)
    t.Add(DialogTemplate::kButton, static_cast<WORD>(kIdCheckBase + r), 15, 36 + 12 * r, 350, 11,
          BS_AUTOCHECKBOX | WS_TABSTOP, 0, "");
  if (b.items.size() > static_cast<size_t>(kCheckPage))
    t.Add(DialogTemplate::kScrollBar, kIdCheckScroll, 372, 36, 10, 12 * kCheckPage, SBS_VERT, 0, "");
  y = AddLabelButtons(t, in, y);
  AddOkCancel(t, in, false, y);
  y += 15 + 6;
  AddFooter(t, kIdFooter, 88, y, 230, 18);
  return RunBox(b, t);
}

std::string AskListBox(Interp& in, std::string_view message, bool format) {
  Box b;
  b.in = &in;
  b.kind = format ? BoxKind::AskFormat : BoxKind::AskList;
  b.message.assign(message);
  b.center = in.sw.center;
  b.items = in.vars.Sys(SysList::ANSWER);
  if (format) {
    if (!b.items.empty()) b.headings = SplitPlain(b.items[0], "|");
    for (size_t i = 1; i < b.items.size(); ++i) b.listItems.push_back(ReplaceAllCopy(b.items[i], "|", "\t"));
  } else {
    b.listItems = b.items;
  }
  int y = 36;
  const int nl = std::min<int>(kMaxLabelButtons, static_cast<int>(in.boxes.buttonLabels.size()));
  const int height = 36 + (format ? 11 : 0) + 140 + (format ? 16 : 0) + 14 + (nl ? ((nl + 4) / 5) * 16 + 2 : 0) +
                     21 + 24 + 10;
  DialogTemplate t(BoxStyle(), WS_EX_ACCEPTFILES, 405, height, "Message Kestrova");
  AddFrame(t, b, true, 15, 4, 375, 27);
  const DWORD lbStyle = LBS_NOTIFY | WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT | WS_TABSTOP;
  if (format) {
    t.Add(DialogTemplate::kListBox, kIdListHeader, 15, y, 375, 11, LBS_NOSEL | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT, 0,
          "");
    y += 11;
  }
  t.Add(DialogTemplate::kListBox, kIdList, 15, y, 375, 140, lbStyle | (format ? LBS_USETABSTOPS : 0), 0, "");
  y += 140 + 2;
  if (format) {
    t.Add(DialogTemplate::kButton, kIdPrev, 15, y, 30, 13, BS_PUSHBUTTON | WS_TABSTOP, 0, "<<");
    t.Add(DialogTemplate::kStatic, kIdLineCounter, 50, y + 2, 120, 10, SS_LEFT | SS_NOPREFIX, 0, "");
    t.Add(DialogTemplate::kButton, kIdNext, 175, y, 30, 13, BS_PUSHBUTTON | WS_TABSTOP, 0, ">>");
    y += 16;
  }
  t.Add(DialogTemplate::kStatic, kIdValidation, 27, y, 350, 10, SS_CENTER | SS_NOPREFIX, 0, "");
  y += 12;
  y = AddLabelButtons(t, in, y);
  AddOkCancel(t, in, false, y);
  y += 21;
  AddFooter(t, kIdFooter, 88, y, 230, 18);
  return RunBox(b, t);
}

std::string AskMultiBox(Interp& in, std::string_view message) {
  Box b;
  b.in = &in;
  b.kind = BoxKind::AskMulti;
  b.message.assign(message);
  b.center = in.sw.center;
  b.items = in.vars.Sys(SysList::ANSWER);
  const int n = std::min<int>(kMaxMultiFields, static_cast<int>(b.items.size()));
  const int height = 36 + 15 * std::max(n, 1) + 6 + 21 + 24 + 10;
  DialogTemplate t(BoxStyle(), WS_EX_ACCEPTFILES, 405, height, "Message Kestrova");
  AddFrame(t, b, true, 15, 4, 375, 27);
  RegisterFieldClass("ASK");
  for (int i = 0; i < n; ++i) {
    const int y = 36 + 15 * i;
    t.Add(DialogTemplate::kStatic, static_cast<WORD>(kIdButtonBase + i), 15, y + 2, 150, 10,
          SS_RIGHT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, b.items[static_cast<size_t>(i)].substr(0, 255));
    t.AddNamed("ASK", static_cast<WORD>(kIdAskField + 1 + i), 170, y, 220, 13, ES_AUTOHSCROLL | WS_TABSTOP,
               WS_EX_CLIENTEDGE, "");
  }
  const int y = 36 + 15 * std::max(n, 1) + 6;
  AddOkCancel(t, in, false, y, kIdMultiOk);
  AddFooter(t, kIdFooter, 88, y + 21, 230, 18);
  return RunBox(b, t);
}

std::string AskPathBox(Interp& in, std::string_view start, bool file) {
  Box b;
  b.in = &in;
  b.kind = file ? BoxKind::AskFile : BoxKind::AskDir;
  b.center = in.sw.center;
  b.folder = Trim(start);
  while (b.folder.size() > 3 && b.folder.back() == '\\') b.folder.pop_back();
  if (b.folder.size() == 2 && b.folder[1] == ':') b.folder += "\\";
  if (b.folder.empty() || !IsFolder(b.folder)) {
    char cur[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cur);
    b.folder = cur;
  }
  DialogTemplate t(BoxStyle(), WS_EX_ACCEPTFILES, 405, 316, "Message Kestrova");
  AddFrame(t, b, true, 15, 4, 375, 27);
  t.Add(DialogTemplate::kComboBox, kIdDrive, 15, 36, 40, 150, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, "");
  t.Add(DialogTemplate::kListBox, kIdValidLine, 15, 52, 375, 190,
        LBS_NOTIFY | WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT | WS_TABSTOP, 0, "");
  t.Add(DialogTemplate::kStatic, kIdFooterButtons, 15, 246, 375, 10, SS_CENTER | SS_NOPREFIX, 0, "");
  const bool cancel = in.sw.esc;
  t.Add(DialogTemplate::kButton, kIdOk, 27, 260, 139, 15, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "&Ok");
  if (cancel) t.Add(DialogTemplate::kButton, kIdCancel, 202, 260, 139, 15, BS_PUSHBUTTON | WS_TABSTOP, 0, "&Annuler");
  AddFooter(t, kIdFooter, 88, 282, 230, 18);
  return RunBox(b, t);
}

void AboutBox(Interp& in, HWND owner) {
  static bool open = false;
  if (open) return;
  open = true;
  Box b;
  b.in = &in;
  b.kind = BoxKind::About;
  const std::string name = in.run.ScriptName();
  DialogTemplate t(BoxStyle(), 0, 175, 196, "A propos de " + name);
  const std::vector<std::string> lines = {kProductName, std::string("Version ") + kProductVersion,
                                          std::string("Construit le ") + kBuildDate, kCopyright,
                                          "Interpréteur de scripts d'administration", "Script : " + name,
                                          in.mach.exePath};
  for (size_t i = 0; i < lines.size(); ++i)
    t.Add(DialogTemplate::kStatic, static_cast<WORD>(100 + i), 7, 8 + 20 * static_cast<int>(i), 161, 18,
          SS_CENTER | SS_NOPREFIX, 0, lines[i].substr(0, 260));
  t.AddIcon(kIdIcon, 144, 176);
  t.Add(DialogTemplate::kButton, kIdCancel, 52, 175, 73, 15, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "&Ok");
  struct Closer {
    static VOID CALLBACK Fire(HWND h, UINT, UINT_PTR id, DWORD) {
      KillTimer(h, id);
      PostMessageA(h, WM_COMMAND, kIdCancel, 0);
    }
  };
  // The about box closes by itself after a few seconds.
  struct Hook {
    static INT_PTR CALLBACK Proc(HWND d, UINT m, WPARAM w, LPARAM l) {
      if (m == WM_INITDIALOG) {
        SetTimer(d, 1, 6000, Closer::Fire);
        SetWindowLongPtrA(d, DWLP_USER, l);
        SetFocus(GetDlgItem(d, kIdCancel));
        return FALSE;
      }
      if (m == WM_COMMAND && (LOWORD(w) == kIdCancel || LOWORD(w) == kIdOk)) {
        EndDialog(d, 1);
        return TRUE;
      }
      return FALSE;
    }
  };
  DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), owner ? owner : MainWindow(), Hook::Proc,
                          reinterpret_cast<LPARAM>(&b));
  open = false;
}

}  // namespace kes
