// Error codes a script reads as ERROR, their texts in the log, and the one
// translation of a Windows error number into a language code. Handlers set
// in.err.code to one of these names or to the number of the failed call.
#pragma once

#include <cstdint>

namespace kes {

// ---- the numbers the language gives its own failures
inline constexpr int32_t kErrNone = 0;
inline constexpr int32_t kErrUsage = 1;        // bad argument or usage, not found, time-out
inline constexpr int32_t kErrRefused = 5;      // a system resource refused (clipboard, drive root)
inline constexpr int32_t kErrOutOfMemory = 7;  // a command ran out of memory
inline constexpr int32_t kErrLocalFile = 52;   // local file cannot be opened: a device, a bad or long name
inline constexpr int32_t kErrNotFound = 53;    // file or program not found
inline constexpr int32_t kErrFtpRefused = 55;  // FTP transfer refused
inline constexpr int32_t kErrUploadInterrupted = 67;
inline constexpr int32_t kErrTransferInterrupted = 67;  // an FTP download or listing broke off, like an upload
inline constexpr int32_t kErrLogon = 70;            // logon failed
inline constexpr int32_t kErrNotAccessible = 75;    // file, path or remote key not accessible
inline constexpr int32_t kErrNotReachable = 76;     // path or network host not reachable
inline constexpr int32_t kErrMissingPartner = 555;  // missing sub, INCLUDE file or loop partner
inline constexpr int32_t kErrNoHandler = -999;      // no handler for the command word or sub-keyword

// ---- further codes of the error-text table
inline constexpr int32_t kErrOverflow = 6;  // a script with more lines than the line store holds
inline constexpr int32_t kErrFileExists = 58;
inline constexpr int32_t kErrDiskFull = 61;
inline constexpr int32_t kErrPastEnd = 62;            // read past the end of a file
inline constexpr int32_t kErrDeviceUnavailable = 68;  // a drive that is not there
inline constexpr int32_t kErrPermissionDenied = 70;   // write-protected medium (the number of kErrLogon)
inline constexpr int32_t kErrDiskNotReady = 71;
inline constexpr int32_t kErrAcrossDisks = 74;

// The text of an error code for log entries; empty when the code has none.
const char* ErrorText(int32_t code);

// What the failed Windows call worked on; each use names the same Windows
// errors a little differently.
enum class WinErrorUse {
  // A file operation (copy, delete, attributes, rename): missing file 53,
  // missing path 76, refused or in use 75, already exists 58, disk full 61,
  // bad name 52, other drive 74, not ready 71, write-protected 70; any other
  // Windows error number as it is.
  File,
  // Changing into, removing or listing a folder (CD, RD): everything that
  // says "no such folder" is 76, a drive that is not there 68, a folder
  // refused, in use or not empty 75; the rest as for File.
  Folder,
  // Changing the current drive (CD D:): a drive that cannot be reached is
  // 68; the rest as for Folder.
  Drive,
  // Opening a file to read or rewrite it whole: only missing file 53 and
  // missing path 76 are told apart, every other number (0 included: the
  // open did fail) is 75.
  Open,
};

// The language code of a Windows error; 0 stays 0 except for Open. Defined
// by the Windows build only.
int32_t LanguageError(unsigned long winError, WinErrorUse use = WinErrorUse::File);

}  // namespace kes
