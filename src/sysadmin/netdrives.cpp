#include "sysadmin/netdrives.h"

#include <windows.h>

#include <lm.h>
#include <winnetwk.h>
#include <winspool.h>

#include <vector>

#include "interp/errors.h"
#include "interp/text.h"
#include "sysadmin/netapi.h"

namespace kes {

// ---- connections

int32_t GetConnection(const std::string& local, std::string& remote, unsigned long bufferSize) {
  std::string buf(bufferSize + 1, '\0');
  DWORD size = bufferSize;
  const DWORD rc = WNetGetConnectionA(local.c_str(), buf.data(), &size);
  remote = rc == NO_ERROR ? std::string(buf.c_str()) : std::string();
  return static_cast<int32_t>(rc);
}

namespace {

// A resource record: global scope, connectable.
NETRESOURCEA Resource(DWORD type, DWORD displayType, const std::string* local, const std::string& remote) {
  NETRESOURCEA nr{};
  nr.dwScope = RESOURCE_GLOBALNET;
  nr.dwType = type;
  nr.dwDisplayType = displayType;
  nr.dwUsage = RESOURCEUSAGE_CONNECTABLE;
  nr.lpLocalName = local ? const_cast<char*>(local->c_str()) : nullptr;
  nr.lpRemoteName = const_cast<char*>(remote.c_str());
  return nr;
}

// Cancels the connection of one local name when it is connected (to
// `remote`, when given). -1 when there was nothing to cancel and the read's
// failure is not wanted.
int32_t CancelLocal(const std::string& local, const std::string& remote, bool readFailureCounts) {
  std::string current;
  const int32_t read = GetConnection(local, current);
  if (read != 0) return readFailureCounts ? read : -1;
  if (!remote.empty() && !EqualsNoCase(current, remote)) return -1;
  return static_cast<int32_t>(WNetCancelConnection2A(local.c_str(), CONNECT_UPDATE_PROFILE, FALSE));
}

// Cancels the connections of every drive and port (to `remote`, when
// given); the code of the last cancel made, 0 when none was.
int32_t CancelEvery(const std::string& remote) {
  int32_t code = 0;
  for (const std::string& local : AllLocalNames()) {
    const int32_t rc = CancelLocal(local, remote, false);
    if (rc >= 0) code = rc;
  }
  return code;
}

}  // namespace

int32_t NetUseConnect(const std::string& local, const std::string& remote, const std::string& user,
                      const std::string& password, bool persistent) {
  if (remote.empty()) return kErrNotFound;
  std::string current;
  if (GetConnection(local, current, 64) == 0 && EqualsNoCase(current, remote)) return 0;
  WNetCancelConnection2A(local.c_str(), CONNECT_UPDATE_PROFILE, FALSE);
  DWORD type = RESOURCETYPE_DISK;
  if (IsPortForm(local)) {
    const BOOL added = AddPrinterConnectionA(const_cast<char*>(remote.c_str()));
    if (EqualsNoCase(local, "LPT")) return added ? 0 : kErrNotFound;
    type = RESOURCETYPE_PRINT;
  }
  NETRESOURCEA nr = Resource(type, RESOURCEDISPLAYTYPE_SHARE, &local, remote);
  DWORD rc = WNetAddConnection2A(&nr, password.c_str(), user.c_str(), persistent ? CONNECT_UPDATE_PROFILE : 0);
  if (rc != NO_ERROR) rc = WNetAddConnectionA(remote.c_str(), "", local.c_str());
  if (rc == ERROR_DUP_NAME || rc == ERROR_ALREADY_ASSIGNED || rc == ERROR_DEVICE_ALREADY_REMEMBERED) rc = NO_ERROR;
  return static_cast<int32_t>(rc);
}

int32_t NetUseDisconnect(const std::string& name) {
  if (name == "*") return CancelEvery(std::string());
  if (IsDriveForm(name) || IsPortForm(name)) return CancelLocal(name, std::string(), true);
  // A printer connection is named like a remote name (\\server\printer);
  // drives, ports and "*" never are.
  if (DeletePrinterConnectionA(const_cast<char*>(name.c_str()))) return 0;
  return CancelEvery(name);
}

int32_t ConnectServer(const std::string& server, const std::string& user, const std::string& password) {
  const std::string remote = ServerUncName(server);
  NETRESOURCEA nr = Resource(RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_SERVER, nullptr, remote);
  // Without a user the logged-on user's credentials are used.
  return static_cast<int32_t>(WNetAddConnection2A(&nr, user.empty() && password.empty() ? nullptr : password.c_str(),
                                                  user.empty() ? nullptr : user.c_str(), 0));
}

int32_t DisconnectServer(const std::string& server) {
  return static_cast<int32_t>(WNetCancelConnection2A(ServerUncName(server).c_str(), 0, TRUE));
}

// ---- NETREQUEST

std::string DriveConnectedTo(const std::string& unc) {
  for (char c = 'A'; c <= 'Z'; ++c) {
    const std::string drive{c, ':'};
    std::string remote;
    if (GetConnection(drive, remote) == 0 && RemoteBeginsName(remote, unc)) return drive;
  }
  return std::string();
}

namespace {

bool RootListsEntries(char letter) {
  const std::string pattern = std::string{letter, ':', '\\', '*'};
  WIN32_FIND_DATAA fd;
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
  SetErrorMode(oldMode);
  if (h == INVALID_HANDLE_VALUE) return false;
  FindClose(h);
  return true;
}

}  // namespace

std::string NextFreeDrive(const std::string& drive) {
  for (char c = static_cast<char>(UpperChar(drive[0]) + 1); c <= 'Z'; ++c) {
    std::string remote;
    const std::string name{c, ':'};
    if (!RootListsEntries(c) && GetConnection(name, remote) != 0) return name;
  }
  return std::string();
}

// ---- NETINFO RESOURCE

namespace {

// A container met during the browse, kept to be opened in turn.
struct Container {
  DWORD scope, type, displayType, usage;
  std::string local, remote, comment, provider;
};

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

class ProviderSource : public ResourceSource {
 public:
  explicit ProviderSource(DWORD scope) : scope_(scope) {}
  int32_t topCode = 0;

