// Calling a function of a library with 32-bit arguments (CALLDLL).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sysadmin/dllargs.h"

namespace kes {

struct DllCallResult {
  uint32_t error = 0;  // 0, 53 (library missing), 127 (no such function), 5 (refused or
                       // the function raised an exception), or the loader's Windows error
  uint32_t value = 0;  // EAX after the call
};

// Loads the library (it stays loaded), finds the function (a name, or "#"
// and an ordinal), and calls it with the arguments pushed as 32-bit values:
// numbers as they are, texts as pointers to writable buffers of at least
// kDllTextBuffer bytes. The stack is restored after the call, so __stdcall
// and __cdecl functions both return cleanly; an exception inside the call
// is caught. Texts come back in args[i].text as the function left them (up
// to the first NUL).
DllCallResult CallLibraryFunction(const std::string& library, const std::string& function, std::vector<DllArg>& args);

}  // namespace kes
