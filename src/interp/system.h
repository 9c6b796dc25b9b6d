// What the interpreter core asks of Windows: the keyword tests of IF, the
// files and drives that conditions measure or read, the values built-in
// variables read from the machine, shared variables, the program's own
// windows and the trace. The core (variables, assignments, special
// variables, conditions, line preparation) reaches the machine only through
// this interface, as substitution does through SubstHost, so it builds and
// runs natively: the Windows build installs its implementation in K(), the
// native tests and fuzz targets their own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kes {

struct Interp;

// The local date and time, as the system clock gives them.
struct ClockReading {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
  int weekdayUtc = 0;  // 0 Sunday to 6 Saturday, from the clock in universal time
};

// The primary screen and its work area (the screen without the task bar).
struct ScreenArea {
  long width = 0, height = 0;
  long left = 0, top = 0, right = 0, bottom = 0;
};

class System {
 public:
  virtual ~System() = default;

  // ---- the keyword tests of IF
  // EXIST: a file or folder ("\" at the end: a folder only; "*" and "?"
  // match), or an "http://" address that answers with a document.
  virtual bool Exists(Interp& in, const std::string& pathOrAddress) = 0;
  // HOST: the first IPv4 address of a name as dotted text; empty when it
  // does not resolve.
  virtual std::string ResolveHost(const std::string& name) = 0;
  // MEMBER: the current user's groups hold the group ("DOMAIN\group": the
  // global groups on that domain's controller).
  virtual bool IsGroupMember(Interp& in, const std::string& group) = 0;
  virtual bool PrinterKnown(const std::string& name) = 0;       // PRINTER
  virtual bool ServerReachable(const std::string& name) = 0;    // SERVER
  virtual bool ShareReachable(const std::string& name) = 0;     // SHARE

  // ---- files and drives
  virtual bool FileSize(const std::string& path, uint64_t& bytes) = 0;  // SIZE
  // DATETIME: the last-write time as local YYYY/MM/DD_HH:MM:SS.
  virtual bool FileWriteTime(const std::string& path, std::string& text) = 0;
  virtual bool FreeBytes(const std::string& drive, uint64_t& bytes) = 0;  // FREE
  // A whole file, for SEARCH; false when it cannot be read.
  virtual bool ReadFile(const std::string& path, std::string& bytes) = 0;
  // The first file a wildcard pattern matches, with the pattern's folder.
  virtual bool FirstMatchingFile(const std::string& pattern, std::string& path) = 0;
  virtual bool FolderExists(const std::string& path) = 0;

  // ---- values read from the machine
  virtual ClockReading Now() = 0;
  virtual ScreenArea Screen() = 0;
  virtual uint32_t ThreadId() = 0;
  // ADMIN: HKEY_LOCAL_MACHINE\SECURITY opens with read-control access.
  virtual bool IsAdministrator() = 0;
  // A shared variable ("!NAME"); empty when unknown.
  virtual std::string SharedGet(std::string_view name) = 0;
  // The computed ATRUN list.
  virtual const std::vector<std::string>* AtRunList() = 0;

  // ---- the program's windows
  // The entry selected in an open choice window; false when none is open.
  virtual bool ChoiceValue(Interp& in, std::string& out) = 0;
  virtual void SelectChoice(Interp& in, std::string_view value) = 0;
  // An event for the trace window: ">" a line run, "ERR" its error record.
  virtual void Trace(Interp& in, std::string_view kind, std::string_view text) = 0;
};

}  // namespace kes
