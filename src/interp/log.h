// The error-text table and the log file.
#pragma once

#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// The text of an error code for log entries; empty when the code has none.
const char* ErrorText(int32_t code);

// Writes one log entry: the dated header before the first entry of a run, the
// time, the computer, the error and the script location, then the text.
void WriteLog(Interp& in, std::string_view text);

// The identification lines shown by the "A propos de" box and written at the
// head of a run's log.
std::string IdentificationText();

}  // namespace kes
