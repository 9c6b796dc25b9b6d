#include <gtest/gtest.h>

#include <string>

#include "packaging/compress.h"
#include "packaging/package_format.h"
#include "packaging/scramble.h"

namespace kes {
namespace {

TEST(Scramble, RoundTripsAndHides) {
  const std::string plain("Password: s3cr\xE9t\x00\xFF end", 20);
  const std::string coded = Scramble(plain);
  EXPECT_EQ(coded.size(), plain.size() * 2);
  EXPECT_EQ(coded.find("s3cr"), std::string::npos);
  EXPECT_EQ(coded.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  std::string back;
  ASSERT_TRUE(Unscramble(coded, back));
  EXPECT_EQ(back, plain);
  // Another key gives other bytes, and only that key reads them back.
  const std::string keyed = Scramble(plain, "k3y");
  EXPECT_NE(keyed, coded);
  ASSERT_TRUE(Unscramble(keyed, back, "k3y"));
  EXPECT_EQ(back, plain);
  ASSERT_TRUE(Unscramble(keyed, back));
  EXPECT_NE(back, plain);
  // The same letter repeated does not give a repeated pattern.
  EXPECT_NE(Scramble("aaaa").substr(0, 2), Scramble("aaaa").substr(2, 2));
  EXPECT_EQ(Scramble(""), "");
}

TEST(Scramble, RefusesWhatItDidNotWrite) {
  std::string out = "x";
  EXPECT_FALSE(Unscramble("ABC", out));  // odd length
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(Unscramble("0g", out));
  EXPECT_FALSE(Unscramble("ab", out));  // lower case is not written
  EXPECT_EQ(UnscrambleOrKeep("plain text"), "plain text");
  EXPECT_EQ(UnscrambleOrKeep(Scramble("SET X=1")), "SET X=1");
}

std::string Body(const std::vector<std::pair<std::string, std::string>>& files, std::vector<std::string> lines) {
  PackageBuilder b;
  for (const auto& f : files) EXPECT_TRUE(b.AddFile(f.first, "ADDONLIST1", f.second));
  std::string body;
  EXPECT_TRUE(b.Finish(MakeTempEntry("", ""), lines, body));
  return body;
}

TEST(Package, BodyRoundTrip) {
  const std::string bin("\x00\x01\x02\x03 data\x00", 10);
  const std::string body = Body({{"A.TXT", "hello"}, {"B.BIN", bin}}, {"SET X=1", "", "ECHO %X%"});
  PackageContents p;
  std::string why;
  ASSERT_EQ(ParsePackageBody(body, p, why), PackageRead::Ok) << why;
  ASSERT_EQ(p.entries.size(), 2u);
  EXPECT_EQ(p.entries[0].fileName, "A.TXT");
  EXPECT_EQ(p.entries[0].varName, "ADDONLIST1");
  EXPECT_EQ(p.Content(p.entries[0]), "hello");
  EXPECT_EQ(p.Content(p.entries[1]), bin);  // the split bytes inside content are content
  EXPECT_EQ(p.tempEntry, "00000");
  EXPECT_EQ(p.script, "SET X=1\r\n\r\nECHO %X%\r\n");
  // Through the compressor, as stored in an executable.
  PackageContents q;
  ASSERT_EQ(ReadPackage(Compress(body), q, why), PackageRead::Ok);
  EXPECT_EQ(q.script, p.script);
}

TEST(Package, OnlyTheTempEntryStillStartsWith16Digits) {
  const std::string body = Body({}, {"ECHO"});
  EXPECT_EQ(body.substr(0, 16), "0000002400000016");
  PackageContents p;
  std::string why;
  EXPECT_EQ(ParsePackageBody(body, p, why), PackageRead::Ok);
  EXPECT_TRUE(p.entries.empty());
}

TEST(Package, NotAPackageIsScriptText) {
  PackageContents p;
  std::string why;
  EXPECT_EQ(ParsePackageBody("SET A=1\r\n", p, why), PackageRead::NotPackage);
  EXPECT_EQ(p.script, "SET A=1\r\n");
  EXPECT_EQ(ParsePackageBody("123456789012345", p, why), PackageRead::NotPackage);
}

TEST(Package, HostileBodiesAreRefused) {
  PackageContents p;
  std::string why;
  const std::string good = Body({{"A.TXT", "hello"}}, {"ECHO"});
  // Lengths past the end, cut short, unreadable lengths.
  EXPECT_EQ(ParsePackageBody("99999999" + good.substr(8), p, why), PackageRead::Damaged);
  for (size_t cut = 16; cut < 40; ++cut)
    EXPECT_EQ(ParsePackageBody(good.substr(0, cut), p, why), PackageRead::Damaged) << cut;
  std::string badEntry = good;
  badEntry.replace(8, 8, "0000999x");  // no longer 16 digits: script text
  EXPECT_EQ(ParsePackageBody(badEntry, p, why), PackageRead::NotPackage);
  badEntry.replace(8, 8, "99999999");
  EXPECT_EQ(ParsePackageBody(badEntry, p, why), PackageRead::Damaged);
  EXPECT_NE(why.find("past the file section"), std::string::npos);
  // Names that would leave the extraction folder.
  for (const char* name : {"..\\X.TXT", "A/B", "C:X", "..", "A\\B", "", "A\tB"}) {
    PackageBuilder b;
    b.AddFile(name, "V", "x");
    std::string body;
    b.Finish("00000", {"ECHO"}, body);
    EXPECT_EQ(ParsePackageBody(body, p, why), PackageRead::Damaged) << name;
  }
  EXPECT_TRUE(SafeEntryName("SETUP.EXE"));
  EXPECT_TRUE(SafeEntryName("A B.TXT"));
  // An empty or hostile compressed block.
  EXPECT_EQ(ReadPackage("", p, why), PackageRead::Damaged);
  EXPECT_EQ(ReadPackage(std::string(1000, '\xFF'), p, why), PackageRead::NotPackage);
}

TEST(Package, TempEntryAndPlugFrame) {
  const std::string t = MakeTempEntry("FORM1,12", "defs");
  std::string index, defs;
  ASSERT_TRUE(ReadTempEntry(t, index, defs));
  EXPECT_EQ(index, "FORM1,12");
  EXPECT_EQ(defs, "defs");
  EXPECT_FALSE(ReadTempEntry("00099abc", index, defs));
  EXPECT_TRUE(ReadTempEntry("00000", index, defs));
  const std::string framed = FramePlug("xyz");
  EXPECT_TRUE(IsFramedPackage(framed));
  EXPECT_EQ(UnframePlug(framed), "xyz");
  EXPECT_FALSE(IsFramedPackage(std::string(kScrambleMark) + "abc"));
  EXPECT_EQ(UnframePlug("short"), "");
}

TEST(Package, DescriptorFields) {
  std::string image = std::string("MZ...KESPKG3:") + "\0" + "..KESPKG1:584705039226..KESPKG3:001235{{{{{{{{..";
  const size_t main = FindDescriptorValue(image, '3', kMainFieldLength);
  ASSERT_NE(main, std::string::npos);
  EXPECT_EQ(ReadDigits(image, main, 6), 1235u);
  EXPECT_EQ(ReadDigits(image, main + 6, 8), 0u);  // "{" reads as 0
  WriteDigits(image, main + 6, 4242, 8);
  EXPECT_EQ(image.substr(main, 14), "00123500004242");
  const size_t first = FindDescriptorValue(image, '1', kFirstFieldLength);
  EXPECT_EQ(ReadDigits(image, first, 6), 584705u);
  EXPECT_EQ(ReadDigits(image, first + 6, 6), 39226u);
  EXPECT_EQ(FindDescriptorValue(image, '2', kSecondFieldLength), std::string::npos);
}

TEST(Package, OptionField) {
  PackageOptions o{"admin", "CORP", "p,w d", true};
  const std::string f = MakeOptionField(o);
  ASSERT_EQ(f.size(), kOptionFieldLength);
  PackageOptions r;
  ASSERT_TRUE(ReadOptionField(f, r));
  EXPECT_EQ(r.account, "admin");
  EXPECT_EQ(r.domain, "CORP");
  EXPECT_EQ(r.password, "p,w d");
  EXPECT_TRUE(r.once);
  ASSERT_TRUE(ReadOptionField(MakeOptionField({}), r));
  EXPECT_EQ(r.account, "");
  EXPECT_FALSE(r.once);
  EXPECT_FALSE(ReadOptionField(std::string(kOptionFieldLength, '#'), r));
}

}  // namespace
}  // namespace kes

namespace kes {
namespace {

// A PE header with a certificate entry: the entry is cleared, the rest kept.
TEST(Package, CertificateEntryCleared) {
  std::string pe(0x200, '\0');
  pe[0] = 'M';
  pe[1] = 'Z';
  pe[0x3C] = 0x80;
  pe.replace(0x80, 4, std::string("PE\0\0", 4));
  const size_t opt = 0x80 + 24;
  pe[opt] = 0x0B;  // PE32
  pe[opt + 1] = 0x01;
  pe[opt + 92] = 16;  // data directories
  const size_t cert = opt + 96 + 4 * 8;
  pe.replace(cert, 8, "\x10\x20\x30\x40\x50\x60\x70\x01");
  const std::string before = pe;
  ASSERT_TRUE(ClearCertificateDirectory(pe));
  EXPECT_EQ(pe.substr(cert, 8), std::string(8, '\0'));
  EXPECT_EQ(pe.substr(0, cert), before.substr(0, cert));
  EXPECT_EQ(pe.substr(cert + 8), before.substr(cert + 8));
  std::string notPe = "MZ but nothing else";
  EXPECT_FALSE(ClearCertificateDirectory(notPe));
  std::string cut = before.substr(0, 0x90);
  EXPECT_FALSE(ClearCertificateDirectory(cut));
}

}  // namespace
}  // namespace kes
