// The texts of the network, account and printer commands: how their
// arguments are read, and how the records the system answers with become
// list entries and variables. No Win32 calls, so all of it is tested
// natively; the callers in netdrives.cpp, accounts.cpp and printers.cpp
// turn the system's records into the plain types below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kes {

// ---- NET
struct NetArgs {
  std::vector<std::string> fields;  // trimmed; fields[0] is the sub-command, upper case
  bool persistent = false;          // "PERSISTENT" was written: restore the connection at logon
};
// The NET argument text: the words "NOPERSISTENT" and "PERSISTENT" (any
// case, anywhere) are taken out first; then the text is cut at "," when it
// holds one, otherwise at blanks (runs of blanks count as one).
NetArgs ParseNetArgs(std::string_view text);
// Field n (1-based) of the NET arguments; empty when missing.
const std::string& NetField(const NetArgs& a, size_t n);

// A drive name as NET USE /D reads it: the second character is ":".
bool IsDriveForm(std::string_view name);
// A printer port name: begins with "LPT" (any case).
bool IsPortForm(std::string_view name);
// "X:" with X a letter.
bool IsDriveLetterName(std::string_view name);
// Every local name a connection can use: "A:" to "Z:", then "LPT1:" to
// "LPT9:".
std::vector<std::string> AllLocalNames();

// NETREQUEST with a UNC name: true when the connection's remote name, in
// upper case, equals as many leading characters of the wanted name (upper
// case, blanks on the right removed).
bool RemoteBeginsName(std::string_view remote, std::string_view wanted);

// The server name CONNECT works with: "\\" + the name without any
// backslash, trimmed.
std::string ServerUncName(std::string_view name);

// ---- NETINFO RESOURCE
inline constexpr size_t kMaxResourceRecords = 256;  // records read per container
inline constexpr int kMaxResourceDepth = 32;        // containers inside containers

struct NetRecord {
  std::string remoteName;
  bool container = false;
  size_t token = 0;  // the source's own handle on the record
};
// Where the browse reads its records from: the network provider, or a test.
class ResourceSource {
 public:
  virtual ~ResourceSource() = default;
  // The records under `parent` (null: the top level); none when it cannot
  // be opened.
  virtual std::vector<NetRecord> Children(const NetRecord* parent) = 0;
};
// Depth first from the top level: each record with a remote name gives its
// path (its name at the top level, the parent's path + ";" + name below),
// and a container is browsed right after its own entry.
void BrowseResources(ResourceSource& source, std::vector<std::string>& paths);

// ---- accounts
// A UTF-16 name made bytes the way the account enumeration does: the
// non-zero bytes of each code unit, low byte first. Null gives "".
std::string KeepNonZeroBytes(const char16_t* name);

// Which enumerated account names a NETINFO word keeps.
enum class AccountFilter {
  Users,      // names without "$"
  Computers,  // names with "$", the "$" removed
  All,        // groups: every name
};
// The list entry of an enumerated name; false when the filter drops it.
bool FilterAccount(std::string_view name, AccountFilter filter, std::string& entry);

// Who GROUPLIST and USERLIST ask, from the target as written.
enum class AccountTarget {
  Server,  // "\\server": that server, global groups
  Local,   // this computer's name: the local groups
  Domain,  // any other name: the domain controller of that domain
};
// target: trimmed and upper case.
AccountTarget ClassifyTarget(std::string_view target, std::string_view computerName);
// A GROUPLIST entry: the group prefixed with the target (backslashes removed)
// and "\", except for a "\\server" target.
std::string GroupListEntry(std::string_view target, AccountTarget kind, std::string_view group);

// Names from the records of a level-0 (or members level-3) answer, whose
// only member is the name. A null name pointer ends the list; false then.
bool NamesFromRecords(const char16_t* const* records, size_t count, std::string (*convert)(const char16_t*),
                      std::vector<std::string>& names);

// The operand of IF MEMBER: "DOMAIN\group" or "group", both parts trimmed
// and upper case.
struct MemberOperand {
  std::string domain;
  std::string group;
};
MemberOperand SplitMemberOperand(std::string_view operand);

// The eight USERINFO variables, in the order of UserDetails' members.
inline constexpr const char* kUserInfoNames[] = {"USERINFO.HOMEDIR",  "USERINFO.COMMENT",     "USERINFO.SCRIPTPATH",
                                                 "USERINFO.FULLNAME", "USERINFO.USERCOMMENT", "USERINFO.LOGONSERVER",
                                                 "USERINFO.PROFILE",  "USERINFO.HOMEDIRDRIVE"};
struct UserDetails {
  std::string homeDir, comment, scriptPath, fullName, userComment, logonServer, profile, homeDirDrive;
  const std::string* Values() const { return &homeDir; }  // the eight, in kUserInfoNames' order
};

// ---- NETLIST
// "NET USE X: \\SERVER\SHARE" and "NET USE LPT1 \\SERVER\PRINTER": the local
// name (a drive with its colon, a port without), the remote name upper case.
std::string NetUseLine(std::string_view local, std::string_view remote);
struct PrinterEntry {
  std::string name, port;
  uint32_t attributes = 0;  // the spooler's attribute bits; 8 is shared
};
struct PortEntry {
  std::string name, monitor, description;
};
inline constexpr uint32_t kPrinterShared = 8;
// "PRINTER = " + text.
std::string PrinterLine(std::string_view text);
// A local printer with its port: name, port name, and when a port of that
// name is known its monitor and description; ",shared" for a shared one
// (sep in place of ",").
std::string LocalPrinterLine(const PrinterEntry& printer, const std::vector<PortEntry>& ports, std::string_view sep);
// A printer recorded by the network print provider: key name, sep,
// "\\server\share".
std::string ProviderPrinterLine(std::string_view printerKey, std::string_view server, std::string_view shareName,
                                std::string_view sep);

// ---- DEFAULTPRINTER
// The printer name of the "Device" setting: the text before its first ",".
std::string DefaultPrinterOf(std::string_view device);
// The "Device" setting for a printer from its "PrinterPorts" value: name,
// first part, second part. False when the value is empty.
bool DeviceSetting(std::string_view printer, std::string_view printerPorts, std::string& device);

// ---- OWNER and SID
// "\\" + domain + "\" + account.
std::string OwnerText(std::string_view domain, std::string_view account);
// True when the last folder of a profile path, upper case, is the account.
bool ProfileBelongsTo(std::string_view profilePath, std::string_view account);

// ---- NET TIME
// A remote time of day (UTC) as the time functions answer it.
struct TimeOfDay {
  uint32_t year = 0, month = 0, weekday = 0, day = 0, hours = 0, minutes = 0, seconds = 0, hundredths = 0;
};
struct ClockTime {
  uint16_t year = 0, month = 0, weekday = 0, day = 0, hour = 0, minute = 0, second = 0, millis = 0;
};
// The clock setting for a time of day; false when a field is out of range.
bool ClockFromTimeOfDay(const TimeOfDay& tod, ClockTime& clock);
// "YYYY/MM/DD_HH:MM:SS.mmm" (UTC).
std::string ClockText(const ClockTime& clock);

}  // namespace kes
