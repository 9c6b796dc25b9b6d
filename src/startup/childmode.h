// Child mode: a second instance runs lines on behalf of a calling instance,
// exchanging state through the text of control 10 of a window of the
// caller (the format is in docs/programs.md).
#pragma once

#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// ---- the child
// Reads the caller's state and lines from the window whose decimal handle is
// given and takes the state over; false when there is nothing to run.
bool ChildModeText(Interp& in, std::string_view handleText, std::string& text);
// Sends back what the lines changed (variables, lists, error state) and lets
// the caller's messages run; the exit sequence calls it, so a child answers
// however its lines end. Nothing when the child has no caller (or has
// answered already).
void ChildModeReturn(Interp& in);
// The lines of a block are encoded by EncodeBlockLine (script/prepare.h).

// ---- the caller
// Runs the collected ADMIN block in a second instance of the interpreter,
// under ADMINACCOUNT, ADMINDOMAIN and ADMINPASSWORD when ADMINACCOUNT is set
// (under the own account otherwise), waits for it and takes back its state.
void RunAdminBlock(Interp& in);

}  // namespace kes
