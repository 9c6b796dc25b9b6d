// The attached package: reading the script and embedded files of a packaged
// executable or a plug file.
#pragma once

#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// The script of the package attached to the running executable.
bool PackagedScriptText(Interp& in, std::string& text);
// The script of a package file (the bytes between its two marks).
bool PackageFileScript(Interp& in, std::string_view body, std::string& text);

}  // namespace kes
