// ASKFILE and ASKDIR: a drive list and the folder's contents ("[name]" for a
// sub-folder, files only for ASKFILE); a double-click opens a folder or
// takes a file, OK takes the file selected (ASKFILE) or the folder shown
// (ASKDIR).
#include <algorithm>
#include <optional>

#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"

namespace kes {

namespace {

constexpr WORD kIdPathLine = 103;    // the refusal line (red) above OK
constexpr WORD kIdFolderList = 104;  // the folder's contents
constexpr WORD kIdDrive = 4010;      // the drive list

std::string Join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

class AskPathKind final : public Box {
 public:
  AskPathKind(Interp& in, std::string_view start, bool file) : Box(in), file_(file) {
    center = in.sw.center;
    folder_ = Trim(start);
    while (folder_.size() > 3 && folder_.back() == '\\') folder_.pop_back();
    if (folder_.size() == 2 && folder_[1] == ':') folder_ += "\\";
    if (folder_.empty() || !IsFolder(folder_)) {
      char cur[MAX_PATH] = {};
      GetCurrentDirectoryA(MAX_PATH, cur);
      folder_ = cur;
    }
  }

  HWND Init(HWND d) override {
    HWND cb = GetDlgItem(d, kIdDrive);
    const DWORD drives = GetLogicalDrives();
    for (char c = 'C'; c <= 'Z'; ++c)
      if (drives & (1u << (c - 'A'))) {
        const char s[2] = {c, 0};
        SendMessageA(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
      }
    Fill(d);
    return GetDlgItem(d, kIdFolderList);
  }
  void Ok(HWND d) override {
    if (auto a = Choose(d, true)) End(d, *a);
  }
  bool Command(HWND d, int id, int code) override {
    if (id == kIdFolderList) {
      if (code == LBN_DBLCLK)
        if (auto a = Choose(d, false)) End(d, *a);
      return true;
    }
    if (id == kIdDrive) {
      char s[8] = {};
      const LRESULT sel = SendDlgItemMessageA(d, kIdDrive, CB_GETCURSEL, 0, 0);
      if (code == CBN_SELCHANGE && sel >= 0 && SendDlgItemMessageA(d, kIdDrive, CB_GETLBTEXTLEN, sel, 0) < 4) {
        SendDlgItemMessageA(d, kIdDrive, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(s));
        folder_ = std::string(s) + ":\\";
        Fill(d);
      }
      return true;
    }
    return false;
  }
  HBRUSH Colours(HWND, int id, HDC dc) override {
    if (id != kIdPathLine) return nullptr;
    SetTextColor(dc, RGB(255, 0, 0));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
  }

  std::string Run() {
    DialogTemplate t(BoxStyle(), WS_EX_ACCEPTFILES, 405, 316, "Message Kestrova");
    AddFrame(t, MessageControl::Static, center, 15, 4, 375, 27);
    t.Add(DialogTemplate::kComboBox, kIdDrive, 15, 36, 40, 150, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, "");
    t.Add(DialogTemplate::kListBox, kIdFolderList, 15, 52, 375, 190,
          LBS_NOTIFY | WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT | WS_TABSTOP, 0, "");
    t.Add(DialogTemplate::kStatic, kIdPathLine, 15, 246, 375, 10, SS_CENTER | SS_NOPREFIX, 0, "");
    t.Add(DialogTemplate::kButton, kIdOk, 27, 260, 139, 15, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "&Ok");
    if (in.sw.esc)
      t.Add(DialogTemplate::kButton, kIdCancel, 202, 260, 139, 15, BS_PUSHBUTTON | WS_TABSTOP, 0, "&Annuler");
    AddFooter(t, kIdFooter, 88, 282, 230, 18);
    return RunBox(*this, t);
  }

 private:
  // Lists the folder: ".." (below a root), the sub-folders, then (ASKFILE)
  // the files, each group sorted without regard to case.
  void Fill(HWND d) {
    entries_.clear();
    std::vector<std::string> dirs, files;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(Join(folder_, "*.*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::string n = fd.cFileName;
        if (n == "." || n == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) dirs.push_back(n);
        else if (file_) files.push_back(n);
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    auto less = [](const std::string& x, const std::string& y) { return Upper(x) < Upper(y); };
    std::sort(dirs.begin(), dirs.end(), less);
    std::sort(files.begin(), files.end(), less);
    if (folder_.size() > 3) entries_.push_back("\\..");
    for (auto& s : dirs) entries_.push_back("\\" + s);
    for (auto& s : files) entries_.push_back(s);
    HWND lb = GetDlgItem(d, kIdFolderList);
    SendMessageA(lb, WM_SETREDRAW, FALSE, 0);
    SendMessageA(lb, LB_RESETCONTENT, 0, 0);
    for (auto& e : entries_) {
      const std::string shown = e[0] == '\\' ? "[" + e.substr(1) + "]" : e;
      SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    }
    SendMessageA(lb, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(lb, nullptr, TRUE);
    const std::string title = (file_ ? "Recherche d'un fichier dans " : "Choix d'un sous-répertoire dans ") + folder_;
    SetDlgItemTextA(d, kIdMessage, title.c_str());
    SetDlgItemTextA(d, kIdPathLine, "");
    const std::string drive = folder_.substr(0, 1);
    SendDlgItemMessageA(d, kIdDrive, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(drive.c_str()));
  }

  void Open(HWND d, const std::string& name) {
    if (name == "..") {
      std::string f = folder_;
      if (!f.empty() && f.back() == '\\') f.pop_back();
      const size_t p = f.rfind('\\');
      if (p == std::string::npos) return;
      folder_ = f.substr(0, p);
      if (folder_.size() == 2) folder_ += "\\";
    } else {
      folder_ = Join(folder_, name);
    }
    Fill(d);
  }

  // OK (ok) or a double-click: the answer when the box ends; a folder is
  // opened instead (always on a double-click, on OK only for ASKFILE).
  std::optional<std::string> Choose(HWND d, bool ok) {
    const LRESULT sel = SendDlgItemMessageA(d, kIdFolderList, LB_GETCURSEL, 0, 0);
    if (sel >= 0 && static_cast<size_t>(sel) < entries_.size()) {
      const std::string e = entries_[static_cast<size_t>(sel)];
      if (e[0] == '\\') {
        if (!ok || file_) {
          Open(d, e.substr(1));
          return std::nullopt;
        }
      } else if (file_) {
        return Join(folder_, e);
      }
    }
    if (!ok) return std::nullopt;
    if (!file_) return folder_;
    ShowValidation(d, kIdPathLine);
    return std::nullopt;
  }

  bool file_;                         // ASKFILE; else ASKDIR
  std::string folder_;                // the folder shown
  std::vector<std::string> entries_;  // its contents; "\\" marks a folder
};

}  // namespace

std::string AskPathBox(Interp& in, std::string_view start, bool file) {
  BoxAnswer a;
  if (Unattended(in, MakeOffer(in, BoxKind::Path, file ? "ASKFILE" : "ASKDIR", Trim(start)), a)) return a.answer;
  return AskPathKind(in, start, file).Run();
}

}  // namespace kes
