#include "sysadmin/accounts.h"

#include <windows.h>

#include <lm.h>

#include <cstring>

#include "interp/dispatcher.h"
#include "interp/errors.h"
#include "interp/text.h"
#include "sysadmin/netapi.h"

namespace kes {

namespace {

// The NT library's functions used here (wide names, level-0 records).
using DcNameFn = DWORD(WINAPI*)(LPCWSTR, LPCWSTR, LPBYTE*);
using UserEnumFn = DWORD(WINAPI*)(LPCWSTR, DWORD, DWORD, LPBYTE*, DWORD, LPDWORD, LPDWORD, LPDWORD);
using GroupEnumFn = DWORD(WINAPI*)(LPCWSTR, DWORD, LPBYTE*, DWORD, LPDWORD, LPDWORD, PDWORD_PTR);
using UserGroupsFn = DWORD(WINAPI*)(LPCWSTR, LPCWSTR, DWORD, LPBYTE*, DWORD, LPDWORD, LPDWORD);
using UserLocalGroupsFn = DWORD(WINAPI*)(LPCWSTR, LPCWSTR, DWORD, DWORD, LPBYTE*, DWORD, LPDWORD, LPDWORD);
using MembersFn = DWORD(WINAPI*)(LPCWSTR, LPCWSTR, DWORD, LPBYTE*, DWORD, LPDWORD, LPDWORD, PDWORD_PTR);
using UserInfoFn = DWORD(WINAPI*)(LPCWSTR, LPCWSTR, DWORD, LPBYTE*);
// Windows 95/98 (Radmin32.dll): the caller's buffer, 16-bit counts.
using UserGroups9xFn = DWORD(WINAPI*)(const char*, const char*, short, char*, unsigned short, unsigned short*,
                                      unsigned short*);

constexpr DWORD kMoreData = ERROR_MORE_DATA;  // 234
constexpr int kMoreDataRetries = 20;

// Level-0 records (and LOCALGROUP_MEMBERS_INFO_3) hold one name pointer each.
const char16_t* const* NameRecords(LPBYTE buf) { return reinterpret_cast<const char16_t* const*>(buf); }

std::string AnsiName(const char16_t* w) { return AnsiFromWide(reinterpret_cast<const wchar_t*>(w)); }

std::string CurrentUser() {
  char user[257];
  DWORD size = sizeof user;
  return GetUserNameA(user, &size) ? std::string(user) : std::string();
}

// The domain controller of a domain as "\\NAME" (at most 32 characters after
// the backslashes); empty when none is found. code receives the lookup's.
std::wstring DomainController(const NetApi& api, const std::string& domain, DWORD* code = nullptr) {
  const auto getDc = api.Get<DcNameFn>("NetGetDCName");
  if (!getDc) {
    if (code) *code = kErrNotFound;
    return std::wstring();
  }
  LPBYTE dc = nullptr;
  std::wstring server;
  const DWORD st = getDc(nullptr, WideFromAnsi(domain).c_str(), &dc);
  if (st == NERR_Success && dc) {
    server = reinterpret_cast<const wchar_t*>(dc);
    if (server.size() > 34) server.resize(34);
  }
  api.Free(dc);
  if (code) *code = st;
  return server;
}

// The server an enumeration asks for a target: the domain's controller, or
// the local computer (empty) for this computer's name or an unknown domain.
std::wstring EnumerationServer(const NetApi& api, const std::string& target, const std::string& computer) {
  if (target.empty() || EqualsNoCase(target, computer)) return std::wstring();
  return DomainController(api, target);
}

const wchar_t* ServerArg(const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); }

}  // namespace

