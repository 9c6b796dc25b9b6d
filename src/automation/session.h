// Desktops and sessions: the input desktop's name, whether a desktop shows
// the shell's task bar, attaching to a desktop, the secure-attention
// sequence and locking. Used by SESSION, the per-line desktop watch and
// the service mode.
#pragma once

#include <string>

#include "interp/interp.h"

namespace kes {

// The name of the desktop that receives the user's input, lower-cased;
// empty when it cannot be read ("winlogon" then on systems before 2000,
// where the only unreadable input desktop is the logon desktop).
std::string InputDesktopName(bool build2000);

// True when the named desktop holds a visible, enabled window of class
// "Shell_TrayWnd" (a user is logged on and the desktop is unlocked).
bool DesktopShowsShell(const std::string& desktop);

// Attaches the process to "winsta0" and the thread to the named desktop,
// closing what an earlier call attached; with `makeInput` the desktop also
// becomes the input desktop. Answers the platform's last-error value.
unsigned long AttachDesktop(DesktopState& st, const std::string& desktop, bool makeInput);
// Closes what AttachDesktop opened (the exit sequence and SESSION SWITCH).
void DetachDesktop(DesktopState& st);

// Closes the boxes of the program's own thread that are on screen.
void CloseOwnBoxes();

// Sends the secure-attention sequence to the logon desktop. Answers 0 or
// the failing call's error (1 when the logon desktop has no SAS window).
unsigned long SendCtrlAltDel();

// Before Windows 2000: the secure-attention sequence, then the first button
// of the security dialog ("Lock Workstation"). Answers 0 or an error.
unsigned long LockOldStyle();

}  // namespace kes
