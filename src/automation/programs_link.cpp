#include "automation/programs_link.h"

namespace kes {

uint32_t LastStartedProcess(const Interp& in) { return in.programs.lastPid; }
void SetLastStartedProcess(Interp& in, uint32_t pid) { in.programs.lastPid = pid; }

}  // namespace kes
