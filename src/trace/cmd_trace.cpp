// TRACE: opens and closes the trace window, sets its speed, watches for the
// first failed line, and records to a trace file.
#include "interp/commands.h"
#include "trace/trace.h"

namespace kes {

void CmdTrace(Interp& in, Ctx&) {
  const std::string& w = in.line.second;
  // the words after the second one
  std::string_view rest = TrimView(in.line.args);
  rest = TrimView(rest.substr(std::min(rest.size(), w.size())));
  if (w == "ON") {
    TraceOpen(in);
  } else if (w == "OFF") {
    TraceErrorWatch(in, false);
    TraceClose(in);
  } else if (w == "SLOW") {
    TraceSetSpeed(in, 1);
  } else if (w == "HIGH") {
    TraceSetSpeed(in, 2);
  } else if (w == "ERROR") {
    TraceErrorWatch(in, !EqualsNoCase(rest, "OFF"));
  } else if (w == "FILE") {
    std::string path = Unquote(rest, in.sep.quote);
    if (path.empty()) {
      in.err.code = kErrUsage;
    } else if (EqualsNoCase(path, "OFF")) {
      TraceFileClose(in);
    } else if (!RefusePath(in, path)) {
      if (const int32_t e = TraceFileOpen(in, path)) in.err.code = e;
    }
  } else if (w.empty()) {
    in.err.code = kErrUsage;
  } else {
    in.err.code = kErrNoHandler;
  }
}

}  // namespace kes
