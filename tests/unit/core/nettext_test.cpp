#include "sysadmin/nettext.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace kes {
namespace {

using V = std::vector<std::string>;

TEST(NetText, NetArgumentsCommaOrBlanksPersistenceTakenOut) {
  NetArgs a = ParseNetArgs("use  x:   \\\\srv\\share PERSISTENT");
  EXPECT_EQ(a.fields, (V{"USE", "x:", "\\\\srv\\share"}));
  EXPECT_TRUE(a.persistent);
  a = ParseNetArgs("USE,X:,\\\\srv\\my share, bob , pass word ,NoPersistent");
  EXPECT_EQ(a.fields, (V{"USE", "X:", "\\\\srv\\my share", "bob", "pass word", ""}));
  EXPECT_FALSE(a.persistent);
  // both words: the temporary one wins; neither: temporary
  EXPECT_FALSE(ParseNetArgs("use x: \\\\s\\t persistent nopersistent").persistent);
  EXPECT_FALSE(ParseNetArgs("use x: \\\\s\\t").persistent);
  // a removal that joins the letters around it into the word again
  a = ParseNetArgs("use x: \\\\s\\t NOPERSPERSISTENTISTENT");
  EXPECT_EQ(a.fields, (V{"USE", "x:", "\\\\s\\t"}));
  EXPECT_FALSE(a.persistent);
  a = ParseNetArgs("persistent");
  EXPECT_EQ(a.fields, V{""});
  EXPECT_TRUE(a.persistent);
  EXPECT_EQ(ParseNetArgs("").fields, V{""});
  EXPECT_EQ(NetField(a, 0), "");
  EXPECT_EQ(NetField(a, 2), "");
  a = ParseNetArgs("time \\\\pc1");
  EXPECT_EQ(NetField(a, 1), "TIME");
  EXPECT_EQ(NetField(a, 2), "\\\\pc1");
}

TEST(NetText, LocalNames) {
  EXPECT_TRUE(IsDriveForm("x:"));
  EXPECT_TRUE(IsDriveForm("1:x"));
  EXPECT_FALSE(IsDriveForm("*"));
  EXPECT_TRUE(IsPortForm("lpt1:"));
  EXPECT_TRUE(IsPortForm("LPT"));
  EXPECT_FALSE(IsPortForm("\\\\srv\\lpt"));
  EXPECT_TRUE(IsDriveLetterName("q:"));
  EXPECT_FALSE(IsDriveLetterName("1:"));
  EXPECT_FALSE(IsDriveLetterName("q:\\"));
  const V all = AllLocalNames();
  ASSERT_EQ(all.size(), 35u);
  EXPECT_EQ(all.front(), "A:");
  EXPECT_EQ(all[25], "Z:");
  EXPECT_EQ(all[26], "LPT1:");
  EXPECT_EQ(all.back(), "LPT9:");
}

TEST(NetText, RemoteBeginsTheWantedName) {
  EXPECT_TRUE(RemoteBeginsName("\\\\srv\\share", "\\\\SRV\\SHARE\\folder\\file.txt  "));
  EXPECT_TRUE(RemoteBeginsName("\\\\srv\\share", "\\\\srv\\share"));
  EXPECT_FALSE(RemoteBeginsName("\\\\srv\\share2", "\\\\srv\\share"));
  EXPECT_FALSE(RemoteBeginsName("", "\\\\srv"));
  EXPECT_EQ(ServerUncName(" \\\\srv1 "), "\\\\srv1");
  EXPECT_EQ(ServerUncName("a\\b"), "\\\\ab");
}

// A made-up network: containers by token, records under each.
class FakeNetwork : public ResourceSource {
 public:
  std::map<size_t, std::vector<NetRecord>> tree;  // 0: the top level
  std::vector<NetRecord> Children(const NetRecord* parent) override {
    auto it = tree.find(parent ? parent->token : 0);
    return it == tree.end() ? std::vector<NetRecord>{} : it->second;
  }
};

TEST(NetText, ResourcesDepthFirstWithPaths) {
  FakeNetwork net;
  net.tree[0] = {{"Microsoft Windows Network", true, 1}, {"", true, 9}, {"Other", false, 0}};
  net.tree[1] = {{"WORKGROUP", true, 2}, {"DOMAIN2", true, 3}};
  net.tree[2] = {{"\\\\PC1", true, 4}, {"\\\\PC2", false, 0}};
  net.tree[4] = {{"\\\\PC1\\share", false, 0}};
  net.tree[9] = {{"never", false, 0}};  // under a record without a name
  V paths;
  BrowseResources(net, paths);
  EXPECT_EQ(paths, (V{"Microsoft Windows Network", "Microsoft Windows Network;WORKGROUP",
                      "Microsoft Windows Network;WORKGROUP;\\\\PC1",
                      "Microsoft Windows Network;WORKGROUP;\\\\PC1;\\\\PC1\\share",
                      "Microsoft Windows Network;WORKGROUP;\\\\PC2", "Microsoft Windows Network;DOMAIN2", "Other"}));
}

TEST(NetText, ResourcesFirst256PerContainerAndBoundedDepth) {
  FakeNetwork net;
  net.tree[0] = {{"\\\\SRV", true, 1}};
  for (int i = 0; i < 300; ++i) net.tree[1].push_back({"\\\\SRV\\s" + std::to_string(i), false, 0});
  V paths;
  BrowseResources(net, paths);
  ASSERT_EQ(paths.size(), 257u);
  EXPECT_EQ(paths.back(), "\\\\SRV;\\\\SRV\\s255");
  // a provider whose container holds itself ends at the depth bound
  FakeNetwork loop;
  loop.tree[0] = {{"L", true, 0}};
  paths.clear();
  BrowseResources(loop, paths);
  EXPECT_EQ(paths.size(), static_cast<size_t>(kMaxResourceDepth));
}

TEST(NetText, AccountNamesAndFilters) {
  const char16_t name[] = {u'p', u'c', u'$', 0x00E9, 0x0141, 0};
  EXPECT_EQ(KeepNonZeroBytes(name), std::string("pc$\xE9"
                                                "A\x01"));
  EXPECT_EQ(KeepNonZeroBytes(nullptr), "");
  std::string e;
  EXPECT_TRUE(FilterAccount("bob", AccountFilter::Users, e));
  EXPECT_EQ(e, "bob");
  EXPECT_FALSE(FilterAccount("PC1$", AccountFilter::Users, e));
  EXPECT_TRUE(FilterAccount("PC1$", AccountFilter::Computers, e));
  EXPECT_EQ(e, "PC1");
  EXPECT_FALSE(FilterAccount("bob", AccountFilter::Computers, e));
  EXPECT_TRUE(FilterAccount("Domain Admins", AccountFilter::All, e));
  EXPECT_EQ(e, "Domain Admins");
}

TEST(NetText, GroupTargetsAndEntries) {
  EXPECT_EQ(ClassifyTarget("\\\\DC1", "PC1"), AccountTarget::Server);
  EXPECT_EQ(ClassifyTarget("PC1", "pc1"), AccountTarget::Local);
  EXPECT_EQ(ClassifyTarget("CORP", "PC1"), AccountTarget::Domain);
  EXPECT_EQ(GroupListEntry("PC1", AccountTarget::Local, "Administrators"), "PC1\\Administrators");
  EXPECT_EQ(GroupListEntry("CORP", AccountTarget::Domain, "Domain Users"), "CORP\\Domain Users");
  EXPECT_EQ(GroupListEntry("\\\\DC1", AccountTarget::Server, "Domain Users"), "Domain Users");
  MemberOperand m = SplitMemberOperand(" corp \\ domain admins ");
  EXPECT_EQ(m.domain, "CORP");
  EXPECT_EQ(m.group, "DOMAIN ADMINS");
  m = SplitMemberOperand("Administrators");
  EXPECT_EQ(m.domain, "");
  EXPECT_EQ(m.group, "ADMINISTRATORS");
}

TEST(NetText, NamesFromLevelZeroRecords) {
  // what NetGroupGetUsers level 0 or NetUserEnum level 0 answer: one name
  // pointer per record
  const char16_t a[] = u"alice";
  const char16_t b[] = u"PC7$";
  const char16_t* records[] = {a, b};
  V names;
  EXPECT_TRUE(NamesFromRecords(records, 2, KeepNonZeroBytes, names));
  EXPECT_EQ(names, (V{"alice", "PC7$"}));
  const char16_t* broken[] = {a, nullptr, b};
  names.clear();
  EXPECT_FALSE(NamesFromRecords(broken, 3, KeepNonZeroBytes, names));
  EXPECT_EQ(names, V{"alice"});
  EXPECT_FALSE(NamesFromRecords(nullptr, 1, KeepNonZeroBytes, names));
  EXPECT_TRUE(NamesFromRecords(nullptr, 0, KeepNonZeroBytes, names));
}

TEST(NetText, NetListLines) {
  EXPECT_EQ(NetUseLine("X:", "\\\\server\\Share"), "NET USE X: \\\\SERVER\\SHARE");
  EXPECT_EQ(NetUseLine("LPT1", "\\\\srv\\hp"), "NET USE LPT1 \\\\SRV\\HP");
  const std::vector<PortEntry> ports = {
      {"COM1:", "Local Monitor", "Local Port"}, {"LPT1:", "Local Port", "Local Port"}, {"LPT1:", "second", "ignored"}};
  EXPECT_EQ(LocalPrinterLine({"HP", "LPT1:", kPrinterShared}, ports, ","),
            "PRINTER = HP,LPT1:,Local Port,Local Port,shared");
  EXPECT_EQ(LocalPrinterLine({"Laser", "FILE:", 0}, ports, ";"), "PRINTER = Laser;FILE:;");
  EXPECT_EQ(LocalPrinterLine({"S", "NUL:", kPrinterShared | 1}, {}, ","), "PRINTER = S,NUL:,,shared");
  EXPECT_EQ(ProviderPrinterLine("PRN1", "SRV", "hpshare", ","), "PRINTER = PRN1,\\\\SRV\\hpshare");
  EXPECT_EQ(PrinterLine("\\\\SRV\\PRN"), "PRINTER = \\\\SRV\\PRN");
}

TEST(NetText, DefaultPrinterSettings) {
  EXPECT_EQ(DefaultPrinterOf("HP LaserJet,winspool,LPT1:"), "HP LaserJet");
  EXPECT_EQ(DefaultPrinterOf("alone"), "alone");
  EXPECT_EQ(DefaultPrinterOf(""), "");
  std::string d;
  EXPECT_TRUE(DeviceSetting("HP, 4", "winspool,LPT1:,15,45", d));
  EXPECT_EQ(d, "HP, 4,winspool,LPT1:");
  EXPECT_TRUE(DeviceSetting("P", "winspool", d));
  EXPECT_EQ(d, "P,winspool,");
  EXPECT_FALSE(DeviceSetting("P", "", d));
}

TEST(NetText, OwnerAndProfiles) {
  EXPECT_EQ(OwnerText("BUILTIN", "Administrators"), "\\\\BUILTIN\\Administrators");
  EXPECT_TRUE(ProfileBelongsTo("C:\\Documents and Settings\\Bob", "bob"));
  EXPECT_TRUE(ProfileBelongsTo("C:\\users\\root\\", "ROOT"));
  EXPECT_FALSE(ProfileBelongsTo("C:\\Documents and Settings\\bob.CORP", "bob"));
  EXPECT_FALSE(ProfileBelongsTo("", ""));
  EXPECT_TRUE(ProfileBelongsTo("D:bob", "bob"));
}

TEST(NetText, TimeOfDayToClock) {
  TimeOfDay t;
  t.year = 2004, t.month = 2, t.weekday = 0, t.day = 29, t.hours = 13, t.minutes = 14, t.seconds = 15,
  t.hundredths = 42;
  ClockTime c;
  ASSERT_TRUE(ClockFromTimeOfDay(t, c));
  EXPECT_EQ(c.millis, 420);
  EXPECT_EQ(c.weekday, 0);
  EXPECT_EQ(ClockText(c), "2004/02/29_13:14:15.420");
  TimeOfDay bad = t;
  bad.year = 70000;
  EXPECT_FALSE(ClockFromTimeOfDay(bad, c));
  bad = t;
  bad.hundredths = 100;
  EXPECT_FALSE(ClockFromTimeOfDay(bad, c));
  bad = t;
  bad.month = 0;
  EXPECT_FALSE(ClockFromTimeOfDay(bad, c));
}

}  // namespace
}  // namespace kes
