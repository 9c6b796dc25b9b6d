// The records the network management library answers with, made up here
// the way a Windows domain fills them, read by the same conversions the
// commands use: Wine leaves these calls unanswered (NetUserGetInfo level 3
// answers 2140, NetGroupGetUsers and NetRemoteTOD end the process).
#include <windows.h>

#include <lm.h>

#include <gtest/gtest.h>

#include "sysadmin/accounts.h"
#include "sysadmin/netdrives.h"

namespace kes {
namespace {

TEST(NetworkRecords, UserInfo3ToTheEightVariables) {
  wchar_t home[] = L"\\\\FS1\\home\\bob", comment[] = L"Comptabilit\u00e9", script[] = L"logon.cmd",
          full[] = L"Bob Martin", usr[] = L"", logon[] = L"\\\\DC1", profile[] = L"\\\\FS1\\profiles\\bob",
          drive[] = L"H:";
  USER_INFO_3 u{};
  u.usri3_name = const_cast<wchar_t*>(L"bob");
  u.usri3_home_dir = home;
  u.usri3_comment = comment;
  u.usri3_script_path = script;
  u.usri3_full_name = full;
  u.usri3_usr_comment = usr;
  u.usri3_logon_server = logon;
  u.usri3_profile = profile;
  u.usri3_home_dir_drive = drive;
  u.usri3_parms = nullptr;
  const UserDetails d = UserDetailsFromRecord(&u);
  EXPECT_EQ(d.homeDir, "\\\\FS1\\home\\bob");
  EXPECT_EQ(d.comment, "Comptabilit\xE9");  // the ANSI code page (1252)
  EXPECT_EQ(d.scriptPath, "logon.cmd");
  EXPECT_EQ(d.fullName, "Bob Martin");
  EXPECT_EQ(d.userComment, "");
  EXPECT_EQ(d.logonServer, "\\\\DC1");
  EXPECT_EQ(d.profile, "\\\\FS1\\profiles\\bob");
  EXPECT_EQ(d.homeDirDrive, "H:");
  // the variables take the values in their own order
  const std::string* v = d.Values();
  EXPECT_STREQ(kUserInfoNames[3], "USERINFO.FULLNAME");
  EXPECT_EQ(v[3], "Bob Martin");
  EXPECT_STREQ(kUserInfoNames[7], "USERINFO.HOMEDIRDRIVE");
  EXPECT_EQ(v[7], "H:");
}

TEST(NetworkRecords, GroupUsersInfo0Names) {
  wchar_t a[] = L"alice", b[] = L"Op\u00e9rateurs", c[] = L"PC7$";
  GROUP_USERS_INFO_0 records[3] = {{a}, {b}, {c}};
  std::vector<std::string> names;
  EXPECT_TRUE(AnsiNamesFromRecords(records, 3, names));
  EXPECT_EQ(names, (std::vector<std::string>{"alice", "Op\xE9rateurs", "PC7$"}));
  // a record without its name: error 5 for the command, the names before kept
  records[1].grui0_name = nullptr;
  names.clear();
  EXPECT_FALSE(AnsiNamesFromRecords(records, 3, names));
  EXPECT_EQ(names, std::vector<std::string>{"alice"});
  // members of a local group come as DOMAIN\name
  wchar_t m[] = L"CORP\\bob";
  LOCALGROUP_MEMBERS_INFO_3 member{m};
  names.clear();
  EXPECT_TRUE(AnsiNamesFromRecords(&member, 1, names));
  EXPECT_EQ(names, std::vector<std::string>{"CORP\\bob"});
}

TEST(NetworkRecords, TimeOfDayInfoToClock) {
  TIME_OF_DAY_INFO t{};
  t.tod_elapsedt = 1078060455;
  t.tod_msecs = 123456789;  // since the server started: not the milliseconds
  t.tod_hours = 13, t.tod_mins = 14, t.tod_secs = 15, t.tod_hunds = 42;
  t.tod_timezone = -60;
  t.tod_tinterval = 310;
  t.tod_day = 29, t.tod_month = 2, t.tod_year = 2004, t.tod_weekday = 0;
  const TimeOfDay tod = TimeOfDayFromRecord(&t);
  ClockTime c;
  ASSERT_TRUE(ClockFromTimeOfDay(tod, c));
  EXPECT_EQ(ClockText(c), "2004/02/29_13:14:15.420");
  EXPECT_EQ(c.weekday, 0);
}

}  // namespace
}  // namespace kes