int32_t ListAccounts(bool nt, AccountList what, const std::string& target, const std::string& computer,
                     std::vector<std::string>& names) {
  if (!nt) return 0;
  NetApi api(true);
  if (!api) return kErrNotFound;
  const std::wstring server = EnumerationServer(api, target, computer);
  const auto userEnum = api.Get<UserEnumFn>("NetUserEnum");
  const auto groupEnum = api.Get<GroupEnumFn>(what == AccountList::Groups ? "NetGroupEnum" : "NetLocalGroupEnum");
  const AccountFilter filter = what == AccountList::Users       ? AccountFilter::Users
                               : what == AccountList::Computers ? AccountFilter::Computers
                                                                : AccountFilter::All;
  const bool users = what == AccountList::Users || what == AccountList::Computers;
  if (users ? !userEnum : !groupEnum) return kErrNotFound;

  DWORD resume = 0;
  DWORD_PTR resumePtr = 0;
  DWORD st;
  do {
    LPBYTE buf = nullptr;
    DWORD read = 0, total = 0;
    st = users ? userEnum(ServerArg(server), 0, 0, &buf, MAX_PREFERRED_LENGTH, &read, &total, &resume)
               : groupEnum(ServerArg(server), 0, &buf, MAX_PREFERRED_LENGTH, &read, &total, &resumePtr);
    if (st == NERR_Success || st == kMoreData) {
      std::vector<std::string> found;
      NamesFromRecords(NameRecords(buf), buf ? read : 0, KeepNonZeroBytes, found);
      std::string entry;
      for (const std::string& n : found)
        if (FilterAccount(n, filter, entry)) names.push_back(entry);
    }
    api.Free(buf);
    if (st == kMoreData && read == 0) break;  // no progress: do not spin
  } while (st == kMoreData);
  return st == kMoreData ? 0 : static_cast<int32_t>(st);
}

namespace {

// The four questions about groups, each one call of the library that
// answers a buffer of name records.
enum class Question { UserGroups, UserLocalGroups, GroupUsers, LocalGroupMembers };
constexpr const char* kQuestionFunction[] = {"NetUserGetGroups", "NetUserGetLocalGroups", "NetGroupGetUsers",
                                             "NetLocalGroupGetMembers"};

// Asks a question about `name` (a user or a group) of `server` (null: this
// computer), again while the answer is "more data" (the incomplete answer
// freed, messages processed, 20 ms apart), and converts the names of the
// last answer. 5 when a record has no name.
int32_t Ask(const NetApi& api, Question q, const wchar_t* server, const std::string& name,
            std::string (*convert)(const char16_t*), std::vector<std::string>& names) {
  void* const fn = api.Get<void*>(kQuestionFunction[static_cast<int>(q)]);
  if (!fn) return kErrNotFound;
  const std::wstring wname = WideFromAnsi(name);
  LPBYTE buf;
  DWORD read, total, st;
  for (int attempt = 0;; ++attempt) {
    buf = nullptr;
    read = total = 0;
    DWORD_PTR resume = 0;
    switch (q) {
      case Question::UserGroups:
        st = reinterpret_cast<UserGroupsFn>(fn)(server, wname.c_str(), 0, &buf, MAX_PREFERRED_LENGTH, &read, &total);
        break;
      case Question::UserLocalGroups:
        st = reinterpret_cast<UserLocalGroupsFn>(fn)(server, wname.c_str(), 0, LG_INCLUDE_INDIRECT, &buf,
                                                     MAX_PREFERRED_LENGTH, &read, &total);
        break;
      default:  // group members: global groups at level 0, local groups at level 3 (DOMAIN\name)
        st = reinterpret_cast<MembersFn>(fn)(server, wname.c_str(), q == Question::GroupUsers ? 0 : 3, &buf,
                                             MAX_PREFERRED_LENGTH, &read, &total, &resume);
        break;
    }
    if (st != kMoreData || attempt == kMoreDataRetries) break;
    api.Free(buf);
    PumpMessages();
    Sleep(20);
  }
  int32_t code = static_cast<int32_t>(st);
  if (st == NERR_Success || st == kMoreData)
    code = NamesFromRecords(NameRecords(buf), read, convert, names) ? 0 : kErrRefused;
  api.Free(buf);
  return code;
}

// Who a GROUPLIST or USERLIST target asks: the server, this computer
// ("\\" + its name) or a domain controller (none found: the lookup's code).
struct AccountServer {
  AccountTarget kind;
  std::wstring server;
  int32_t code = 0;
};
AccountServer ServerForTarget(const NetApi& api, const std::string& target, const std::string& computer) {
  AccountServer s{ClassifyTarget(target, computer), std::wstring()};
  if (s.kind == AccountTarget::Server) {
    s.server = WideFromAnsi(target);
  } else if (s.kind == AccountTarget::Local) {
    s.server = WideFromAnsi("\\\\" + target);
  } else {
    DWORD code = 0;
    s.server = DomainController(api, target, &code);
    if (s.server.empty()) s.code = code ? static_cast<int32_t>(code) : kErrNotFound;
  }
  return s;
}

}  // namespace

