// Whole-file reading and the work-file replacement used by the commands that
// edit text files in place.
#pragma once

#include <string>
#include <string_view>

#include "interp/errors.h"

namespace kes {

// Reads a whole file: 0, 53, 76, 75, 1 for an empty name, or 7 for a file too
// large to hold. shareWrite lets others keep the file open for writing (a
// log being read); an edit asks for exclusive writing instead.
int ReadFileBytes(const std::string& path, std::string& out, bool shareWrite);

// Writes bytes to a work file in the folder of path and moves it over path.
// On any failure the work file is removed and path is left as it was; the
// result is 0 or the error code.
int ReplaceThroughWorkFile(const std::string& path, std::string_view bytes);

}  // namespace kes
