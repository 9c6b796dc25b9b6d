// Services: the SERVICE operations against the service control manager
// (cmd_services.cpp) and the service mode, in which the interpreter runs a
// SUB of its script as the body of a Windows service (service_mode.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// The current state of a service (SERVICE STATUS): 1 stopped ... 7 paused;
// 0 with the error code set when the service cannot be opened.
uint32_t QueryServiceState(Interp& in, std::string_view reference);

// SERVICE CALLSUB,name: registers the process as the service `name` and runs
// the SUB of that name as its body; returns once the service has stopped.
// A stop request ends the body at its next line, or at once from a wait
// (WAIT, SLEEP, the waits for windows and programs); the lines after the
// SERVICE line then run. The error code: the dispatcher's failure (1063
// when the process was not started by the service manager), 555 for a
// missing SUB, 1 for an empty or too long name, else 0.
void RunAsService(Interp& in, const std::string& name);

// SLEEP's pause: while the service body runs, a stop request ends it early.
void SleepUnlessStopped(Interp& in, unsigned ms);

}  // namespace kes
