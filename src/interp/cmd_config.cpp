// Configuration commands (folders, limits, log file, environment) and LOG.
#include <windows.h>

#include "interp/commands.h"
#include "interp/log.h"

namespace kes {

// DIRLOG path is SET DIRLOG=path: the trimmed, unquoted argument is the
// result, which the dispatcher assigns to the variable of that name.
void CmdConfig(Interp& in, Ctx&) { in.line.result = WholeArg(in); }

void CmdSetEnv(Interp& in, Ctx&) {
  const std::string& a = in.line.args;
  const size_t eq = a.find('=');
  if (eq == std::string::npos) {
    in.err.code = kErrUsage;
    return;
  }
  const std::string name = Trim(std::string_view(a).substr(0, eq));
  const std::string value = a.substr(eq + 1);
  if (name.empty() || !SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str()))
    in.err.code = name.empty() ? kErrUsage : static_cast<int32_t>(GetLastError());
}

// LOG substitutes its own text with protected values shown as @NAME@.
void CmdLog(Interp& in, Ctx&) {
  std::string w, text;
  SplitCommandWord(in.line.commandText, w, text);
  in.protectedDisplay = true;
  in.Subst(text);
  in.protectedDisplay = false;
  WriteLog(in, text);
}

}  // namespace kes
