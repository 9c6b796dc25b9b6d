// Network resources and accounts: NETINFO (RESOURCE, USER, COMPUTER, GROUP,
// LOCALGROUP, GROUPLIST, USERLIST, PRINTER), USERINFO, OWNER and SID.
#include "interp/commands.h"
#include "sysadmin/accounts.h"
#include "sysadmin/netdrives.h"
#include "sysadmin/printers.h"
#include "sysadmin/sysquery.h"

namespace kes {

namespace {

// An account enumeration that finds nothing is asked again this many times,
// this many milliseconds apart: right after a logon the domain may not
// answer yet.
constexpr int kEmptyRetries = 20;
constexpr unsigned kEmptyPauseMs = 200;

bool AccountListOf(const std::string& word, AccountList& what) {
  if (word == "USER") what = AccountList::Users;
  else if (word == "COMPUTER") what = AccountList::Computers;
  else if (word == "GROUP") what = AccountList::Groups;
  else if (word == "LOCALGROUP") what = AccountList::LocalGroups;
  else return false;
  return true;
}

}  // namespace

// ---- NETINFO word[,argument[,name]]

void CmdNetInfo(Interp& in, Ctx&) {
  std::vector<std::string>& list = in.vars.Sys(SysList::NETINFO);
  list.clear();
  const std::string word = Upper(Field(in, 1));
  const std::string target = Upper(FieldUnquoted(in, 2));
  AccountList what;
  if (word == "RESOURCE") {
    in.err.code = BrowseNetwork(target == "ALL", list);
  } else if (AccountListOf(word, what)) {
    for (int attempt = 0;; ++attempt) {
      in.err.code = ListAccounts(in.mach.isNT, what, target, in.mach.computerName, list);
      if (!list.empty() || attempt == kEmptyRetries || in.run.stopRequested || in.run.abort) break;
      SleepResponsive(in, kEmptyPauseMs, true);
    }
  } else if (word == "GROUPLIST" || word == "USERLIST") {
    const std::string name = FieldUnquoted(in, 3);
    if (target.empty()) in.err.code = kErrUsage;
    else if (word == "GROUPLIST") in.err.code = ListUserGroups(in.mach.isNT, target, name, in.mach.computerName, list);
    else in.err.code = ListGroupMembers(in.mach.isNT, target, name, in.mach.computerName, list);
  } else if (word == "PRINTER") {
    in.err.code = PrinterNames(kPrintersNetwork, FieldUnquoted(in, 2), list);
  } else {
    in.err.code = kErrUsage;
  }
  // The count of the list, emptied above, also when the word was refused.
  in.line.result = std::to_string(list.size());
  in.line.secondResult = true;
}

// ---- USERINFO user,server

void CmdUserInfo(Interp& in, Ctx&) {
  UserDetails d;
  in.err.code = GetUserDetails(FieldUnquoted(in, 2), FieldUnquoted(in, 1), d);
  if (in.err.code) return;
  const std::string* values = d.Values();
  for (size_t i = 0; i < std::size(kUserInfoNames); ++i) SetVariable(in, kUserInfoNames[i], values[i]);
}

// ---- OWNER path

void CmdOwner(Interp& in, Ctx&) {
  std::string owner;
  in.err.code = FileOwner(WholeArg(in), owner);
  if (!in.err.code) in.line.result = owner;
}

// ---- SID [account]

void CmdSid(Interp& in, Ctx&) {
  std::string account = WholeArg(in);
  const bool ownUser = account.empty();
  if (ownUser) account = in.mach.userName;
  std::vector<ProfileEntry> profiles;
  std::string found;
  if (ReadProfiles(profiles)) {
    for (const ProfileEntry& p : profiles) {
      if (ownUser && !p.refCountOne) continue;
      std::string path = in.Substituted(p.imagePath);
      while (path.size() > 3 && path.back() == '\\') path.pop_back();
      if (path.empty() || !PathExists(path + "\\")) continue;
      if (ProfileBelongsTo(path, account)) {
        found = p.sid;
        break;
      }
    }
  }
  in.err.code = found.empty() ? kErrUsage : 0;
  if (!found.empty()) in.line.result = found;
}

}  // namespace kes
