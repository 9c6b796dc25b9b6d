// The light interpreter (KesLight.exe) has no trace window: the trace entry
// points do nothing and TRACE on the command line is ignored.
#include "trace/trace.h"

namespace kes {

void TraceEvent(Interp&, std::string_view, std::string_view) {}
void TraceText(Interp&, std::string_view) {}
void TraceView(Interp&, int) {}
void TraceStart(Interp&) {}

}  // namespace kes
