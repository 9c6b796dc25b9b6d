#include "sysadmin/sysinfo_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kes {
namespace {

uint32_t Signature(unsigned family, unsigned model) { return (family << 8) | (model << 4) | 1; }

TEST(SysinfoCpu, IntelNameTable) {
  struct Case {
    unsigned family, model;
    uint8_t descriptor;
    const char* name;
  } cases[] = {
      {3, 0, 0, "386"},
      {4, 9, 0, "486"},
      {5, 1, 0, "Pentium"},
      {5, 3, 0, "Pentium"},
      {5, 4, 0, "Pentium MMX"},
      {5, 8, 0, ""},  // the caller puts the processor type number in its place
      {6, 1, 0, "Intel Pentium Pro"},
      {6, 3, 0, "Intel Pentium II"},
      {6, 5, 0, "Intel Pentium II"},
      {6, 5, 64, "Intel Celeron"},
      {6, 5, 65, "Intel Celeron"},
      {6, 6, 0, "Intel Celeron"},
      {6, 7, 0, "Intel Pentium III"},
      {6, 8, 65, "Intel Celeron"},
      {6, 8, 66, "Intel Pentium III"},
      {6, 10, 0, "Intel Pentium III"},
      {6, 9, 0, "Intel "},
      {15, 2, 0, "Intel "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.family) + "/" + std::to_string(c.model));
    EXPECT_EQ(CpuName("GenuineIntel", Signature(c.family, c.model), c.descriptor), c.name);
  }
  // the extended family and model bits do not count
  EXPECT_EQ(CpuName("GenuineIntel", 0x000A0671, 0), "Intel Pentium III");
}

TEST(SysinfoCpu, OtherVendorIsTheName) {
  EXPECT_EQ(CpuName("AuthenticAMD", Signature(6, 7), 0), "AuthenticAMD");
  EXPECT_EQ(CpuName("CyrixInstead", Signature(5, 2), 0), "CyrixInstead");
}

TEST(SysinfoCpu, SerialAndClock) {
  EXPECT_EQ(CpuSerialText(0x000A0671, 0x1234ABCD, 0x0000F00F), "000A-0671-1234-ABCD-0000-F00F");
  EXPECT_EQ(CpuSerialText(0, 0, 0), "0000-0000-0000-0000-0000-0000");
  EXPECT_EQ(ClockMhz(266666666), 2667);  // counts in 100 ms
  EXPECT_EQ(ClockMhz(49999), 0);
  EXPECT_EQ(ClockMhz(50000), 1);
}

TEST(SysinfoDrives, TypesListsSerials) {
  EXPECT_EQ(DriveTypeName(5), "CD-ROM");
  EXPECT_EQ(DriveTypeName(6), "RAM");
  EXPECT_EQ(DriveTypeName(4), "REMOTE");
  EXPECT_EQ(DriveTypeName(2), "REMOVABLE");
  EXPECT_EQ(DriveTypeName(3), "FIXED");
  EXPECT_EQ(DriveTypeName(1), "FIXED");  // no root folder: not told apart
  EXPECT_EQ(DriveListText(0b1101, ","), "A:,C:,D:");
  EXPECT_EQ(DriveListText((1u << 25) | 4, ";"), "C:;Z:");
  EXPECT_EQ(DriveListText(0xFC000000u, ","), "");  // bits past Z are no drives
  EXPECT_EQ(VolumeSerialText(0x43000000), "4300-0000");
  EXPECT_EQ(VolumeSerialText(0x1A2B3C4D), "1A2B-3C4D");
  EXPECT_EQ(VolumeSerialText(0x12), "0000-0012");
}

TEST(SysinfoDrives, MegabytesRoundAndKilobytesKeepFractions) {
  EXPECT_EQ(MegaBytes(40000000000ull), 38147u);
  EXPECT_EQ(MegaBytes(0), 0u);
  EXPECT_EQ(MegaBytes(524287), 0u);
  EXPECT_EQ(MegaBytes(524288), 1u);  // half a megabyte rounds up
  EXPECT_EQ(MegaBytes(3ull << 20), 3u);
  EXPECT_EQ(KiloBytesText(25276178432ull), "24683768");
  EXPECT_EQ(KiloBytesText(2147483647ull), "2097151.99902344");
  EXPECT_EQ(KiloBytesText(512), "0.5");
}