  std::vector<NetRecord> Children(const NetRecord* parent) override {
    std::vector<NetRecord> records;
    NETRESOURCEA nr{};
    if (parent) {
      const Container& c = containers_[parent->token];
      nr.dwScope = c.scope, nr.dwType = c.type, nr.dwDisplayType = c.displayType, nr.dwUsage = c.usage;
      nr.lpLocalName = c.local.empty() ? nullptr : const_cast<char*>(c.local.c_str());
      nr.lpRemoteName = const_cast<char*>(c.remote.c_str());
      nr.lpComment = c.comment.empty() ? nullptr : const_cast<char*>(c.comment.c_str());
      nr.lpProvider = c.provider.empty() ? nullptr : const_cast<char*>(c.provider.c_str());
    }
    HANDLE e = nullptr;
    DWORD rc = WNetOpenEnumA(scope_, RESOURCETYPE_ANY, 0, parent ? &nr : nullptr, &e);
    if (rc == NO_ERROR) {
      // Room for the records with their names: the count is what limits.
      std::vector<char> buf(kMaxResourceRecords * 1024);
      DWORD count = kMaxResourceRecords, size = static_cast<DWORD>(buf.size());
      rc = WNetEnumResourceA(e, &count, buf.data(), &size);
      WNetCloseEnum(e);
      if (rc == NO_ERROR) {
        const auto* r = reinterpret_cast<const NETRESOURCEA*>(buf.data());
        for (DWORD i = 0; i < count && i < kMaxResourceRecords; ++i) {
          NetRecord rec;
          rec.remoteName = Text(r[i].lpRemoteName);
          rec.container = (r[i].dwUsage & RESOURCEUSAGE_CONTAINER) != 0;
          if (rec.container) {
            rec.token = containers_.size();
            containers_.push_back({r[i].dwScope, r[i].dwType, r[i].dwDisplayType, r[i].dwUsage, Text(r[i].lpLocalName),
                                   rec.remoteName, Text(r[i].lpComment), Text(r[i].lpProvider)});
          }
          records.push_back(std::move(rec));
        }
      } else if (rc == ERROR_NO_MORE_ITEMS) {
        rc = NO_ERROR;
      }
    }
    if (!parent) topCode = static_cast<int32_t>(rc);
    return records;
  }

 private:
  DWORD scope_;
  std::vector<Container> containers_;
};

}  // namespace

int32_t BrowseNetwork(bool all, std::vector<std::string>& paths) {
  ProviderSource source(all ? RESOURCE_GLOBALNET : RESOURCE_CONNECTED);
  BrowseResources(source, paths);
  return source.topCode;
}

// ---- NET TIME

TimeOfDay TimeOfDayFromRecord(const void* timeOfDayInfo) {
  const auto* r = static_cast<const TIME_OF_DAY_INFO*>(timeOfDayInfo);
  TimeOfDay t;
  t.year = r->tod_year;
  t.month = r->tod_month;
  t.weekday = r->tod_weekday;
  t.day = r->tod_day;
  t.hours = r->tod_hours;
  t.minutes = r->tod_mins;
  t.seconds = r->tod_secs;
  t.hundredths = r->tod_hunds;
  return t;
}

int32_t SetClockFromServer(bool nt, const std::string& server, std::string& wouldSet) {
  using TodFn = DWORD(WINAPI*)(LPCWSTR, LPBYTE*);
  using Tod9xFn = DWORD(WINAPI*)(const char*, LPBYTE*);
  NetApi api(nt);
  if (!api) return kErrNotFound;
  const auto tod = api.Get<TodFn>("NetRemoteTOD");
  const auto tod9x = api.Get<Tod9xFn>("NetRemoteTODA");
  if ((nt ? !tod : !tod9x) || !api.Get<void*>("NetApiBufferFree")) return 0;

  TimeOfDay t;
  const bool seam = NetTestSwitch("time");
  if (seam) {
    // A made-up answer, read like the server's: 29 Feb 2004, 13:14:15.42 UTC.
    TIME_OF_DAY_INFO made{};
    made.tod_hours = 13, made.tod_mins = 14, made.tod_secs = 15, made.tod_hunds = 42;
    made.tod_day = 29, made.tod_month = 2, made.tod_year = 2004, made.tod_weekday = 0;
    t = TimeOfDayFromRecord(&made);
  } else {
    LPBYTE buf = nullptr;
    const std::wstring wserver = WideFromAnsi(server);
    const DWORD st = nt ? tod(wserver.empty() ? nullptr : wserver.c_str(), &buf)
                        : tod9x(server.empty() ? nullptr : server.c_str(), &buf);
    if (st == NERR_Success && buf) t = TimeOfDayFromRecord(buf);
    api.Free(buf);
    if (st != NERR_Success) return static_cast<int32_t>(st);
    if (!buf) return kErrRefused;
  }
  ClockTime c;
  if (!ClockFromTimeOfDay(t, c)) return ERROR_INVALID_PARAMETER;
  if (seam) {
    wouldSet = ClockText(c);
    return 0;
  }
  SYSTEMTIME st{c.year, c.month, c.weekday, c.day, c.hour, c.minute, c.second, c.millis};
  return SetSystemTime(&st) ? 0 : static_cast<int32_t>(GetLastError());
}

}  // namespace kes