bool AnsiNamesFromRecords(const void* buffer, unsigned long count, std::vector<std::string>& names) {
  return NamesFromRecords(static_cast<const char16_t* const*>(buffer), count, AnsiName, names);
}

int32_t ListUserGroups(bool nt, const std::string& target, const std::string& user, const std::string& computer,
                       std::vector<std::string>& entries) {
  if (!nt) {
    NetApi api(false);
    if (!api) return kErrNotFound;
    const auto getGroups = api.Get<UserGroups9xFn>("NetUserGetGroupsA");
    if (!getGroups) return kErrNotFound;
    std::string server = target;
    RemoveChar(server, '\\');
    server = "\\\\" + server;
    // group_info_0 records: the name in 21 bytes.
    constexpr size_t kRecord = 21;
    char buf[4096];
    unsigned short read = 0, total = 0;
    DWORD st = 0;
    for (int attempt = 0;; ++attempt) {
      read = total = 0;
      st = getGroups(server.c_str(), user.c_str(), 0, buf, sizeof buf, &read, &total);
      if (st != kMoreData || attempt == kMoreDataRetries) break;
      PumpMessages();
      Sleep(20);
    }
    if (st != NERR_Success && st != kMoreData) return static_cast<int32_t>(st);
    for (size_t i = 0; i < read && (i + 1) * kRecord <= sizeof buf; ++i)
      entries.emplace_back(buf + i * kRecord, strnlen(buf + i * kRecord, kRecord));
    return 0;
  }
  NetApi api(true);
  if (!api) return kErrNotFound;
  const AccountServer s = ServerForTarget(api, target, computer);
  if (s.code) return s.code;
  std::vector<std::string> groups;
  const Question q = s.kind == AccountTarget::Local ? Question::UserLocalGroups : Question::UserGroups;
  const int32_t code = Ask(api, q, s.server.c_str(), user, AnsiName, groups);
  for (const std::string& g : groups) entries.push_back(GroupListEntry(target, s.kind, g));
  return code;
}

int32_t ListGroupMembers(bool nt, const std::string& target, const std::string& group, const std::string& computer,
                         std::vector<std::string>& entries) {
  if (!nt) return kErrUsage;  // Windows 95/98 lists no group members
  NetApi api(true);
  if (!api) return kErrNotFound;
  const AccountServer s = ServerForTarget(api, target, computer);
  if (s.code) return s.code;
  if (s.kind == AccountTarget::Local)
    return Ask(api, Question::LocalGroupMembers, s.server.c_str(), group, AnsiName, entries);
  if (api.Get<void*>("NetGroupGetUsers") && NetTestSwitch("groupusers")) {
    entries.push_back("NetGroupGetUsers " + AnsiFromWide(s.server.c_str()) + " " + group);
    return 0;
  }
  return Ask(api, Question::GroupUsers, s.server.c_str(), group, AnsiName, entries);
}

bool IsGroupMember(bool nt, const std::string& operand, const std::string& computer) {
  if (!nt) return false;
  const MemberOperand m = SplitMemberOperand(operand);
  if (m.group.empty()) return false;
  NetApi api(true);
  if (!api) return false;
  const std::wstring server = EnumerationServer(api, m.domain, computer);
  std::vector<std::string> groups;
  Ask(api, server.empty() ? Question::UserLocalGroups : Question::UserGroups, ServerArg(server), CurrentUser(),
      KeepNonZeroBytes, groups);
  for (const std::string& g : groups)
    if (Upper(g) == m.group) return true;
  return false;
}

UserDetails UserDetailsFromRecord(const void* userInfo3) {
  const auto* u = static_cast<const USER_INFO_3*>(userInfo3);
  UserDetails d;
  d.homeDir = AnsiFromWide(u->usri3_home_dir);
  d.comment = AnsiFromWide(u->usri3_comment);
  d.scriptPath = AnsiFromWide(u->usri3_script_path);
  d.fullName = AnsiFromWide(u->usri3_full_name);
  d.userComment = AnsiFromWide(u->usri3_usr_comment);
  d.logonServer = AnsiFromWide(u->usri3_logon_server);
  d.profile = AnsiFromWide(u->usri3_profile);
  d.homeDirDrive = AnsiFromWide(u->usri3_home_dir_drive);
  return d;
}

