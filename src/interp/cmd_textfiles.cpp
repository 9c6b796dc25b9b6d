// Commands on text files: OEM/ANSI conversion, UTF-16 to ANSI, inserting,
// substituting and deleting lines, and reading a file line after line.
//
// Files are edited through a work file written beside the original and then
// moved over it, so a failed step leaves the original whole. Lines keep their
// own endings and bytes, so binary content survives an edit. Files that begin
// with a UTF-16 byte-order mark are refused by the line commands (error 1):
// editing them byte-wise would break them; UNICODEANSI converts them first.
#include <windows.h>

#include "interp/commands.h"
#include "interp/strops.h"
#include "interp/workfile.h"

namespace kes {

namespace {

// Reads a text file for a line command: errors as above, and 1 for UTF-16.
int ReadTextFile(const std::string& path, std::string& bytes) {
  const int e = ReadFileBytes(path, bytes, false);
  if (e) return e;
  return HasUtf16Bom(bytes) ? kErrUsage : 0;
}

// Reads a text file into its lines; false (with the error code set) when it
// cannot be read.
bool LoadTextLines(Interp& in, const std::string& file, TextLines& t) {
  std::string bytes;
  if (const int e = ReadTextFile(file, bytes)) {
    in.err.code = e;
    return false;
  }
  t = SplitLines(bytes);
  return true;
}

// A line number argument: digits only, not quoted.
bool LineNumber(std::string_view s, size_t& n) {
  if (!AllDigits(s) || s.size() > 9) return false;
  n = static_cast<size_t>(std::stoul(std::string(s)));
  return true;
}

std::string OemAnsi(std::string_view s, bool toAnsi) {
  std::string out(s);
  if (!out.empty()) {
    if (toAnsi) OemToCharBuffA(out.data(), out.data(), static_cast<DWORD>(out.size()));
    else CharToOemBuffA(out.data(), out.data(), static_cast<DWORD>(out.size()));
  }
  return out;
}

}  // namespace

// DOSANSILINE text / ANSIDOSLINE text convert the argument text; DOSANSI file
// / ANSIDOS file convert a whole file in place, line by line.
void CmdOemAnsi(Interp& in, Ctx& c) {
  const OemAnsiWord w = c.Word<OemAnsiWord>();
  const bool toAnsi = w == OemAnsiWord::DosAnsi || w == OemAnsiWord::DosAnsiLine;
  if (w == OemAnsiWord::DosAnsiLine || w == OemAnsiWord::AnsiDosLine) {
    in.line.result = OemAnsi(WholeText(in), toAnsi);
    return;
  }
  const std::string file = FieldUnquoted(in, 1);
  TextLines t;
  if (!LoadTextLines(in, file, t)) return;
  for (auto& l : t.body) l = OemAnsi(l, toAnsi);
  in.err.code = ReplaceThroughWorkFile(file, t.Join());
}

// UNICODEANSI source[, target]: a UTF-16 file (little- or big-endian, with or
// without byte-order mark) converted to ANSI, in place or into target. A file
// that is not UTF-16 is left alone with error 1. The result is the number of
// characters converted.
void CmdUnicodeAnsi(Interp& in, Ctx&) {
  const std::string file = FieldUnquoted(in, 1);
  std::string target = FieldUnquoted(in, 2);
  if (target.empty()) target = file;
  std::string bytes;
  if (const int e = ReadFileBytes(file, bytes, false)) {
    in.err.code = e;
    return;
  }
  std::string out;
  if (!bytes.empty()) {
    bool bom = false;
    const int order = Utf16Order(bytes, bom);
    if (order == 0 || bytes.size() % 2 != 0) {
      in.err.code = kErrUsage;
      return;
    }
    const size_t skip = bom ? 2 : 0;
    std::wstring wide((bytes.size() - skip) / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
      const unsigned char a = static_cast<unsigned char>(bytes[skip + 2 * i]);
      const unsigned char b = static_cast<unsigned char>(bytes[skip + 2 * i + 1]);
      wide[i] = static_cast<wchar_t>(order == 1 ? (b << 8 | a) : (a << 8 | b));
    }
    if (!wide.empty()) {
      const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                        nullptr);
      out.resize(static_cast<size_t>(n > 0 ? n : 0));
      if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    }
    in.line.result = std::to_string(wide.size());
  } else {
    in.line.result = "0";
  }
  if (const int e = ReplaceThroughWorkFile(target, out)) {
    in.err.code = e;
    in.line.result.assign(kNoResult);
  }
}

