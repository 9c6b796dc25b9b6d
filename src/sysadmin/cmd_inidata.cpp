// INI entries (SECTIONENTRY, DELSECTIONENTRY) and data files (DATAGET,
// DATAPUT).
#include <windows.h>

#include "interp/commands.h"
#include "script/loader.h"
#include "sysadmin/fileops.h"

namespace kes {

namespace {

// Values are read with a buffer that grows until the value fits, so a long
// value is never cut short; beyond this the read fails.
constexpr DWORD kIniFirstBuffer = 6144;
constexpr DWORD kIniMaxBuffer = 4u << 20;

bool ReadIniValue(const std::string& file, const std::string& section, const std::string& entry, std::string& out) {
  for (DWORD size = kIniFirstBuffer; size <= kIniMaxBuffer; size *= 4) {
    std::string buf(size, '\0');
    const DWORD n = GetPrivateProfileStringA(section.c_str(), entry.c_str(), "", buf.data(), size, file.c_str());
    if (n + 1 < size) {
      out.assign(buf.data(), n);
      return true;
    }
  }
  return false;
}

// A read-only INI file is never written, whatever rights the process has.
bool IniReadOnly(const std::string& file) {
  const DWORD a = GetFileAttributesA(file.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

// Writes cached changes through to the file at once.
void FlushIni(const std::string& file) { WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str()); }

}  // namespace

// SECTIONENTRY file,section,entry reads; SECTIONENTRY file,section,entry,value
// writes (the value runs to the end of the line); DELSECTIONENTRY
// file,section,entry deletes the entry, or the whole section when the entry
// is empty.
void CmdIniEntry(Interp& in, Ctx& c) {
  const bool del = c.Word<IniEntryWord>() == IniEntryWord::DelSectionEntry;
  const std::string file = PathField(in, 1);
  const std::string section = FieldUnquoted(in, 2);
  const std::string entry = FieldUnquoted(in, 3);
  const size_t n = FieldCount(in);
  if (!del && n < 4) in.line.result.clear();
  if (file.empty() || section.empty() || HoldsLineBreak(section) || HoldsLineBreak(entry) ||
      section.find(']') != std::string::npos || entry.find('=') != std::string::npos) {
    in.err.code = kErrUsage;
    return;
  }
  if (RefusePath(in, file)) return;
  if (del) {
    // Nothing to remove from a missing file, and no empty file is made.
    if (!FileExists(file) || IniReadOnly(file)) {
      in.err.code = kErrUsage;
      return;
    }
    const BOOL ok = WritePrivateProfileStringA(section.c_str(), entry.empty() ? nullptr : entry.c_str(), nullptr,
                                               file.c_str());
    FlushIni(file);
    if (!ok) in.err.code = kErrUsage;
    return;
  }
  if (entry.empty()) {
    // An empty entry name would read the list of entries or, written, erase
    // the section.
    in.err.code = kErrUsage;
    return;
  }
  if (n < 4) {
    std::string value;
    if (!ReadIniValue(file, section, entry, value)) value.clear();
    in.line.result = value;
    if (value.empty()) in.err.code = kErrUsage;
    return;
  }
  const std::string value = ArgsFromField(in, 4);
  if (HoldsLineBreak(value) || IniReadOnly(file)) {
    in.err.code = kErrUsage;  // a line break would inject entries or sections
    return;
  }
  const BOOL ok = WritePrivateProfileStringA(section.c_str(), entry.c_str(), value.c_str(), file.c_str());
  FlushIni(file);
  if (!ok) in.err.code = kErrUsage;
}

// ---- data files: one "name=value" entry per line

namespace {

struct DataLine {
  std::string text;  // the line as it stands in the file
  bool entry = false;
  std::string name;  // trimmed, when entry
  size_t valueAt = 0;
};

// Lines end at CR LF or LF. An entry is a line with "=" that does not start
// with ";"; name and value are read without surrounding blanks. Every other
// line is kept as it is.
std::vector<DataLine> ParseData(const std::string& text) {
  std::vector<DataLine> out;
  for (std::string_view line : LinesOf(text)) {
    DataLine d;
    d.text = line;
    const size_t eq = d.text.find('=');
    const std::string_view lead = LTrimView(d.text);
    if (eq != std::string::npos && !(lead.size() && lead[0] == ';')) {
      d.name = TrimBlanks(std::string_view(d.text).substr(0, eq));
      d.entry = !d.name.empty();
      d.valueAt = eq + 1;
    }
    out.push_back(std::move(d));
  }
  return out;
}

// Data files are read whole; a larger file is refused rather than exhausting
// memory.
constexpr uint64_t kMaxDataFile = 64u << 20;

// Reads a data file. 0, 53 when missing (or a folder), 75 when it cannot be
// read, 7 when it is too large.
int LoadData(const std::string& file, std::vector<DataLine>& lines) {
  if (!FileExists(file)) return kErrNotFound;
  uint64_t size = 0;
  if (FileSize64(file, size) && size > kMaxDataFile) return kErrOutOfMemory;
  std::string text;
  if (!ReadWholeFile(file, text)) return kErrNotAccessible;
  lines = ParseData(text);
  return 0;
}

// Replaces the file through a temporary file in the same folder, so that a
// failed write never leaves a half-written data file behind.
int SaveData(const std::string& file, const std::vector<std::string>& lines) {
  std::string folder = FolderPart(FullPathName(file));
  if (folder.empty()) folder = ".\\";
  if (!FolderExists(folder)) return kErrNotReachable;
  char tmp[MAX_PATH + 1];
  if (!GetTempFileNameA(folder.c_str(), "kdt", 0, tmp)) return LanguageError(GetLastError());
  std::string body;
  for (const std::string& l : lines) {
    body += l;
    body += "\r\n";
  }
  HANDLE h = CreateFileA(tmp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DeleteFileA(tmp);
    return kErrNotAccessible;
  }
  DWORD w = 0;
  const bool ok = body.empty() || (WriteFile(h, body.data(), static_cast<DWORD>(body.size()), &w, nullptr) &&
                                   w == body.size());
  CloseHandle(h);
  if (!ok) {
    DeleteFileA(tmp);
    return kErrDiskFull;
  }
  const DWORD old = GetFileAttributesA(file.c_str());
  if (old != INVALID_FILE_ATTRIBUTES && (old & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    DeleteFileA(tmp);
    return kErrNotAccessible;
  }
  if (!MoveFileExA(tmp, file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD e = GetLastError();
    DeleteFileA(tmp);
    return LanguageError(e);
  }
  // The new file keeps the hidden and system marks of the old one.
  if (old != INVALID_FILE_ATTRIBUTES && (old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
    SetFileAttributesA(file.c_str(), old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
  return 0;
}

bool ValidDataName(const std::string& name) {
  return !name.empty() && name.find('=') == std::string::npos && !HoldsLineBreak(name) && name[0] != ';';
}

}  // namespace

// DATAGET file,name: the value of the entry. DATAGET file: every entry, as
// "name=value", into the DATA list; the result is their count.
void CmdDataGet(Interp& in, Ctx&) {
  in.line.result.clear();
  const std::string file = PathField(in, 1);
  const std::string name = TrimBlanks(FieldUnquoted(in, 2));
  if (file.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (RefusePath(in, file)) return;
  std::vector<DataLine> lines;
  if (const int e = LoadData(file, lines)) {
    in.err.code = e;
    return;
  }
  if (FieldCount(in) < 2) {
    auto& data = in.vars.Sys(SysList::DATA);
    data.clear();
    for (const DataLine& d : lines)
      if (d.entry) data.push_back(d.name + "=" + TrimBlanks(d.text.substr(d.valueAt)));
    in.line.result = IntText(static_cast<int64_t>(data.size()));
    return;
  }
  if (!ValidDataName(name)) {
    in.err.code = kErrUsage;
    return;
  }
  for (const DataLine& d : lines)
    if (d.entry && EqualsNoCase(d.name, name)) {
      in.line.result = TrimBlanks(d.text.substr(d.valueAt));
      return;
    }
  in.line.result.clear();
  in.err.code = kErrUsage;
}

// DATAPUT file,name,value sets an entry (the value runs to the end of the
// line); DATAPUT file,name removes it; DATAPUT file writes the DATA list as
// the whole file.
void CmdDataPut(Interp& in, Ctx&) {
  const std::string file = PathField(in, 1);
  if (file.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (RefusePath(in, file)) return;
  std::vector<std::string> out;
  if (FieldCount(in) < 2) {
    for (const std::string& l : in.vars.Sys(SysList::DATA)) {
      if (HoldsLineBreak(l)) {
        in.err.code = kErrUsage;
        return;
      }
      out.push_back(l);
    }
    in.err.code = SaveData(file, out);
    return;
  }
  const std::string name = TrimBlanks(FieldUnquoted(in, 2));
  const bool remove = FieldCount(in) < 3;
  const std::string value = remove ? std::string() : ArgsFromField(in, 3);
  if (!ValidDataName(name) || HoldsLineBreak(value)) {
    in.err.code = kErrUsage;
    return;
  }
  std::vector<DataLine> lines;
  if (const int e = LoadData(file, lines); e && !(e == 53 && !remove && !FolderExists(file))) {
    in.err.code = e;
    return;
  }
  bool done = false;
  for (const DataLine& d : lines) {
    if (d.entry && EqualsNoCase(d.name, name)) {
      // The first entry of that name takes the value; later ones go.
      if (!remove && !done) out.push_back(d.text.substr(0, d.valueAt) + value);
      done = true;
      continue;
    }
    out.push_back(d.text);
  }
  if (remove && !done) {
    in.err.code = kErrUsage;
    return;
  }
  if (!done) out.push_back(name + "=" + value);
  in.err.code = SaveData(file, out);
}

}  // namespace kes
