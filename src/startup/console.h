// The console the program was started from, for the texts meant for the
// person or the job that started it (the checker's report, the unattended
// answers): its redirected standard output, else the parent's console.
#pragma once

#include <string_view>

namespace kes {

// Writes the text there; nothing when there is no console.
void ConsoleWrite(std::string_view text);

}  // namespace kes
