// Starting programs.
#pragma once

#include <string>

namespace kes {

// Starts a command line without waiting; the window is hidden when asked.
// Returns 0 or the Windows error number.
unsigned long StartProcess(const std::string& commandLine, bool hidden);

}  // namespace kes
