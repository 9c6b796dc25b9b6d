// File commands: COPY, DEL, REN/MOVE, SHELLCOPY/SHELLDELETE, FINDPATH, EDIT.
#include <windows.h>
#include <shellapi.h>

#include "boxes/boxes.h"
#include "interp/commands.h"
#include "sysadmin/fileops.h"
#include "sysadmin/launcher.h"

namespace kes {

namespace {

constexpr DWORD kClearable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// A copy target names a folder when it ends with "\" or holds no "."
// anywhere; any other target names a file, even when a folder of that name
// exists ("C:\v1.2\backup" is the file backup in C:\v1.2). Scripts written
// for this rule rely on it, so the existing folders are not consulted.
bool TargetIsFolder(const std::string& t) { return EndsWithSlash(t) || t.find('.') == std::string::npos; }

std::string WithSlash(std::string p) {
  if (!p.empty() && !EndsWithSlash(p) && !(p.size() == 2 && p[1] == ':')) p += '\\';
  return p;
}

// Copies one file over whatever file the target names. Returns the error
// number (0 on success). The target's read-only, hidden and system
// attributes are cleared first so that it can be overwritten, and put back
// when the copy fails. A missing target folder is not created: the copy
// fails with the copy's own number.
int CopyOneFile(const std::string& src, const std::string& dst) {
  if (const int e = CheckUsablePath(dst)) return e;
  if (SameFile(src, dst)) return kErrNotAccessible;  // a file copied onto itself would be destroyed
  const DWORD old = GetFileAttributesA(dst.c_str());
  if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_DIRECTORY)) return kErrNotAccessible;
  const bool cleared = old != INVALID_FILE_ATTRIBUTES && (old & kClearable);
  if (cleared) SetFileAttributesA(dst.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (CopyFileA(src.c_str(), dst.c_str(), FALSE)) return 0;
  const DWORD e = GetLastError();
  if (cleared) SetFileAttributesA(dst.c_str(), old);
  return LanguageError(e);
}

}  // namespace

