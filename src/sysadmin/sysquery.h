// Queries about the machine used by conditions and date commands: file
// times and sizes, free space, name resolution, group membership, printers,
// servers and shares.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kes {

// Which of a file's times.
enum class FileTimeKind { Create, Access, Write };

// A file's (or, for a path ending in "\", a folder's) time in local time,
// as YYYY/MM/DD_HH:MM:SS; false when the entry cannot be opened.
bool GetFileTimeText(const std::string& path, FileTimeKind kind, std::string& text);
// Sets that time from a local date-time text (YYYY/MM/DD[_HH:MM:SS], "-" in
// place of "/" accepted). Returns 0, 53 (no such file), 1 (bad value) or 75.
int SetFileTimeText(const std::string& path, FileTimeKind kind, std::string_view value);
// True when a file or folder of that name exists ("\" at the end: a folder
// only; "*" and "?" match like a directory listing).
bool PathExists(const std::string& path);
// The first file matching a pattern with "*" or "?", with the pattern's
// folder; false when none matches.
bool ResolveWildcardFile(const std::string& pattern, std::string& path);
// The disk space routine of FREE, DRIVEFREE, DRIVESIZE, SYSTEM VOL and the
// FREE condition: the free bytes of the drive ("C", "C:", "C:\" or a
// folder; not the caller's quota), or its size when total is set. False,
// with 0 bytes, for an empty or unknown drive.
bool DiskSpace(const std::string& drive, bool total, uint64_t& bytes);
inline bool FreeBytes(const std::string& drive, uint64_t& bytes) { return DiskSpace(drive, false, bytes); }
// First IPv4 address of a host name as dotted text; empty when it does not
// resolve.
std::string ResolveHost(const std::string& name);
// The IPv4 addresses of a name (the empty name: this computer), at most
// max, as dotted text.
std::vector<std::string> HostAddresses(const std::string& name, size_t max);
bool PrinterKnown(const std::string& name);
bool ServerReachable(const std::string& name);
bool ShareReachable(const std::string& name);

}  // namespace kes
