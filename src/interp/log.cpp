#include "interp/log.h"

#include <windows.h>

#include <cstdio>

#include "interp/version.h"

namespace kes {

std::string IdentificationText() {
  std::string s;
  s += kProductName;
  s += "\r\nVersion ";
  s += kProductVersion;
  s += "\r\nBuild ";
  s += kBuildDate;
  s += "\r\n";
  s += kCopyright;
  s += "\r\n";
  return s;
}

void WriteLog(Interp& in, std::string_view text) {
  if (in.log.stop != 0 || in.log.dir.empty()) return;

  std::string errPart;
  const char* errText = "";
  if (in.err.code > 0) {
    errPart = "ERROR=" + std::to_string(in.err.code) + " ";
    errText = ErrorText(in.err.code);
  }
  std::string loc;
  for (int d = 0; d <= in.run.callDepth && d < static_cast<int>(in.run.frames.size()); ++d) {
    const Frame& f = in.run.frames[static_cast<size_t>(d)];
    if (f.name.empty()) continue;
    loc += f.name + " (" + std::to_string(f.line) + ") ";
  }
  if (!loc.empty()) loc.pop_back();

  if (in.log.fileName.empty()) {
    std::string dir = in.log.dir;
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    in.log.fileName = dir + in.mach.userName + ".log";
  }

  SYSTEMTIME t;
  GetLocalTime(&t);
  char hms[16];
  std::snprintf(hms, sizeof hms, "%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
  const std::string computer = Upper(in.mach.computerName);

  // A protected value decoded into a line shows as @NAME@ here too.
  const std::string shown = in.log.revealed.Hide(text);
  text = shown;
  std::string entry;
  if (in.sw.logmute) {
    entry.assign(text);
  } else {
    if (in.log.headerPending) {
      char dmy[16];
      std::snprintf(dmy, sizeof dmy, "%02u/%02u/%04u", t.wDay, t.wMonth, t.wYear);
      entry += std::string(dmy) + " " + hms + " \\\\" + computer + " " + GetVariable(in, "OS") + " " +
               in.run.ScriptName() + "\r\n";
    }
    if (!text.empty()) {
      // Every line break, CR LF or a lone LF or CR, becomes " | ".
      std::string body(text);
      ReplaceAll(body, "\r\n", " | ");
      ReplaceAll(body, "\n", " | ");
      ReplaceAll(body, "\r", " | ");
      entry += std::string(" ") + hms + " \\\\" + computer + " " + errPart + loc + " > " + body;
      if (*errText) entry += std::string(" (") + errText + ") ";
    }
  }

  HANDLE h = CreateFileA(in.log.fileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER size{};
  GetFileSizeEx(h, &size);
  if (size.QuadPart > in.log.maxSize) {
    SetFilePointer(h, 0, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
  }
  SetFilePointer(h, 0, nullptr, FILE_END);
  std::string out;
  if (in.log.headerPending) {
    in.log.headerPending = false;
    out += IdentificationText();
  }
  // The entry is one line; the header alone already ends with its line break.
  out += entry;
  if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0) out += "\r\n";
  DWORD written = 0;
  if (!out.empty()) WriteFile(h, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
  CloseHandle(h);
}

}  // namespace kes
