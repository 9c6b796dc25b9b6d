// The light interpreter (KesLight.exe) has no trace window, no trace file and
// no immediate window: the trace entry points do nothing, TRACE on the
// command line is ignored, and the TRACE and IMMEDIATE commands are accepted
// without effect.
#include "interp/commands.h"
#include "trace/trace.h"

namespace kes {

void TraceEvent(Interp&, std::string_view, std::string_view) {}
void TraceText(Interp&, std::string_view) {}
void TraceView(Interp&, int) {}
void TraceStart(Interp&) {}
void TraceOpen(Interp&) {}
void TraceClose(Interp&) {}
void TraceSetSpeed(Interp&, int) {}
void TraceErrorWatch(Interp&, bool) {}
int32_t TraceFileOpen(Interp&, const std::string&) { return 0; }
void TraceFileClose(Interp&) {}
void TraceRefresh(Interp&) {}
void CmdTrace(Interp&, Ctx&) {}
void CmdImmediate(Interp&, Ctx&) {}

}  // namespace kes