TEST(SysinfoDrives, BiosDumpShowsPrintableBytes) {
  const unsigned char bytes[] = {'I', 'B', 'M', 0, 31, 32, 126, 127, 0xFF, '1'};
  EXPECT_EQ(PrintableBytes(bytes, sizeof bytes), "IBM.. ~..1");
  EXPECT_EQ(PrintableBytes(bytes, 0), "");
}

TEST(SysinfoVersion, NumbersFlagsTypes) {
  EXPECT_EQ(VersionNumberText(0x00050001, 0x0A280000), "5.1.2600.0");
  EXPECT_EQ(VersionNumberText(0xFFFFFFFF, 0), "65535.65535.0.0");
  EXPECT_EQ(VersionFlagsText(0), "");
  EXPECT_EQ(VersionFlagsText(1), "debug");
  EXPECT_EQ(VersionFlagsText(0x3F), "debug,preRel,patched,private,info,special");
  EXPECT_EQ(VersionFlagsText(0x42), "preRel");  // unknown bits ignored
  EXPECT_EQ(VersionTypeText(1, 0), "app");
  EXPECT_EQ(VersionTypeText(2, 0), "dll");
  EXPECT_EQ(VersionTypeText(3, 1), "driver/printer");
  EXPECT_EQ(VersionTypeText(3, 10), "driver/comm");
  EXPECT_EQ(VersionTypeText(3, 11), "driver");
  EXPECT_EQ(VersionTypeText(3, 0), "driver");
  EXPECT_EQ(VersionTypeText(4, 3), "Font/trueType");
  EXPECT_EQ(VersionTypeText(4, 9), "Font");
  EXPECT_EQ(VersionTypeText(5, 0), "VxD");
  EXPECT_EQ(VersionTypeText(6, 0), "");
  EXPECT_EQ(VersionTypeText(7, 0), "lib");
  EXPECT_EQ(VersionTypeText(0, 0), "");
  EXPECT_EQ(VersionTypeText(99, 1), "");
  EXPECT_EQ(TranslationText(0x040C, 1252), "040C04E4");
  EXPECT_EQ(TranslationText(0x0409, 0x04B0), "040904B0");
}

TEST(SysinfoAdapters, RecordPartsAndCleanUp) {
  const unsigned char mac[] = {0x00, 0x0c, 0x29, 0xab, 0x01, 0xff};
  EXPECT_EQ(HardwareAddressText(mac), "00-0C-29-AB-01-FF");
  EXPECT_EQ(AdapterTypeName(6), "Ethernet");
  EXPECT_EQ(AdapterTypeName(9), "Token Ring");
  EXPECT_EQ(AdapterTypeName(15), "FDDI");
  EXPECT_EQ(AdapterTypeName(23), "PPP");
  EXPECT_EQ(AdapterTypeName(24), "Loopback");
  EXPECT_EQ(AdapterTypeName(28), "SLIP");
  EXPECT_EQ(AdapterTypeName(71), "");
  const char desc[8] = {' ', 'N', '\x01', 'I', '\xE9', 'C', ' ', 'X'};  // no NUL: the size ends it
  EXPECT_EQ(AdapterDescription(desc, sizeof desc), "NIC X");
  const char withNul[] = "Card\0hidden";
  EXPECT_EQ(AdapterDescription(withNul, sizeof withNul), "Card");
  // empty parts fold away: runs of separators become one
  EXPECT_EQ(AdapterRecord("Card", "Ethernet", "00-01-02-03-04-05",
                          "10.0.0.2,255.0.0.0,10.0.0.1,255.255.255.255,,,,,,", ","),
            "Card,Ethernet,00-01-02-03-04-05,10.0.0.2,255.0.0.0,10.0.0.1,255.255.255.255,");
  EXPECT_EQ(AdapterRecord("", "", "00-01-02-03-04-05", std::string(13, ','), ","), ",00-01-02-03-04-05,");
  EXPECT_EQ(AdapterRecord("A\x1A", "B", "C", ";\x02x", ";"), "A;B;Cx");
  EXPECT_EQ(AdapterRecord("A", "B", "C", "D", "::"), "A::B::C::D");
  EXPECT_EQ(AdapterRecord("A", "", "C", "", "::"), "A::C::");
}