// COPY source,target
void CmdCopy(Interp& in, Ctx&) {
  const std::string src = PathField(in, 1);
  std::string tgt = PathField(in, 2);
  if (src.empty() || tgt.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (RefusePath(in, src) || RefusePath(in, tgt)) return;
  const bool toFolder = TargetIsFolder(tgt);
  if (toFolder) tgt = WithSlash(tgt);
  if (!HasWildcards(src)) {
    if (!FileExists(src)) {
      in.err.code = kErrNotFound;
      return;
    }
    in.err.code = CopyOneFile(src, toFolder ? tgt + NamePart(src) : tgt);
    return;
  }
  const std::vector<FoundEntry> list = FindEntries(src, true, false);
  if (list.empty()) {
    in.err.code = kErrNotFound;
    return;
  }
  const std::string from = FolderPart(src);
  const std::string to = toFolder ? tgt : FolderPart(tgt);
  int first = 0;
  for (const FoundEntry& f : list) {
    const int e = CopyOneFile(from + f.name, to + f.name);
    if (e && !first) first = e;
  }
  in.err.code = first;
}

// DEL path: every matching file, read-only, hidden and system ones too.
void CmdDel(Interp& in, Ctx&) {
  const std::string path = WholeArg(in);
  if (path.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (RefusePath(in, path)) return;
  const std::vector<FoundEntry> list = EndsWithSlash(path) ? std::vector<FoundEntry>() : FindEntries(path, true, false);
  if (list.empty()) {
    in.err.code = kErrNotFound;
    return;
  }
  const std::string folder = FolderPart(path);
  int first = 0;
  for (const FoundEntry& f : list) {
    const std::string full = folder + f.name;
    const DWORD old = GetFileAttributesA(full.c_str());
    if (old == INVALID_FILE_ATTRIBUTES || (old & FILE_ATTRIBUTE_DIRECTORY)) continue;
    const bool cleared = (old & kClearable) != 0;
    if (cleared) SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(full.c_str())) continue;
    const DWORD e = GetLastError();
    // A file that stays keeps its attributes.
    if (cleared) SetFileAttributesA(full.c_str(), old);
    if (!first) first = LanguageError(e);
  }
  in.err.code = first;
}

// REN source,target and MOVE source,target: both end with "\" (folders) or
// neither does; the target is the new full name.
void CmdRen(Interp& in, Ctx&) {
  std::string src = PathField(in, 1);
  std::string tgt = PathField(in, 2);
  if (src.empty() || tgt.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (RefusePath(in, src) || RefusePath(in, tgt)) return;
  in.err.code = kErrNotFound;
  if (EndsWithSlash(src) != EndsWithSlash(tgt)) return;
  while (src.size() > 3 && EndsWithSlash(src)) src.pop_back();
  while (tgt.size() > 3 && EndsWithSlash(tgt)) tgt.pop_back();
  const DWORD a = GetFileAttributesA(src.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return;
  const bool sameName = EqualsNoCase(FullPathName(src), FullPathName(tgt));
  if ((a & FILE_ATTRIBUTE_DIRECTORY) && !sameName && PathInside(tgt, src)) {
    in.err.code = kErrNotAccessible;  // a folder cannot move into itself
    return;
  }
  if (GetFileAttributesA(tgt.c_str()) != INVALID_FILE_ATTRIBUTES && !SameFile(src, tgt)) {
    in.err.code = kErrFileExists;  // both files stay as they are
    return;
  }
  if (sameName && NamePart(FullPathName(src)) != NamePart(FullPathName(tgt))) {
    // Only the case changes: some file systems take the target for the
    // existing file, so the name goes through a free temporary name.
    std::string tmp;
    for (int i = 0; i < 100 && tmp.empty(); ++i) {
      const std::string t = src + ".~" + IntText(i);
      if (GetFileAttributesA(t.c_str()) == INVALID_FILE_ATTRIBUTES) tmp = t;
    }
    if (tmp.empty() || !MoveFileA(src.c_str(), tmp.c_str())) {
      in.err.code = LanguageError(GetLastError());
      return;
    }
    if (!MoveFileA(tmp.c_str(), tgt.c_str())) {
      const DWORD e = GetLastError();
      MoveFileA(tmp.c_str(), src.c_str());
      in.err.code = LanguageError(e);
      return;
    }
    in.err.code = 0;
    return;
  }
  in.err.code = MoveFileA(src.c_str(), tgt.c_str()) ? 0 : LanguageError(GetLastError());
}

// ---- shell file operations

namespace {

// The silent flag of the progress window (the word SILENT of POPUP and
// GAUGE), kept by the boxes module in its state.
bool ShellOperationSilent(const Interp& in) { return in.boxes.silent; }

// Code the shell gives when a target lies inside its own source folder.
constexpr int kDestSubtree = 0x76;

bool IsRootPath(const std::string& full) {
  std::string p = full;
  while (p.size() > 1 && EndsWithSlash(p)) p.pop_back();
  if (p.size() <= 2) return true;  // "X:" or "\"
  if (StartsWith(p, "\\\\")) {
    // \\server or \\server\share
    const size_t s1 = p.find('\\', 2);
    return s1 == std::string::npos || p.find('\\', s1 + 1) == std::string::npos;
  }
  return false;
}

// Splits a list of paths at "|" (a character no file name holds) into full
// paths. Returns 0 or the error number for a bad item.
int PathList(std::string_view text, const std::string& quote, std::vector<std::string>& out) {
  for (const std::string& raw : SplitPlain(text, "|")) {
    const std::string p = Unquote(Trim(raw), quote);
    if (p.empty()) return kErrUsage;
    if (const int e = CheckUsablePath(p)) return e;
    out.push_back(FullPathName(p));
  }
  return out.empty() ? kErrUsage : 0;
}

std::string DoubleZeroList(const std::vector<std::string>& paths) {
  std::string s;
  for (const std::string& p : paths) {
    s += p;
    s += '\0';
  }
  s += '\0';
  return s;
}

}  // namespace

// SHELLCOPY source,target and SHELLDELETE source through the shell's file
// operation; several paths are joined with "|".
void CmdShellCopy(Interp& in, Ctx& c) {
  const bool copy = c.Word<ShellCopyWord>() == ShellCopyWord::ShellCopy;
  std::vector<std::string> from, to;
  int e = PathList(copy ? std::string_view(Field(in, 1)) : std::string_view(Trim(in.line.args)), in.sep.quote, from);
  if (!e && copy) e = PathList(Field(in, 2), in.sep.quote, to);
  if (!e && copy && to.size() > 1 && to.size() != from.size()) e = 1;
  if (e) {
    in.err.code = e;
    return;
  }
  for (const std::string& s : from) {
    if (!HasWildcards(s)) {
      if (!copy && IsRootPath(s)) {
        in.err.code = kErrRefused;  // a whole drive or share is never deleted
        return;
      }
      const DWORD a = GetFileAttributesA(s.c_str());
      if (a == INVALID_FILE_ATTRIBUTES) {
        in.err.code = kErrNotFound;
        return;
      }
      if (copy && (a & FILE_ATTRIBUTE_DIRECTORY))
        for (const std::string& t : to)
          if (PathInside(t, s)) {
            in.err.code = kDestSubtree;
            return;
          }
      continue;
    }
    const std::vector<FoundEntry> list = FindEntries(s, true, true);
    if (list.empty()) {
      in.err.code = kErrNotFound;
      return;
    }
    if (!copy && IsRootPath(FolderPart(s)) && NamePart(s).find_first_not_of("*?.") == std::string::npos) {
      in.err.code = kErrRefused;  // "X:\*.*" would empty a whole drive
      return;
    }
    if (copy)
      for (const FoundEntry& f : list)
        if (f.IsFolder())
          for (const std::string& t : to)
            if (PathInside(t, FolderPart(s) + f.name)) {
              in.err.code = kDestSubtree;
              return;
            }
  }
  const std::string fromBuf = DoubleZeroList(from);
  const std::string toBuf = DoubleZeroList(to);
  SHFILEOPSTRUCTA op{};
  op.hwnd = MainWindow();
  op.wFunc = copy ? FO_COPY : FO_DELETE;
  op.pFrom = fromBuf.c_str();
  op.pTo = copy ? toBuf.c_str() : nullptr;
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
  if (ShellOperationSilent(in)) op.fFlags |= FOF_SILENT;
  if (copy && to.size() > 1) op.fFlags |= FOF_MULTIDESTFILES;
  const int r = SHFileOperationA(&op);
  if (op.fAnyOperationsAborted) {
    in.err.code = 0;
    in.line.result.assign(1, kEscChar);
    return;
  }
  in.err.code = r;
}

// FINDPATH document: the program associated with the document.
void CmdFindPath(Interp& in, Ctx&) {
  in.line.result.clear();
  const std::string path = WholeArg(in);
  if (path.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (CheckUsablePath(path)) {
    in.err.code = kErrUsage;
    return;
  }
  // The call writes up to MAX_PATH bytes whatever the buffer; give it room.
  char buf[MAX_PATH + 16] = {};
  const INT_PTR r = reinterpret_cast<INT_PTR>(FindExecutableA(path.c_str(), nullptr, buf));
  buf[sizeof buf - 1] = '\0';
  in.line.result = r > 32 ? std::string(buf) : std::string();
  if (r <= 32) in.err.code = kErrUsage;
}

// EDIT file: opens the file in the text editor without waiting.
void CmdEdit(Interp& in, Ctx&) {
  const std::string path = WholeArg(in);
  if (path.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (RefusePath(in, path)) return;
  const bool quote = path.find(' ') != std::string::npos;
  LaunchRequest r;
  r.text = "notepad.exe " + (quote ? "\"" + path + "\"" : path);
  r.capture = CaptureMode::Off;  // an editor's window, not output to read
  Launch(in, r);
}

}  // namespace kes
