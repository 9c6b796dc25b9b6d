// The frame every modal box shares: templates, fonts, the frame's controls,
// and the modal loop with the one window procedure of the boxes.
#include "boxes/box_frame.h"

#include <shellapi.h>

#include <algorithm>

#include "boxes/box_kinds.h"
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

HWND g_modal = nullptr;  // the open modal box
bool g_modalRunning = false;
bool g_endPending = false;  // an end request that waits for the box to close

// The answer field classes: copies of the system edit class.
void RegisterFieldClass(const char* name) {
  WNDCLASSA probe;
  if (GetClassInfoA(GetModuleHandleA(nullptr), name, &probe)) return;
  WNDCLASSA wc{};
  if (!GetClassInfoA(nullptr, "EDIT", &wc)) return;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  wc.lpszClassName = name;
  wc.style &= ~CS_GLOBALCLASS;
  RegisterClassA(&wc);
}

// Files dropped on a box go into its answer field (or the field under the
// mouse), at the character under the mouse.
void DropFiles(HWND d, HDROP drop) {
  char path[MAX_PATH * 2] = {};
  if (DragQueryFileA(drop, 0, path, sizeof path)) {
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
}

void InitBox(HWND d, Box& b) {
  Interp& in = b.in;
  g_modal = d;
  b.SetFont(d, kIdMessage, 9, 1, true);
  SetText(d, kIdMessage, b.message);
  SetText(d, b.FooterId(), in.boxes.label);
  HWND focus = b.Init(d);
  SetWindowPos(d, in.sw.top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (in.waits.maxWait >= 1 && in.waits.maxWait <= 599)
    SetTimer(d, kMaxWaitTimer, static_cast<UINT>(in.waits.maxWait) * 1000u, nullptr);
  if (!focus) focus = GetDlgItem(d, kIdOk);
  if (!focus) focus = GetDlgItem(d, kIdCancel);
  if (focus) SetFocus(focus);
}

void Command(HWND d, Box& b, int id, int code) {
  if (id == kIdCancel) {
    b.End(d, EscAnswer());
  } else if (id == kIdCopyright) {
    AboutBox(b.in, d);
  } else if (id == kIdOk) {
    // Enter presses OK only where the box has one.
    if (GetDlgItem(d, kIdOk)) b.Ok(d);
  } else if (id >= kIdLabelButtonBase && id < kIdLabelButtonBase + kMaxLabelButtons) {
    const size_t i = static_cast<size_t>(id - kIdLabelButtonBase);
    if (i < b.in.boxes.buttonLabels.size()) {
      b.KeepState(d);
      b.End(d, b.in.boxes.buttonLabels[i]);
    }
  } else {
    b.Command(d, id, code);
  }
}

INT_PTR CALLBACK BoxProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  Box* b = reinterpret_cast<Box*>(GetWindowLongPtrA(d, DWLP_USER));
  switch (m) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(d, DWLP_USER, l);
      InitBox(d, *reinterpret_cast<Box*>(l));
      return FALSE;
    case WM_TIMER:
      if (w == kMaxWaitTimer && b) {
        KillTimer(d, kMaxWaitTimer);
        b->End(d, EscAnswer());
      }
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: {
      if (!b) break;
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(l));
      HDC dc = reinterpret_cast<HDC>(w);
      if (HBRUSH own = b->Colours(d, id, dc)) return reinterpret_cast<INT_PTR>(own);
      if (id == kIdValidation) {
        SetTextColor(dc, RGB(255, 0, 0));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    }
    case WM_DROPFILES:
      DropFiles(d, reinterpret_cast<HDROP>(w));
      return TRUE;
    case WM_VSCROLL:
      if (b && b->Scroll(d, reinterpret_cast<HWND>(l), w)) return TRUE;
      break;
    case WM_COMMAND:
      if (!b) break;
      Command(d, *b, LOWORD(w), HIWORD(w));
      return TRUE;
    case WM_DESTROY:
      if (g_modal == d) g_modal = nullptr;
      break;
  }
  return FALSE;
}

}  // namespace

// ---------------------------------------------------------------- the box

Box::~Box() {
  for (HFONT f : fonts_) DeleteObject(f);
}

void Box::End(HWND d, std::string a) {
  answer = std::move(a);
  EndDialog(d, 1);
}

