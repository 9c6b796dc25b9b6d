// The system dialogs: FILEDIALOG, DIRDIALOG (with its "Nouveau..." companion
// box), COLORDIALOG and FONTDIALOG, closed by MAXWAIT like the boxes.
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>

#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"
#include "boxes/boxes.h"

namespace kes {

namespace {

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

}  // namespace

// The shell's dialogs need COM on this thread: without it the folder browser
// shows no start folder and answers the Desktop. A thread the host has
// initialised otherwise (a DLL caller) keeps its own.
void InitShellCom(Interp& in) {
  if (in.boxes.comReady) return;
  CoInitialize(nullptr);
  in.boxes.comReady = true;
}

namespace {

struct SystemDialogScope {
  bool ok = false;
  explicit SystemDialogScope(Interp& in) {
    if (ModalBoxOpen()) return;
    ok = true;
    InitShellCom(in);
    if (in.waits.maxWait >= 1 && in.waits.maxWait <= 599)
      g_sysTimer = SetTimer(nullptr, 0, static_cast<UINT>(in.waits.maxWait) * 1000u, SystemDialogTimeout);
  }
  ~SystemDialogScope() {
    if (g_sysTimer) KillTimer(nullptr, g_sysTimer);
    g_sysTimer = 0;
  }
};


struct BrowseState {
  std::string start;
  std::string created;  // a new folder: the browser opens again on it
};

LRESULT CALLBACK BrowseSubclass(HWND h, UINT m, WPARAM w, LPARAM l);
WNDPROC g_browseProc = nullptr;
BrowseState* g_browse = nullptr;
std::string g_browseCurrent;
constexpr int kIdNewFolder = 4020;      // "Nouveau..." added to the folder browser
constexpr int kIdNewFolderName = 3000;  // the companion box's name field

// The companion box: the name of a sub-folder to create.
INT_PTR CALLBACK NewFolderProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_INITDIALOG) {
    SetWindowLongPtrA(d, DWLP_USER, l);
    SetFocus(GetDlgItem(d, kIdNewFolderName));
    return FALSE;
  }
  if (m == WM_COMMAND) {
    if (LOWORD(w) == kIdOk) {
      char name[MAX_PATH] = {};
      GetDlgItemTextA(d, kIdNewFolderName, name, MAX_PATH);
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
  t.Add(DialogTemplate::kEdit, kIdNewFolderName, 10, 10, 200, 13, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, "");
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

namespace {

// Unattended: the path from the answer file; {ESC} cancels (an empty answer).
bool UnattendedPath(Interp& in, std::string_view word, std::string_view start, std::string& answer) {
  BoxAnswer a;
  if (!Unattended(in, MakeOffer(in, BoxKind::Path, word, Trim(start)), a)) return false;
  answer = a.answer == EscAnswer() ? std::string() : a.answer;
  return true;
}

bool UnattendedDialog(Interp& in, std::string_view word, std::string& answer) {
  BoxAnswer a;
  if (!Unattended(in, MakeOffer(in, BoxKind::Dialog, word, ""), a)) return false;
  answer = a.answer;
  return true;
}

}  // namespace

std::string FileDialog(Interp& in, std::string_view startIn, std::string_view patternIn, bool save) {
  if (std::string a; UnattendedPath(in, "FILEDIALOG", startIn, a)) return a;
  SystemDialogScope scope(in);
  if (!scope.ok) return std::string();
  std::string start = Trim(startIn);
  std::string pattern = Trim(patternIn);
  if (pattern.empty()) pattern = "*.*";
  std::string folder = start, file;
  if (!start.empty() && !IsFolder(start)) {
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


std::string DirDialog(Interp& in, std::string_view startIn) {
  if (std::string a; UnattendedPath(in, "DIRDIALOG", startIn, a)) return a;
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
  if (std::string a; UnattendedDialog(in, "COLORDIALOG", a)) return a;
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
  if (std::string a; UnattendedDialog(in, "FONTDIALOG", a)) return a;
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
