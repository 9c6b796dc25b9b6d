// GETKEY's hidden window: waits for the next key pressed anywhere on the
// desktop through the keyboard hook of KesSrv.dll.
#pragma once

#include <string>

namespace kes {

struct KeyRecording {
  std::string answer;  // the key in key-string syntax, empty when none
  int error = 0;       // 777: the library has no "KeyboardProc"
  bool stopped = false;  // the stop test ended the wait
};

// Polled while waiting: true ends the wait with no answer.
using StopTest = bool (*)(void* ctx);

// Installs the hook of `library` (nothing happens when the file is
// missing), waits in a hidden tool window titled `title` + " Recorder" and
// answers the first key that is not Shift, Ctrl or Alt.
KeyRecording RecordKey(const std::string& library, const std::string& title, StopTest stop, void* ctx);

}  // namespace kes
