// Shared variables between interpreters on one desktop.
#pragma once

#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// Reads getName, or writes value under setName when setName is not empty.
// A write with no free slot (or no window) sets the error code to 1.
std::string SharedVariable(std::string_view getName, std::string_view setName, std::string_view value);

}  // namespace kes
