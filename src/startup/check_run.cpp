// Kestrova.exe /CHECK script[,report]: loads the script as a run would (the
// loader, its INCLUDE pass and its label and sub tables), checks it without
// running a line, and reports one problem per line.
#include <windows.h>

#include "interp/dispatcher.h"
#include "script/checker.h"
#include "script/loader.h"
#include "startup/console.h"
#include "startup/startup.h"

namespace kes {

namespace {

WordStatus StatusOf(std::string_view word) {
  const CommandWord* w = FindCommand(word);
  if (!w) return WordStatus::Unknown;
  return w->row->handler ? WordStatus::Known : WordStatus::NotBuilt;
}

bool Preset(void* ctx, std::string_view name) { return !GetVariable(*static_cast<Interp*>(ctx), name).empty(); }

void WriteAll(HANDLE h, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    DWORD n = 0;
    if (!WriteFile(h, text.data() + done, static_cast<DWORD>(text.size() - done), &n, nullptr) || n == 0) return;
    done += n;
  }
}

// A name without a drive or "\\" is taken in the folder the program was
// started from (start-up has moved to the executable's folder).
std::string FullName(const Interp& in, std::string name) {
  RemoveChar(name, '"');
  name = Trim(name);
  if (name.empty() || StartsWith(name, "\\\\") || (name.size() >= 2 && name[1] == ':') ||
      StartsWithNoCase(name, "http://") || StartsWithNoCase(name, "https://"))
    return name;
  std::string folder = in.mach.launchFolder;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + name;
}

// script.kes gives script.chk beside it.
std::string DefaultReport(const std::string& script) {
  const size_t slash = script.find_last_of("\\/");
  const size_t dot = script.rfind('.');
  const std::string stem =
      dot != std::string::npos && (slash == std::string::npos || dot > slash) ? script.substr(0, dot) : script;
  return stem + ".chk";
}

}  // namespace

[[noreturn]] void RunCheck(Interp& in, std::string_view request) {
  const std::vector<std::string> parts = SplitPlain(request, ",");
  const std::string script = FullName(in, parts.empty() ? std::string() : parts[0]);
  const std::string report =
      parts.size() > 1 && !Trim(parts[1]).empty() ? FullName(in, parts[1]) : DefaultReport(script);

  std::vector<Problem> problems;
  ScriptLevel level;
  CheckInput input;
  input.file = script;
  in.err.code = 0;
  if (script.empty()) {
    problems.push_back(Problem{"Kestrova", 0, "usage: Kestrova.exe /CHECK script[,report]", false});
  } else if (!ObtainScript(in, script, true, level)) {
    problems.push_back(Problem{script, 0, "the script cannot be read", false});
  } else if (!BuildLineStore(in, level, &input.includes)) {
    problems.push_back(Problem{script, 0, "the script has more lines than a script may hold", false});
  } else {
    input.level = &level;
    input.word = StatusOf;
    input.preset = Preset;
    input.presetCtx = &in;
    problems = CheckScript(input);
  }

  std::string text;
  int count = 0;
  for (const Problem& p : problems) {
    text += FormatProblem(p) + "\r\n";
    if (!p.hint) ++count;
  }
  ConsoleWrite(text);
  if (!script.empty()) {
    HANDLE f = CreateFileA(report.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
      WriteAll(f, text);
      CloseHandle(f);
    }
  }
  ExitProcess(static_cast<UINT>(count));
}

}  // namespace kes
