// Script loader and line store: obtains a script's text, cuts it into
// lines, merges INCLUDE files and tables the labels and subs.
#pragma once

#include <string>
#include <string_view>

#include "interp/interp.h"
#include "packaging/package_format.h"
#include "script/checker.h"

namespace kes {

// Line stores hold at most this many lines (16-bit line numbers).
inline constexpr int kMaxScriptLines = 32767;

// Fills the level's text, name and folder from a source; false when there is
// nothing to run (the error code is 53 for a missing file when asked).
bool ObtainScript(Interp& in, std::string_view source, bool reportMissing, ScriptLevel& level);

// Cuts the level's text into its line store, runs the INCLUDE pass and
// tables labels and subs. False when the script cannot run (error 555 for an
// INCLUDE that cannot be opened, 6 for too many lines). With a report (the
// static checker), an INCLUDE that cannot be opened is listed there and the
// store is built without it; the included files' places are listed too.
bool BuildLineStore(Interp& in, ScriptLevel& level, IncludeReport* report = nullptr);

// Reads a whole file; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& out);

// Turns one scrambled script line back into its text.
std::string UnscrambleLine(std::string_view line);
std::string ScrambleLine(std::string_view line);

}  // namespace kes