void Box::SetFont(HWND d, int id, int size, int face, bool bold) {
  HWND c = GetDlgItem(d, id);
  if (!c) return;
  HFONT f = MakeFont(size, face, bold);
  fonts_.push_back(f);
  SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
}

bool ModalBoxOpen() { return g_modalRunning; }

const char* AnswerFieldClass(int id) {
  const char* name = id >= kIdAskField ? "ASK" : "IMM";
  RegisterFieldClass(name);
  return name;
}

void RegisterAskFieldClass() { RegisterFieldClass("ASK"); }

std::string RunBox(Box& b, const DialogTemplate& t) {
  if (g_modalRunning) return EscAnswer();
  g_modalRunning = true;
  const INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), MainWindow(), BoxProc,
                                            reinterpret_cast<LPARAM>(&b));
  if (r == -1 || r == 0) b.answer = EscAnswer();
  g_modalRunning = false;
  g_modal = nullptr;
  if (g_endPending) {
    g_endPending = false;
    EndRequest(b.in);
  }
  return b.answer;
}

void DeferEndRequest() { g_endPending = true; }

// ---------------------------------------------------------------- frame controls

DWORD BoxStyle() { return DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_3DLOOK; }

void AddFrame(DialogTemplate& t, MessageControl message, bool center, int x, int y, int w, int h) {
  t.AddIcon(kIdIcon, t.Width() - 28, t.Height() - 37);
  t.Add(DialogTemplate::kButton, kIdCopyright, 1, 2, 11, 10, BS_PUSHBUTTON, 0, "©");
  switch (message) {
    case MessageControl::None:
      return;
    case MessageControl::Static:
      t.Add(DialogTemplate::kStatic, kIdMessage, x, y, w, h, SS_NOPREFIX | SS_SUNKEN | (center ? SS_CENTER : SS_LEFT),
            0, "");
      return;
    case MessageControl::Text:
    case MessageControl::CentredText:
      t.Add(DialogTemplate::kEdit, kIdMessage, x, y, w, h,
            ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL |
                (message == MessageControl::CentredText ? ES_CENTER : 0),
            WS_EX_CLIENTEDGE, "");
      return;
  }
}

void AddOkCancel(DialogTemplate& t, const Interp& in, bool noCancel, int y, WORD okId) {
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

int AddLabelButtons(DialogTemplate& t, const Interp& in, int y) {
  const int n = std::min<int>(kMaxLabelButtons, static_cast<int>(in.boxes.buttonLabels.size()));
  if (n == 0) return y;
  for (int i = 0; i < n; ++i)
    t.Add(DialogTemplate::kButton, static_cast<WORD>(kIdLabelButtonBase + i), 15 + (i % 5) * 76, y + (i / 5) * 16, 70,
          14, BS_PUSHBUTTON | WS_TABSTOP, 0, Amp(in.boxes.buttonLabels[static_cast<size_t>(i)]));
  return y + ((n + 4) / 5) * 16 + 2;
}

void SetText(HWND d, int id, std::string_view s) {
  const std::string t(s.substr(0, std::min(s.size(), kMaxMessage)));
  SetDlgItemTextA(d, id, t.c_str());
}

void ShowValidation(HWND d, int id) { SetDlgItemTextA(d, id, "Une réponse valide est obligatoire"); }

std::string Amp(std::string_view s) { return ReplaceAllCopy(s, "&", "&&"); }

std::string ItemText(HWND h) {
  const int n = GetWindowTextLengthA(h);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  GetWindowTextA(h, s.data(), n + 1);
  s.resize(static_cast<size_t>(n < 0 ? 0 : n));
  return s;
}

std::string DlgText(HWND d, int id) { return ItemText(GetDlgItem(d, id)); }

// ---------------------------------------------------------------- other windows

std::string WindowTitleOf(const Interp& in) {
  return in.boxes.title.empty() ? std::string(kProductName) : in.boxes.title;
}

void RegisterPlainClass(const char* name, WNDPROC proc, HBRUSH background) {
  WNDCLASSA probe;
  if (GetClassInfoA(GetModuleHandleA(nullptr), name, &probe)) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

bool IsFolder(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsWholeNumber(std::string_view s) {
  if (s.empty()) return false;
  const size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
  return i < s.size() && AllDigits(s.substr(i));
}

}  // namespace kes
