// File and folder information: ATTRIB, DIR, XDIR, SIZE, XSIZE, WHERE,
// LONGNAME, SHORTNAME, DIRTRANSLATE, BINGET.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "interp/commands.h"
#include "sysadmin/fileops.h"

namespace kes {

namespace {

struct AttrLetter {
  char letter;
  DWORD bit;
};
constexpr AttrLetter kLetters[] = {{'R', FILE_ATTRIBUTE_READONLY},
                                   {'H', FILE_ATTRIBUTE_HIDDEN},
                                   {'S', FILE_ATTRIBUTE_SYSTEM},
                                   {'A', FILE_ATTRIBUTE_ARCHIVE}};
constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::string AttrText(DWORD a) {
  std::string s;
  for (const AttrLetter& l : kLetters)
    if (a & l.bit) s += l.letter;
  if (a & FILE_ATTRIBUTE_DIRECTORY) s += 'D';
  return s;
}

DWORD LetterBit(char c) {
  for (const AttrLetter& l : kLetters)
    if (UpperChar(c) == l.letter) return l.bit;
  return 0;
}

// "RH" sets exactly these attributes; "+R -H" adds and removes. False for a
// letter other than R, H, S, A or a letter before the first sign of a
// signed form.
bool ParseAttrChange(std::string_view text, DWORD& setMask, DWORD& clearMask, bool& exact) {
  setMask = clearMask = 0;
  exact = text.find_first_of("+-") == std::string_view::npos;
  char sign = 0;
  for (const char c : text) {
    if (c == ' ') continue;
    if (c == '+' || c == '-') {
      sign = c;
      continue;
    }
    const DWORD b = LetterBit(c);
    if (!b || (!exact && !sign)) return false;
    if (exact || sign == '+') {
      setMask |= b;
      clearMask &= ~b;
    } else {
      clearMask |= b;
      setMask &= ~b;
    }
  }
  if (exact) clearMask = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  return true;
}

// Case-blind name order, so that listings do not depend on the file system.
bool NameLess(const FoundEntry& a, const FoundEntry& b) {
  const std::string ua = Upper(a.name), ub = Upper(b.name);
  return ua != ub ? ua < ub : a.name < b.name;
}

// A folder argument as a search pattern: "dir\" and an existing "dir" become
// "dir\*.*".
std::string FolderPattern(const std::string& p) {
  if (p.empty()) return "*.*";
  if (EndsWithSlash(p) || (p.size() == 2 && p[1] == ':')) return p + "*.*";
  if (!HasWildcards(p) && FolderExists(p)) return p + "\\*.*";
  return p;
}

bool FolderOfPatternExists(const std::string& pattern) {
  const std::string f = FolderPart(pattern);
  if (f.empty()) return true;
  return FolderExists(f.size() == 2 && f[1] == ':' ? f + "\\" : f);
}

}  // namespace

// ATTRIB path reads the attributes as letters (R H S A, D for a folder);
// ATTRIB path,change sets them on the file, folder or every matching file.
void CmdAttrib(Interp& in, Ctx&) {
  in.line.result.clear();  // a failure leaves an empty result, never a stale one
  const std::string path = PathField(in, 1);
  const std::string change = FieldUnquoted(in, 2);
  if (path.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (RefusePath(in, path)) return;
  std::vector<std::string> targets;
  if (HasWildcards(path)) {
    const std::string folder = FolderPart(path);
    for (const FoundEntry& f : FindEntries(path, true, false)) targets.push_back(folder + f.name);
  } else if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    targets.push_back(path);
  }
  if (targets.empty()) {
    in.err.code = kErrNotFound;
    return;
  }
  if (change.empty()) {
    in.line.result = AttrText(GetFileAttributesA(targets.front().c_str()));
    return;
  }
  DWORD setMask, clearMask;
  bool exact;
  if (!ParseAttrChange(change, setMask, clearMask, exact)) {
    in.err.code = kErrUsage;
    return;
  }
  int first = 0;
  for (const std::string& t : targets) {
    const DWORD old = GetFileAttributesA(t.c_str());
    if (old == INVALID_FILE_ATTRIBUTES) continue;
    DWORD a = ((old & kSettable) & ~clearMask) | setMask;
    if (a == 0) a = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileAttributesA(t.c_str(), a) && !first) first = LanguageError(GetLastError());
  }
  in.err.code = first;
  in.line.result = AttrText(GetFileAttributesA(targets.front().c_str()));
}

