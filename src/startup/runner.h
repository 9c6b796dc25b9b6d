// The script runner: loads one script or sub, steps through its lines and
// acts on the control codes the dispatcher returns. Its loop is the main
// loop of the program.
#pragma once

#include <string>

#include "interp/interp.h"

namespace kes {

inline constexpr int kMaxCallDepth = 15;

// The frame of the current call depth (a spare frame before any script).
inline Frame& CurrentFrame(Interp& in) { return in.run.CurrentFrame(); }

// Runs a script ("name,arg1,arg2..."), a sub (subCall set on entry), or a
// special source ("$$" the command text, "$handle" child mode). On return
// subCall tells whether the run ended with the end-of-sub code.
void RunScript(Interp& in, std::string source, bool reportMissing, bool& subCall);

// Reports a script or sub started at the deepest call level.
void NestingError(Interp& in);

// The short service step run before every line.
void DesktopWatch(Interp& in);

// Deletes work files, runs the queued exit commands and ends the process.
[[noreturn]] void ExitSequence(Interp& in);

}  // namespace kes
