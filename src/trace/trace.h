// The trace window's entry points used by the runner and the dispatcher. The
// window itself steps and shows a running script; until it is opened these
// calls do nothing.
#pragma once

#include <string_view>

#include "interp/interp.h"

namespace kes {

// An event for the current line: ">" a line run, "ERR" its error record.
void TraceEvent(Interp& in, std::string_view kind, std::string_view text);
// A text line of the call trace ("OPEN CALL (...)", "Close Call (...)").
void TraceText(Interp& in, std::string_view text);
// Copies the current line and the six following ones into the view.
void TraceView(Interp& in, int index);
// Turns tracing on (the TRACE word of the command line).
void TraceStart(Interp& in);

}  // namespace kes
