// Child mode: a second instance runs lines on behalf of a calling instance,
// exchanging state through the text of a control in the caller's window.
#pragma once

#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// Reads the caller's state and lines from the window whose decimal handle is
// given; false when there is nothing to run.
bool ChildModeText(Interp& in, std::string_view handleText, std::string& text);

}  // namespace kes
