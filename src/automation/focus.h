// The focus target shared by the keystroke, mouse and window commands, and
// the loop every wait runs.
#pragma once

#include <windows.h>

#include "interp/dispatcher.h"

namespace kes {

inline HWND FocusWindow(const Interp& in) { return reinterpret_cast<HWND>(in.focus.window); }
inline HWND FocusObject(const Interp& in) { return reinterpret_cast<HWND>(in.focus.object); }
// The window commands aim at: the focus object, else the focus window.
inline HWND TargetWindow(const Interp& in) { return reinterpret_cast<HWND>(in.focus.Target()); }

// Brings one window to the front under the old-application switch, and
// remembers the window that had the foreground before (LASTFOCUS).
void Front(Interp& in, HWND w);
// The focus window, then the focus object, to the front.
void BringTargetToFront(Interp& in);

// A search found `match`: it becomes the focus object; when no focus window
// is set (or it has closed since), the match's parent becomes the focus
// window, or the match itself when it has none. Both come to the front and
// the error code becomes 0.
void TakeMatch(Interp& in, HWND match);

// The lines collected since OPTIONALBOX or IGNOREBOX join their entry.
void AttachCollectedLines(Interp& in);

// One pass of a wait: true when the wait is over.
using WaitPass = bool (*)(Interp& in, void* data);
// Repeats `pass` until it answers true (error code 0, answers true), until
// a registered optional box is on screen (its lines go to the runner through
// "#OPT#" in ctx.control; answers false, error 0), or until MAXWAIT seconds
// have passed (0: no limit), the script is interrupted or the trace window's
// "Force wait" is pressed (answers false, error 1). Messages run between
// passes.
bool RunWait(Interp& in, Ctx& ctx, WaitPass pass, void* data);

}  // namespace kes
