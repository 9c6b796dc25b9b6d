// The attached package: reading the script and embedded files of a packaged
// executable or a plug file, and writing embedded files on demand.
#pragma once

#include <string>
#include <string_view>

#include "interp/interp.h"

struct HBITMAP__;

namespace kes {

// The error code of a package that cannot be read (damaged, cut short,
// empty): nothing of it runs and the log says why.
inline constexpr int32_t kDamagedPackage = 13;

// The script of the package attached to the running executable; with the
// arguments "/PLUG file", of the package in that file.
bool PackagedScriptText(Interp& in, std::string_view arguments, std::string& text);
// The script of a package file (the bytes between its two marks).
bool PackageFileScript(Interp& in, std::string_view body, std::string& text);

// The file that holds the running code: the executable, or the DLL form.
std::string ImageFilePath();

// Reads length bytes at the 0-based offset of a file. False with why when
// the file cannot be read or is shorter than that.
bool ReadFileRange(const std::string& path, uint64_t offset, uint64_t length, std::string& out, std::string& why);

// The embedded file whose extraction path is path (case-insensitive), or
// null. Its content stays in memory for the whole run.
const EmbeddedFile* FindEmbedded(const Interp& in, std::string_view path);
// A bitmap file by path: read from the file, or, for an embedded file that
// was not written out, straight from the package in memory. Null when it
// cannot be loaded.
HBITMAP__* LoadBitmapFile(const Interp& in, const std::string& path);

// The administrator credentials and run-once flag carried in the executable:
// ADMINACCOUNT, ADMINDOMAIN, ADMINPASSWORD and the self-delete flag.
void ApplyPackageOptions(Interp& in);

}  // namespace kes
