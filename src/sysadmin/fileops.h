// File and folder helpers shared by the commands.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "interp/errors.h"
#include "interp/wildcard.h"

namespace kes {

// Creates a folder with every missing parent; true when it exists afterwards.
bool MakeFolderTree(const std::string& path);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Writes text to a file, appending a line (append) or replacing the content.
// Retries up to 129 times, 50 ms apart, while the file cannot be opened.
// Returns 0 or 75.
int WriteTextLine(const std::string& path, std::string_view text, bool append);

// ---- path checks and parts

// Longest path the A functions take: MAX_PATH less the terminating 0.
inline constexpr size_t kMaxPathChars = 259;

bool HasWildcards(std::string_view path);
bool EndsWithSlash(std::string_view path);
// True for a path that names a device rather than a file: a reserved name
// (CON, PRN, AUX, NUL, COM1-9, LPT1-9, CLOCK$, CONIN$, CONOUT$) as its last
// part, with or without an extension, or the "\\.\" device namespace.
bool NamesDevice(std::string_view path);
// 0 when a file command may use the path; 52 for a device or a path longer
// than kMaxPathChars.
int CheckUsablePath(std::string_view path);
// The folder part including its final "\" (or "X:"), and the rest.
std::string FolderPart(std::string_view path);
std::string NamePart(std::string_view path);
// GetFullPathNameA; the path itself when that fails.
std::string FullPathName(const std::string& path);
// True when child is parent or lies anywhere below it (full paths compared
// without regard to case).
bool PathInside(const std::string& child, const std::string& parent);
// True when both paths name one existing file or folder.
bool SameFile(const std::string& a, const std::string& b);

// ---- matching (NameMatches: interp/wildcard.h)

struct FoundEntry {
  std::string name;  // without folder
  uint32_t attributes = 0;
  uint64_t size = 0;
  uint32_t writeLow = 0, writeHigh = 0;  // last-write time (UTC FILETIME)
  bool IsFolder() const { return (attributes & 0x10) != 0; }
};
// The entries that match a path (folder + name pattern), in the order of the
// platform's search; "." and ".." never. With wildcards the names are
// checked again against the long name, because the platform also matches
// the generated short names ("*.txt" would find "a.txtold").
std::vector<FoundEntry> FindEntries(const std::string& pattern, bool files, bool folders);

// Size of a file in bytes (64-bit); false when it is missing or a folder.
bool FileSize64(const std::string& path, uint64_t& size);
// A last-write time as local "YYYY/MM/DD_HH:MM:SS".
std::string FileTimeText(uint32_t low, uint32_t high);

}  // namespace kes