// INSERT file, n, text: text becomes line n (past the end: appended); the
// result is the new line count.
// SUBSTITU file, n, text: line n is replaced by text (error 1 past the end).
// SUBSTITU file, search, replacement (search not a plain number, or quoted):
// every occurrence of search is replaced; the result is their number.
void CmdInsertText(Interp& in, Ctx& c) {
  const std::string file = FieldUnquoted(in, 1);
  if (file.empty() || FieldCount(in) < 3) {
    in.err.code = kErrUsage;
    return;
  }
  const bool insert = c.Word<InsertTextWord>() == InsertTextWord::Insert;
  size_t n = 0;
  const bool numbered = LineNumber(Field(in, 2), n);
  const std::string text = TextAfter(in.line.args, 2, in.Sep(), in.sep.quote);
  if ((insert && (!numbered || n == 0)) || (numbered && n == 0)) {
    in.err.code = kErrUsage;
    return;
  }
  TextLines t;
  if (!LoadTextLines(in, file, t)) return;
  size_t count;
  if (insert) {
    InsertLine(t, n, text);
    count = t.Count();
  } else if (numbered) {
    if (n > t.Count()) {
      in.err.code = kErrUsage;
      return;
    }
    t.body[n - 1] = text;
    count = 1;
  } else {
    const std::string search = FieldUnquoted(in, 2);
    if (search.empty()) {
      in.err.code = kErrUsage;
      return;
    }
    count = SubstituteInLines(t, search, text);
    if (count == 0) {
      in.line.result = "0";
      return;
    }
  }
  if (const int e = ReplaceThroughWorkFile(file, t.Join())) {
    in.err.code = e;
    return;
  }
  in.line.result = std::to_string(count);
}

// DELLINE file, n[, count]: deletes count lines (default 1) from line n.
// DELLINE file, text (not a plain number, or quoted): deletes every line that
// contains text, or matches it as a wildcard pattern when it holds "*"; the
// case flag applies. The result is the number of lines deleted; the file is
// rewritten only when one was.
void CmdDelLine(Interp& in, Ctx&) {
  const std::string file = FieldUnquoted(in, 1);
  const std::string& f2 = Field(in, 2);
  if (file.empty() || f2.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  size_t n = 0, count = 1;
  const bool numbered = LineNumber(f2, n);
  if (numbered && (n == 0 || (FieldCount(in) >= 3 && (!LineNumber(Field(in, 3), count) || count == 0)))) {
    in.err.code = kErrUsage;
    return;
  }
  TextLines t;
  if (!LoadTextLines(in, file, t)) return;
  TextLines kept;
  const std::string pattern = FieldUnquoted(in, 2);
  size_t deleted = 0;
  for (size_t i = 0; i < t.Count(); ++i) {
    const bool del = numbered ? (i + 1 >= n && i + 1 - n < count) : LineMatches(t.body[i], pattern, in.sw.caseInsensitive);
    if (del) {
      ++deleted;
      continue;
    }
    kept.body.push_back(std::move(t.body[i]));
    kept.ends.push_back(std::move(t.ends[i]));
  }
  if (deleted) {
    // When the old last line went, the new last line keeps its ending, so
    // the file still ends the way it did up to that line.
    if (const int e = ReplaceThroughWorkFile(file, kept.Join())) {
      in.err.code = e;
      return;
    }
  }
  in.line.result = std::to_string(deleted);
}

namespace {

// A line longer than this is returned in pieces, so a binary file without
// line ends cannot exhaust memory.
constexpr size_t kMaxLineBytes = 1u << 20;

}  // namespace

// LINENEXT file gives the next line of the file on each call (CR LF or LF
// ends a line) and the character 26 past the end; LINENEXT file, TOP starts
// again and gives the first line.
void CmdLineNext(Interp& in, Ctx&) {
  const std::string file = FieldUnquoted(in, 1);
  const std::string opt = Upper(Field(in, 2));
  if (file.empty() || (!opt.empty() && opt != "TOP")) {
    in.err.code = kErrUsage;
    return;
  }
  char full[MAX_PATH * 2];
  const DWORD fl = GetFullPathNameA(file.c_str(), sizeof full, full, nullptr);
  const std::string key = Upper(fl > 0 && fl < sizeof full ? std::string(full, fl) : file);
  auto& positions = in.files.linePositions;
  const DWORD attr = GetFileAttributesA(file.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY)) {
    positions.erase(key);
    in.err.code = attr == INVALID_FILE_ATTRIBUTES ? LanguageError(GetLastError(), WinErrorUse::Open) : kErrNotFound;
    return;
  }
  HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    in.err.code = LanguageError(GetLastError(), WinErrorUse::Open);
    return;
  }
  unsigned long long& pos = positions[key];
  if (opt == "TOP") pos = 0;
  char head[2] = {0, 0};
  DWORD got = 0;
  if (pos == 0 && ReadFile(h, head, 2, &got, nullptr) && got == 2 && HasUtf16Bom(std::string_view(head, 2))) {
    CloseHandle(h);
    in.err.code = kErrUsage;
    return;
  }
  LARGE_INTEGER li;
  li.QuadPart = static_cast<LONGLONG>(pos);
  SetFilePointerEx(h, li, nullptr, FILE_BEGIN);
  std::string line;
  bool any = false, ended = false;
  char buf[4096];
  while (!ended && line.size() < kMaxLineBytes) {
    got = 0;
    if (!ReadFile(h, buf, sizeof buf, &got, nullptr) || got == 0) break;
    any = true;
    size_t take = got;
    for (size_t i = 0; i < got; ++i)
      if (buf[i] == '\n') {
        take = i + 1;
        ended = true;
        break;
      }
    if (line.size() + take > kMaxLineBytes && !ended) take = kMaxLineBytes - line.size();
    line.append(buf, take);
    pos += take;
  }
  CloseHandle(h);
  if (!any) {
    in.line.result = kAbsent;
    return;
  }
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  in.line.result = std::move(line);
}

}  // namespace kes
