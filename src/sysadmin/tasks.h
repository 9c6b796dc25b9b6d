// Running processes: enumeration (the tool-help snapshot, or the
// performance data on NT 4), ending and waiting for processes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// Fills in.programs.taskNames and taskIds with the running processes.
// Test switch: KES_TEST_TASKLIST=perfdata takes the performance-data way
// even where the snapshot functions exist.
void EnumerateProcesses(Interp& in);

// The ID of the last process in the enumeration whose file name equals name
// (ignoring case), leaving out the interpreter itself; 0 when none.
uint32_t FindProcessByName(Interp& in, std::string_view name);

// Ends a process: 0 or the Windows error.
uint32_t TerminateProcessById(uint32_t pid);

// Waits, with the windows answering, until the process has ended or a stop
// is requested.
void WaitProcessEnd(Interp& in, uint32_t pid);

}  // namespace kes