// DIR pattern[,options]: names matching the pattern into the DIR list.
// Options: F files (the default), D folders (their names end in "\"),
// P full paths.
void CmdDir(Interp& in, Ctx&) {
  const std::string pattern = FolderPattern(PathField(in, 1));
  const std::string opts = Upper(FieldUnquoted(in, 2));
  auto& list = in.vars.Sys(SysList::DIR);
  list.clear();
  if (opts.find_first_not_of("FDP ") != std::string::npos) {
    in.err.code = kErrUsage;
    return;
  }
  if (RefusePath(in, pattern)) return;
  const bool folders = opts.find('D') != std::string::npos;
  const bool files = !folders || opts.find('F') != std::string::npos;
  const bool full = opts.find('P') != std::string::npos;
  if (!FolderOfPatternExists(pattern)) {
    in.err.code = kErrNotFound;
  } else {
    std::vector<FoundEntry> found = FindEntries(pattern, files, folders);
    std::sort(found.begin(), found.end(), NameLess);
    const std::string prefix = full ? FolderPart(FullPathName(pattern)) : std::string();
    for (const FoundEntry& f : found) list.push_back(prefix + f.name + (f.IsFolder() ? "\\" : ""));
  }
  in.line.result = IntText(static_cast<int64_t>(list.size()));
  in.line.secondResult = true;
}

namespace {

struct TreeWalk {
  std::string pattern;  // name pattern for files
  std::vector<std::string>* lines = nullptr;  // XDIR lines, or null to count only
  uint64_t bytes = 0, files = 0, folders = 0;
  bool tooLong = false;
  bool full = false;  // the list reached its limit

