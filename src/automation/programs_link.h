// The last started process of the program launcher, until the launcher's
// own accessors take over (same names and meaning).
#pragma once

#include <cstdint>

#include "interp/interp.h"

namespace kes {

uint32_t LastStartedProcess(const Interp& in);
void SetLastStartedProcess(Interp& in, uint32_t pid);

}  // namespace kes