int32_t GetUserDetails(const std::string& server, const std::string& user, UserDetails& details) {
  NetApi api(true);
  const auto fn = api.Get<UserInfoFn>("NetUserGetInfo");
  if (!fn) return kErrNotFound;
  const std::wstring wserver = WideFromAnsi(server), wuser = WideFromAnsi(user);
  LPBYTE buf = nullptr;
  const DWORD st = fn(ServerArg(wserver), wuser.c_str(), 3, &buf);
  if (st == NERR_Success && buf) details = UserDetailsFromRecord(buf);
  api.Free(buf);
  return st == NERR_Success && !buf ? kErrRefused : static_cast<int32_t>(st);
}

int32_t FileOwner(const std::string& path, std::string& owner) {
  using FileSecurityFn = BOOL(WINAPI*)(LPCSTR, SECURITY_INFORMATION, PSECURITY_DESCRIPTOR, DWORD, LPDWORD);
  using OwnerFn = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, PSID*, LPBOOL);
  using LookupFn = BOOL(WINAPI*)(LPCSTR, PSID, LPSTR, LPDWORD, LPSTR, LPDWORD, PSID_NAME_USE);
  Library advapi("Advapi32.dll");
  const auto getSecurity = advapi.Get<FileSecurityFn>("GetFileSecurityA");
  const auto getOwner = advapi.Get<OwnerFn>("GetSecurityDescriptorOwner");
  const auto lookup = advapi.Get<LookupFn>("LookupAccountSidA");
  if (!getSecurity || !getOwner || !lookup) return kErrNotFound;

  DWORD needed = 0;
  getSecurity(path.c_str(), OWNER_SECURITY_INFORMATION, nullptr, 0, &needed);
  if (needed == 0) return kErrNotFound;
  std::vector<BYTE> sd(needed);
  PSID sid = nullptr;
  BOOL defaulted = FALSE;
  if (!getSecurity(path.c_str(), OWNER_SECURITY_INFORMATION, sd.data(), needed, &needed) ||
      !getOwner(sd.data(), &sid, &defaulted) || !sid)
    return kErrRefused;

  DWORD nameLen = 0, domainLen = 0;
  SID_NAME_USE use;
  lookup(nullptr, sid, nullptr, &nameLen, nullptr, &domainLen, &use);
  if (nameLen == 0) return static_cast<int32_t>(GetLastError());
  constexpr DWORD kMax = 256;  // 255 characters and the NUL
  char name[kMax] = {}, domain[kMax] = {};
  nameLen = nameLen < kMax ? nameLen : kMax;
  domainLen = domainLen < kMax ? domainLen : kMax;
  if (!lookup(nullptr, sid, name, &nameLen, domain, &domainLen, &use)) return static_cast<int32_t>(GetLastError());
  owner = OwnerText(domain, name);
  return 0;
}

bool ReadProfiles(std::vector<ProfileEntry>& profiles) {
  HKEY list;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0, KEY_READ,
                    &list) != ERROR_SUCCESS)
    return false;
  char sid[256];
  for (DWORD i = 0; RegEnumKeyA(list, i, sid, sizeof sid) == ERROR_SUCCESS; ++i) {
    HKEY key;
    if (RegOpenKeyExA(list, sid, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    ProfileEntry p;
    p.sid = sid;
    DWORD refCount = 0, size = sizeof refCount;
    p.refCountOne = RegQueryValueExA(key, "RefCount", nullptr, nullptr, reinterpret_cast<BYTE*>(&refCount), &size) ==
                        ERROR_SUCCESS &&
                    refCount == 1;
    char path[256] = {};
    size = sizeof path - 1;
    if (RegQueryValueExA(key, "ProfileImagepath", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size) ==
        ERROR_SUCCESS)
      p.imagePath = path;
    RegCloseKey(key);
    profiles.push_back(std::move(p));
  }
  RegCloseKey(list);
  return true;
}

}  // namespace kes
