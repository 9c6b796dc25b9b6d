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
// One collected block line: the six-digit number (900000 + n), the line with
// NUL and CR LF escaped, and CR LF.
std::string EncodeBlockLine(int n, std::string_view line);
// Undoes the escapes of a block line once its number is removed.
void DecodeBlockLine(std::string& line);

// ---- the caller
// Runs the collected ADMIN block in a second instance of the interpreter,
// under ADMINACCOUNT, ADMINDOMAIN and ADMINPASSWORD when ADMINACCOUNT is set
// (under the own account otherwise), waits for it and takes back its state.
void RunAdminBlock(Interp& in);

}  // namespace kes