  // Files of folder (ending in "\") in name order, then each subfolder.
  // Reparse points (junctions) are not entered, so a link back up the tree
  // cannot loop.
  void Walk(const std::string& folder) {
    if (full) return;
    if (folder.size() + 3 > kMaxPathChars) {
      tooLong = true;
      return;
    }
    std::vector<FoundEntry> all = FindEntries(folder + "*", true, true);
    std::sort(all.begin(), all.end(), NameLess);
    for (const FoundEntry& f : all) {
      if (f.IsFolder() || !NameMatches(f.name, pattern)) continue;
      ++files;
      bytes += f.size;
      if (!lines) continue;
      if (lines->size() >= kMaxListIndex) {
        full = true;
        return;
      }
      char size[32];
      std::snprintf(size, sizeof size, "%13llu", static_cast<unsigned long long>(f.size));
      lines->push_back(FileTimeText(f.writeLow, f.writeHigh) + " " + size + " " + folder + f.name);
    }
    for (const FoundEntry& f : all) {
      if (!f.IsFolder()) continue;
      ++folders;
      if (f.attributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
      Walk(folder + f.name + "\\");
    }
  }
};

// The folder argument of XDIR and XSIZE as a full path ending in "\"; 0, or
// 53 when it is no folder, 52 when unusable.
int TreeRoot(const std::string& arg, std::string& root) {
  std::string p = arg.empty() ? std::string(".") : arg;
  if (const int e = CheckUsablePath(p)) return e;
  p = FullPathName(p);
  if (!FolderExists(p)) return kErrNotFound;
  if (!EndsWithSlash(p)) p += '\\';
  root = p;
  return 0;
}

}  // namespace

// XDIR folder[,pattern]: every matching file of the folder tree into the XDIR
// list as "YYYY/MM/DD_HH:MM:SS size path" (size right-aligned in 13 places).
void CmdXDir(Interp& in, Ctx&) {
  auto& list = in.vars.Sys(SysList::XDIR);
  list.clear();
  std::string root;
  if (const int e = TreeRoot(PathField(in, 1), root)) {
    in.err.code = e;
  } else {
    TreeWalk w;
    w.pattern = FieldUnquoted(in, 2).empty() ? "*" : FieldUnquoted(in, 2);
    w.lines = &list;
    w.Walk(root);
    if (w.full) in.err.code = kErrOutOfMemory;
    else if (w.tooLong) in.err.code = kErrLocalFile;
  }
  in.line.result = IntText(static_cast<int64_t>(list.size()));
  in.line.secondResult = true;
}

// XSIZE folder[,pattern]: bytes of the matching files of the folder tree;
// XSIZE.FILES and XSIZE.FOLDERS receive the file and subfolder counts.
void CmdXSize(Interp& in, Ctx&) {
  in.line.result.clear();
  std::string root;
  if (const int e = TreeRoot(PathField(in, 1), root)) {
    in.err.code = e;
    return;
  }
  TreeWalk w;
  w.pattern = FieldUnquoted(in, 2).empty() ? "*" : FieldUnquoted(in, 2);
  w.Walk(root);
  if (w.tooLong) in.err.code = kErrLocalFile;
  in.line.result = IntText(static_cast<int64_t>(w.bytes));
  SetVariable(in, "XSIZE.FILES", IntText(static_cast<int64_t>(w.files)));
  SetVariable(in, "XSIZE.FOLDERS", IntText(static_cast<int64_t>(w.folders)));
}

// SIZE file: bytes of the file; with wildcards the total of the matching files.
void CmdSize(Interp& in, Ctx&) {
  in.line.result.clear();
  const std::string path = WholeArg(in);
  if (path.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (RefusePath(in, path)) return;
  uint64_t total = 0;
  if (HasWildcards(path)) {
    const std::vector<FoundEntry> found = FindEntries(path, true, false);
    if (found.empty()) {
      in.err.code = kErrNotFound;
      return;
    }
    for (const FoundEntry& f : found) total += f.size;
  } else if (!FileSize64(path, total)) {
    in.err.code = kErrNotFound;
    return;
  }
  in.line.result = IntText(static_cast<int64_t>(total));
}

// WHERE name[,folders][,ANY]: looks for the file in each folder of the list
// (";" between folders; by default the current folder, then PATH). A name
// without extension is also tried with each extension of PATHEXT. ANY lists
// every match instead of stopping at the first. The full paths go into the
// DIR list; the result (the where-setting) is their count.
void CmdWhere(Interp& in, Ctx&) {
  const std::string name = PathField(in, 1);
  bool any = false;
  std::string folders;
  bool folderField = false;
  for (size_t i = 2; i <= FieldCount(in); ++i) {
    const std::string f = FieldUnquoted(in, i);
    if (EqualsNoCase(f, "ANY")) any = true;
    else if (!folderField) {
      folders = f;
      folderField = true;
    }
  }
  auto& list = in.vars.Sys(SysList::DIR);
  list.clear();
  if (name.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  std::vector<std::string> dirs;
  if (!FolderPart(name).empty()) {
    dirs.push_back(FolderPart(name));
  } else {
    if (folders.empty()) {
      char buf[32768];
      const DWORD n = GetEnvironmentVariableA("PATH", buf, sizeof buf);
      folders = ".;" + std::string(buf, n < sizeof buf ? n : 0);
    }
    for (const std::string& d : SplitPlain(folders, ";")) {
      const std::string t = Unquote(Trim(d), "\"");
      if (t.empty()) continue;
      dirs.push_back(EndsWithSlash(t) || (t.size() == 2 && t[1] == ':') ? t : t + "\\");
    }
  }
  const std::string base = NamePart(name);
  std::vector<std::string> names{base};
  if (base.find('.') == std::string::npos && !HasWildcards(base)) {
    char buf[1024];
    const DWORD n = GetEnvironmentVariableA("PATHEXT", buf, sizeof buf);
    const std::string exts = n && n < sizeof buf ? std::string(buf, n) : std::string(".COM;.EXE;.BAT;.CMD");
    for (const std::string& e : SplitPlain(exts, ";"))
      if (!Trim(e).empty()) names.push_back(base + Trim(e));
  }
  for (const std::string& d : dirs) {
    if (CheckUsablePath(d)) continue;
    for (const std::string& n : names) {
      std::vector<FoundEntry> found = FindEntries(d + n, true, false);
      std::sort(found.begin(), found.end(), NameLess);
      for (const FoundEntry& f : found) {
        const std::string p = FullPathName(d + f.name);
        if (std::find_if(list.begin(), list.end(), [&](const std::string& q) { return EqualsNoCase(q, p); }) ==
            list.end())
          list.push_back(p);
        if (!any) break;
      }
      if (!any && !list.empty()) break;
    }
    if (!any && !list.empty()) break;
  }
  if (list.empty()) in.err.code = kErrNotFound;
  in.line.result = IntText(static_cast<int64_t>(std::min<size_t>(list.size(), 32767)));
  SetVariable(in, "NDIR", IntText(static_cast<int64_t>(list.size())));
}

namespace {

// Runs GetLongPathNameA or GetShortPathNameA with a buffer that fits.
template <class F>
void PathForm(Interp& in, F call) {
  in.line.result.clear();
  const std::string path = WholeArg(in);
  if (path.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (RefusePath(in, path)) return;
  std::string buf(MAX_PATH + 1, '\0');
  DWORD n = call(path.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
  if (n >= buf.size()) {
    buf.assign(n + 1, '\0');
    n = call(path.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
  }
  if (n == 0 || n >= buf.size()) {
    in.err.code = n == 0 ? LanguageError(GetLastError()) : kErrLocalFile;
    return;
  }
  in.line.result.assign(buf.data(), n);
}

bool IsAbsolute(std::string_view p) {
  return EndsWithSlash(p.substr(0, 1)) || (p.size() >= 2 && p[1] == ':');
}

}  // namespace

// LONGNAME path: the long form of an existing path.
void CmdLongName(Interp& in, Ctx&) { PathForm(in, GetLongPathNameA); }

// SHORTNAME path: the 8.3 form of an existing path.
void CmdShortName(Interp& in, Ctx&) { PathForm(in, GetShortPathNameA); }

// DIRTRANSLATE name[,base]: the full path of a relative name, against the
// current folder or the base folder; "." and ".." are resolved. The path
// need not exist.
void CmdDirTranslate(Interp& in, Ctx&) {
  in.line.result.clear();
  std::string name = PathField(in, 1);
  const std::string base = PathField(in, 2);
  if (name.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (!base.empty() && !IsAbsolute(name)) name = (EndsWithSlash(base) ? base : base + "\\") + name;
  char buf[MAX_PATH * 2];
  char* filePart = nullptr;
  const DWORD n = GetFullPathNameA(name.c_str(), sizeof buf, buf, &filePart);
  if (n == 0) {
    in.err.code = LanguageError(GetLastError());
    return;
  }
  if (n > kMaxPathChars) {
    in.err.code = kErrLocalFile;
    return;
  }
  in.line.result.assign(buf, n);
}

// BINGET file,offset[,count[,format]]: count bytes (1 by default, at most
// 65536) from the 0-based offset. Format TEXT (the bytes themselves, the
// default), HEX (two hexadecimal digits a byte) or DEC (decimal codes
// separated by blanks). The result is also the BINGET built-in.
void CmdBinGet(Interp& in, Ctx&) {
  in.files.binget.clear();
  in.line.result.clear();
  const std::string file = PathField(in, 1);
  const std::string offText = Field(in, 2);
  const std::string countText = Field(in, 3);
  const std::string format = Upper(FieldUnquoted(in, 4));
  const int64_t offset = offText.empty() ? 0 : ValInt64(offText);
  const int64_t count = countText.empty() ? 1 : ValInt64(countText);
  if (file.empty() || offset < 0 || count < 1 || count > 65536 ||
      !(format.empty() || format == "TEXT" || format == "HEX" || format == "DEC")) {
    in.err.code = kErrUsage;
    return;
  }
  if (RefusePath(in, file)) return;
  if (!FileExists(file)) {
    in.err.code = kErrNotFound;
    return;
  }
  HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    in.err.code = LanguageError(GetLastError());
    return;
  }
  LARGE_INTEGER size{}, pos{};
  pos.QuadPart = offset;
  std::string bytes;
  int err = 0;
  if (!GetFileSizeEx(h, &size)) {
    err = LanguageError(GetLastError());
  } else if (offset >= size.QuadPart) {
    err = kErrPastEnd;
  } else if (!SetFilePointerEx(h, pos, nullptr, FILE_BEGIN)) {
    err = LanguageError(GetLastError());
  } else {
    bytes.resize(static_cast<size_t>(std::min<int64_t>(count, size.QuadPart - offset)));
    DWORD got = 0;
    if (!ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
      err = LanguageError(GetLastError());
    bytes.resize(got);
  }
  CloseHandle(h);
  if (err) {
    in.err.code = err;
    return;
  }
  std::string out;
  if (format == "HEX") {
    static const char kHex[] = "0123456789ABCDEF";
    for (const unsigned char c : bytes) {
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  } else if (format == "DEC") {
    for (const unsigned char c : bytes) {
      if (!out.empty()) out += ' ';
      out += IntText(c);
    }
  } else {
    out = bytes;
  }
  in.files.binget = out;
  in.line.result = out;
}

}  // namespace kes
