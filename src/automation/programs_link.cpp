#include "automation/programs_link.h"

namespace kes {

uint32_t LastStartedProcess(const Interp& in) { return in.automation.lastStartedPid; }
void SetLastStartedProcess(Interp& in, uint32_t pid) { in.automation.lastStartedPid = pid; }

}  // namespace kes
