// The trace: the window that shows and paces a running script, and the
// trace file. The runner and the dispatcher call the entry points below for
// every line and record; they do nothing while tracing is off.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// An event: ">" the current line is about to run, "ERR" its error record
// after it ran, "IF" with "TRUE" or "FALSE", "SWITCH" with "depth,matched"
// (matched 1 or 0), "ON" and "OFF" open and close the window.
void TraceEvent(Interp& in, std::string_view kind, std::string_view text);
// A record left for the next traced line ("OPEN CALL (...)", "Close Call
// (...)", "Begin ( IGNOREBOX )", "End ...").
void TraceText(Interp& in, std::string_view text);
// A new line of the runner: copies the line at index and the six following
// ones into the view.
void TraceView(Interp& in, int index);
// Turns tracing on (the TRACE word of the command line).
void TraceStart(Interp& in);

// The window, the speed setting (0 step by step, 1 slow, 2 high), TRACE
// ERROR, and the trace file (0, or the language error of the open).
void TraceOpen(Interp& in);
void TraceClose(Interp& in);
void TraceSetSpeed(Interp& in, int speed);
void TraceErrorWatch(Interp& in, bool on);
int32_t TraceFileOpen(Interp& in, const std::string& path);
void TraceFileClose(Interp& in);
// Shows the variables again (after a line of the immediate window).
void TraceRefresh(Interp& in);

}  // namespace kes
