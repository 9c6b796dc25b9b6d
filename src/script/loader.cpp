#include "script/loader.h"

#include <windows.h>

#include "interp/log.h"
#include "net/http.h"
#include "packaging/package.h"
#include "packaging/package_format.h"
#include "script/prepare.h"
#include "startup/childmode.h"

namespace kes {

bool ReadWholeFile(const std::string& path, std::string& out) {
  out.clear();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h, &size) || size.QuadPart > 0x7FFF0000LL) {
    CloseHandle(h);
    return false;
  }
  out.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < out.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(out.size() - done, 1 << 24));
    if (!ReadFile(h, &out[done], want, &got, nullptr) || got == 0) break;
    done += got;
  }
  out.resize(done);
  CloseHandle(h);
  return true;
}

std::string UnscrambleLine(std::string_view line) { return DecodeProtected(line); }
std::string ScrambleLine(std::string_view line) { return EncodeProtected(line); }

namespace {

// A text whose first 1024 characters hold no CR LF has LF line ends: each LF
// becomes CR LF. A CR LF further on stays as it is, so a script whose first
// line is longer than 1024 characters keeps its lines.
void NormaliseLineEnds(std::string& t) {
  if (std::string_view(t).substr(0, 1024).find("\r\n") != std::string_view::npos) return;
  std::string out;
  out.reserve(t.size() + t.size() / 16);
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\n' && (i == 0 || t[i - 1] != '\r')) out += '\r';
    out += t[i];
  }
  t.swap(out);
}

// Scripts saved by common editors: a UTF-8 byte-order mark is skipped, and a
// UTF-16 text (little or big endian, told by its byte-order mark) becomes
// text of the ANSI code page, which is what every line is read as. What was
// done goes to the log.
void DecodeEditorText(Interp& in, std::string& t) {
  // The mark of scrambled scripts and packages begins with the bytes of a
  // big-endian mark: such a text is not an editor's.
  if (StartsWith(t, kScrambleMark)) return;
  if (t.size() >= 3 && t.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    t.erase(0, 3);
    WriteLog(in, "UTF-8 byte-order mark skipped");
    return;
  }
  if (t.size() < 2) return;
  const bool little = t[0] == '\xFF' && t[1] == '\xFE';
  const bool big = t[0] == '\xFE' && t[1] == '\xFF';
  if (!little && !big) return;
  std::wstring w((t.size() - 2) / 2, L'\0');
  for (size_t i = 0; i < w.size(); ++i) {
    const auto a = static_cast<unsigned char>(t[2 + 2 * i]), b = static_cast<unsigned char>(t[3 + 2 * i]);
    w[i] = static_cast<wchar_t>(little ? a | (b << 8) : (a << 8) | b);
  }
  std::string out;
  if (!w.empty()) {
    const int n = WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), &out[0], n, nullptr, nullptr);
  }
  t.swap(out);
  WriteLog(in, little ? "UTF-16 script read as ANSI text" : "UTF-16 big-endian script read as ANSI text");
}

}  // namespace

namespace {

bool FileExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

void SplitPath(std::string_view path, char sep, ScriptLevel& level) {
  const size_t p = path.rfind(sep);
  if (p == std::string_view::npos) {
    level.folder.clear();
    level.name.assign(path);
  } else {
    level.folder.assign(path.substr(0, p));
    level.name.assign(path.substr(p + 1));
  }
}

// Reads a local script file; an empty one is deleted again.
bool ReadLocalScript(Interp& in, const std::string& path, bool reportMissing, std::string& text) {
  if (!FileExists(path) || !ReadWholeFile(path, text)) {
    if (reportMissing) in.err.code = kErrNotFound;
    return false;
  }
  if (text.empty()) {
    DeleteFileA(path.c_str());
    return false;
  }
  return true;
}

}  // namespace

bool ObtainScript(Interp& in, std::string_view source, bool reportMissing, ScriptLevel& level) {
  std::string text;
  bool fetched = false;
  std::string cacheCopy;
  level.scrambled = false;
  level.unscrambled = false;
  level.numbered = false;
  if (source == "$$") {
    text = in.run.commandText;
    level.name = "ADMIN";
    level.folder = in.mach.exeFolder.empty() ? std::string() : in.mach.exeFolder.substr(0, in.mach.exeFolder.size() - 1);
    if (text.empty()) return false;
  } else if (!source.empty() && source[0] == '$') {
    // Child mode: the lines come from the calling instance.
    if (!ChildModeText(in, source.substr(1), text)) return false;
    level.name = "ADMIN";
    level.folder.clear();
    level.numbered = true;
    in.mach.childMode = true;
    if (text.empty()) return false;
  } else if (in.mach.packaged) {
    // The script travels inside the executable itself.
    if (!PackagedScriptText(in, source, text)) return false;
    SplitPath(in.mach.exePath, '\\', level);
    level.folder = GetVariable(in, "HOMEDIR");
    if (text.empty()) return false;
    level.text.swap(text);
    return true;
  } else if (StartsWith(source, "\\\\") || (source.size() >= 2 && source[1] == ':')) {
    const std::string path(source);
    if (!ReadLocalScript(in, path, reportMissing, text)) return false;
    SplitPath(path, '\\', level);
  } else {
    // Any other name is an address for the HTTP client; when the fetch fails
    // only the copy in the cache folder can be read.
    SplitPath(source, '/', level);
    if (HttpFetchScript(in, source, text, cacheCopy)) {
      fetched = true;
    } else if (cacheCopy.empty() || !ReadLocalScript(in, cacheCopy, reportMissing, text)) {
      if (cacheCopy.empty() && reportMissing) in.err.code = kErrNotFound;
      return false;
    }
    if (text.empty()) return false;
  }

  DecodeEditorText(in, text);
  // Content: a package file, a scrambled script, or plain text.
  if (StartsWith(text, kScrambleMark)) {
    if (text.size() >= 2 * kScrambleMark.size() && EndsWith(text, kScrambleMark)) {
      if (fetched && !cacheCopy.empty()) WriteCacheCopy(cacheCopy, text);
      std::string script;
      if (!PackageFileScript(in, std::string_view(text).substr(10, text.size() - 20), script)) return false;
      text.swap(script);
    } else {
      level.scrambled = true;
      text.erase(0, kScrambleMark.size());
    }
  } else if (in.mach.pluginBuild) {
    in.mach.plugin = true;
    return false;
  }
  NormaliseLineEnds(text);
  level.text.swap(text);
  return true;
}