// IPCONFIG /ALL of Windows 98: the adapter lines come after the 16 lines
// skipped, so only the second adapter is read.
std::vector<std::string> Win98Lines() {
  return {"",
          "Windows 98 IP Configuration",
          "",
          "        Host Name . . . . . . . . . : PC1",
          "        DNS Servers . . . . . . . . : ",
          "        Node Type . . . . . . . . . : Broadcast",
          "        NetBIOS Scope ID. . . . . . : ",
          "        IP Routing Enabled. . . . . : No",
          "        WINS Proxy Enabled. . . . . : No",
          "        NetBIOS Resolution Uses DNS : No",
          "",
          "0 Ethernet adapter :",
          "",
          "        Description . . . . . . . . : PPP Adapter.",
          "        Physical Address. . . . . . : 44-45-53-54-00-00",
          "        DHCP Enabled. . . . . . . . : Yes",
          "        IP Address. . . . . . . . . : 0.0.0.0",
          "        Subnet Mask . . . . . . . . : 0.0.0.0",
          "",
          "1 Ethernet adapter :",
          "",
          "        Description . . . . . . . . : Novell 2000 Adapter.",
          "        Physical Address. . . . . . : 00-C0-F0-12-34-56",
          "        DHCP Enabled. . . . . . . . : No",
          "        IP Address. . . . . . . . . : 192.168.0.5",
          "        Subnet Mask . . . . . . . . : 255.255.255.0",
          "        Default Gateway . . . . . . : 192.168.0.1",
          "        Lease Obtained. . . . . . . : 12 03 04 10:15:00",
          "",
          "2 Ethernet adapter :",
          "        Description . . . . . . . . : Second\x1A Card",
          "        Physical Address. . . . . . : 00-C0-F0-65-43-21",
          "        DHCP Enabled. . . . . . . . : Yes"};
}

TEST(SysinfoIpconfig, RecordsAtTheFifthLineOfAnAdapter) {
  const std::vector<std::string> r = IpconfigRecords(Win98Lines(), ",");
  ASSERT_EQ(r.size(), 1u);
  // the type is the first word of the opening line; the third adapter
  // never reaches its fifth line
  EXPECT_EQ(r[0], "Novell 2000 Adapter.,1,00-C0-F0-12-34-56,192.168.0.5");
}

TEST(SysinfoIpconfig, EveryColonCutsAndBlankTypesFold) {
  std::vector<std::string> lines(16, "skipped : x");
  // before any opening line the counter runs from 0
  lines.push_back("   first : a");
  lines.push_back("   second : b");  // 2: description
  lines.push_back("Ethernet adapter Local Area Connection:");
  lines.push_back("        Connection-specific DNS Suffix  . : ");  // opens again, with an empty type
  lines.push_back("        Description . . . . . . . . . . . : Intel PRO/100");
  lines.push_back("        Physical Address. . . . . . . . . : 00-0C-29-12-34-56");
  lines.push_back("        Dhcp Enabled. . . . . . . . . . . : No");
  lines.push_back("        IPv6 Address. . . . . . . . . . . : fe80::1");  // field 2 is "fe80"
  lines.push_back("no colon here");
  EXPECT_EQ(IpconfigRecords(lines, ","), std::vector<std::string>{"Intel PRO/100,00-0C-29-12-34-56,fe80"});
  EXPECT_TRUE(IpconfigRecords(std::vector<std::string>(16, "a : b"), ",").empty());
  EXPECT_TRUE(IpconfigRecords({}, ",").empty());
}

TEST(SysinfoExitWindows, Flags) {
  EXPECT_EQ(ExitWindowsFlags("OFF", true), 12u);   // power off, force
  EXPECT_EQ(ExitWindowsFlags("BOOT", true), 6u);   // reboot, force
  EXPECT_EQ(ExitWindowsFlags("BOOT", false), 7u);  // with shut down on the 9x line
  EXPECT_EQ(ExitWindowsFlags("", true), 4u);       // log off, force
  EXPECT_EQ(ExitWindowsFlags("REBOOT", false), 4u);
  EXPECT_EQ(ExitWindowsFlags(" OFF", true), 4u);
}

}  // namespace
}  // namespace kes
