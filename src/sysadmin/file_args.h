// Argument helpers shared by the file, folder and INI-file commands.
#pragma once

#include <string>

#include "interp/commands.h"

namespace kes {

// The whole argument text as one path: trimmed, one pair of quotes removed.
// Used by the commands that take a single path, so a path may hold the
// argument separator.
std::string WholePathArg(const Interp& in);

// The rest of the argument text from the start of field k (1-based, first
// non-blank character), trimmed on the right only. Separators inside quotes
// do not count. Empty when there are fewer fields.
std::string ArgsFromField(const Interp& in, size_t k);

// Field n as a path: quotes removed, "/" left as it is.
inline std::string PathField(const Interp& in, size_t n) { return FieldUnquoted(in, n); }

// Sets the error code and answers true when a path cannot be used (a
// device name, too long); see CheckUsablePath.
bool RefusePath(Interp& in, std::string_view path);

// True when the text holds a carriage return or line feed, which would break
// the line structure of an INI or data file.
bool HoldsLineBreak(std::string_view s);

}  // namespace kes