namespace {

bool IsIncludeLine(std::string_view l) { return l.size() >= 8 && Upper(l.substr(0, 8)) == "INCLUDE "; }

// Appends the lines of an INCLUDE file to the text; false when it cannot be
// opened. `clean` receives the file name as it was looked for, `added` the
// number of lines appended.
bool AppendInclude(Interp& in, std::string_view field, std::string& text, std::string& clean, int& added) {
  std::string name(field.substr(8));
  clean.clear();
  added = 0;
  for (char c : name)
    if (c != '\t' && c != ' ' && c != '"') clean += c;
  UpperInPlace(clean);
  in.Subst(clean);
  std::string body;
  if (clean.empty() || !FileExists(clean) || !ReadWholeFile(clean, body)) return false;
  DecodeEditorText(in, body);
  NormaliseLineEnds(body);
  // Lines as a text reader gives them: the last line needs no line end.
  std::vector<std::string> lines = SplitPlain(body, "\r\n");
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  for (const auto& l : lines) {
    text += l;
    text += "\r\n";
  }
  added = static_cast<int>(lines.size());
  return true;
}

}  // namespace

namespace {

// Lines numbered 1 to 32767 fit the 16-bit line numbers; the empty fields
// left by the final line ends do not count.
bool TooManyLines(const std::vector<std::string>& fields) {
  size_t n = fields.size();
  while (n > 0 && fields[n - 1].empty()) --n;
  return n > static_cast<size_t>(kMaxScriptLines);
}

}  // namespace

bool BuildLineStore(Interp& in, ScriptLevel& level, IncludeReport* report) {
  std::vector<std::string> fields = SplitPlain(level.text + "\r\n", "\r\n");
  if (TooManyLines(fields)) {
    in.err.code = kErrOverflow;
    return false;
  }
  // INCLUDE pass: included lines follow the last line of the script.
  bool included = false;
  const size_t original = fields.size();
  std::string text = level.text;
  if (!EndsWith(text, "\r\n")) text += "\r\n";
  int lines = 0;  // lines of the text so far: included lines start after them
  for (size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2)) ++lines;
  for (size_t i = 0; i < original; ++i) {
    if (!IsIncludeLine(fields[i])) continue;
    included = true;
    std::string name;
    int added = 0;
    if (!AppendInclude(in, fields[i], text, name, added)) {
      // The checker notes the missing file and reads on; a run stops here.
      if (report) {
        report->missing.push_back(IncludedFile{name, lines, 0, static_cast<int>(i)});
        continue;
      }
      in.err.code = kErrMissingPartner;
      return false;
    }
    if (report) report->files.push_back(IncludedFile{name, lines, added, static_cast<int>(i)});
    lines += added;
  }
  if (included) {
    fields = SplitPlain(text, "\r\n");
    if (TooManyLines(fields)) {
      in.err.code = kErrOverflow;
      return false;
    }
  }

  level.labels.clear();
  level.subs.clear();
  const bool unscramble = (level.scrambled || in.sw.codecall) && !level.unscrambled;
  std::string newText;
  newText.reserve(text.size());
  level.lines.assign(fields.size() + 1, std::string());
  for (size_t i = 0; i < fields.size(); ++i) {
    std::string l = std::move(fields[i]);
    if (level.numbered) {
      l.erase(0, std::min<size_t>(6, l.size()));
      DecodeBlockLine(l);
    }
    if (unscramble) l = UnscrambleLine(l);
    if (IsIncludeLine(l)) l.clear();
    newText += l;
    newText += "\r\n";
    TableLabelOrSub(level, l, static_cast<int>(i));
    level.lines[i] = std::move(l);
  }
  level.lineCount = static_cast<int>(fields.size());
  if (unscramble) level.unscrambled = true;
  level.numbered = false;  // the stored text is plain from now on
  level.text.swap(newText);
  return true;
}

}  // namespace kes
