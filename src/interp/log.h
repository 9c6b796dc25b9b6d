// The log file (the error texts are in interp/errors.h).
#pragma once

#include <string>
#include <string_view>

#include "interp/errors.h"
#include "interp/interp.h"

namespace kes {

// Writes one log entry: the dated header before the first entry of a run, the
// time, the computer, the error and the script location, then the text.
void WriteLog(Interp& in, std::string_view text);

// The identification lines shown by the "A propos de" box and written at the
// head of a run's log.
std::string IdentificationText();

}  // namespace kes
