// Accounts through the network management library (looked up by name):
// users, computers and groups of a computer or domain, the groups of a user,
// the members of a group, one user's details; the owner of a file and the
// profiles of the machine. Every function answers 0 or the failing call's
// code, and leaves what it found in plain types (sysadmin/nettext.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sysadmin/nettext.h"

namespace kes {

// The enumerations of NETINFO USER, COMPUTER, GROUP and LOCALGROUP.
enum class AccountList { Users, Computers, Groups, LocalGroups };
// Appends the accounts of `target` (trimmed, upper case): a name other than
// this computer's asks the domain controller of that domain when one is
// found, the local computer otherwise. The NT line only: elsewhere nothing.
int32_t ListAccounts(bool nt, AccountList what, const std::string& target, const std::string& computer,
                     std::vector<std::string>& names);

// NETINFO GROUPLIST: the groups of `user` on `target` (a "\\server", this
// computer, or a domain), as list entries.
int32_t ListUserGroups(bool nt, const std::string& target, const std::string& user, const std::string& computer,
                       std::vector<std::string>& entries);
// NETINFO USERLIST: the members of `group` on `target`.
int32_t ListGroupMembers(bool nt, const std::string& target, const std::string& group, const std::string& computer,
                         std::vector<std::string>& entries);

// The names of a level-0 answer of NetUserGetGroups, NetGroupGetUsers, ...
// (and of NetLocalGroupGetMembers at level 3), converted with the ANSI code
// page; false when a record has no name (the names before it are kept).
bool AnsiNamesFromRecords(const void* buffer, unsigned long count, std::vector<std::string>& names);

// IF MEMBER: true when the current user belongs to the group of the operand
// ("group" or "DOMAIN\group").
bool IsGroupMember(bool nt, const std::string& operand, const std::string& computer);

// USERINFO: the details of `user` on `server` (empty: this computer).
int32_t GetUserDetails(const std::string& server, const std::string& user, UserDetails& details);
// The details held by a USER_INFO_3 record.
UserDetails UserDetailsFromRecord(const void* userInfo3);

// OWNER: "\\DOMAIN\account" of a file or folder; 53 when its security
// cannot be read at all, 5 when the owner cannot be taken from it.
int32_t FileOwner(const std::string& path, std::string& owner);

// The user profiles of the machine, in the registry's order.
struct ProfileEntry {
  std::string sid;
  std::string imagePath;     // as stored: may hold %-references
  bool refCountOne = false;  // its "RefCount" value is 1
};
// False when the profile list cannot be opened.
bool ReadProfiles(std::vector<ProfileEntry>& profiles);

}  // namespace kes
