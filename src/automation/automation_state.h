// The state of desktop automation that scripts observe: the focus target,
// the optional-box registry, the wait's end requests and the desktop the
// program is attached to. One lives in the interpreter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kes {

// A box the waits watch for (OPTIONALBOX, IGNOREBOX) and the script lines
// collected after the command, each "NNNN" + line + "\xFF\xFE".
struct OptionalBox {
  std::string title, parent;
  std::string block;
  bool once = true;  // OPTIONALBOX: used once; IGNOREBOX: fires again and again
};

struct AutomationState {
  // The focus target: a top-level window and a control in it (0 = none).
  // Handles are kept as numbers so this header stays free of Win32.
  uintptr_t focusWindow = 0;
  uintptr_t focusObject = 0;
  uintptr_t Target() const { return focusObject ? focusObject : focusWindow; }

  // The lines collected after OPTIONALBOX or IGNOREBOX (the runner's box
  // block) join the last entry when a wait or the next entry starts.
  std::vector<OptionalBox> boxes;

  // Set by the trace window's "Force wait": the running wait ends at once
  // with error 1 (the flag is cleared when a wait sees it).
  bool forceWaitEnd = false;

  // The window that had the foreground before the program last brought a
  // window to the front (LASTFOCUS), 0 when none.
  uintptr_t lastFocus = 0;

  // The input desktop as the per-line watch last saw it.
  std::string inputDesktop;
  // Window station and desktop attached by SESSION SWITCH (0 = none).
  uintptr_t winsta = 0, desktop = 0;
  uint32_t lastStartedPid = 0;  // until the program launcher keeps it
};

}  // namespace kes
