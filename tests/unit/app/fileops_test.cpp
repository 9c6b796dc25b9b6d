// Name matching, device names and path parts of the file helpers.
#include <gtest/gtest.h>

#include "sysadmin/fileops.h"

namespace kes {
namespace {

TEST(NameMatches, StarAndQuestionMark) {
  EXPECT_TRUE(NameMatches("a.txt", "*.txt"));
  EXPECT_TRUE(NameMatches("A.TXT", "*.txt"));
  EXPECT_FALSE(NameMatches("a.txtold", "*.txt"));
  EXPECT_TRUE(NameMatches("a.txtold", "*.txt*"));
  EXPECT_TRUE(NameMatches("abc", "a?c"));
  EXPECT_FALSE(NameMatches("abbc", "a?c"));
  EXPECT_TRUE(NameMatches("x.y.z", "*.z"));
  EXPECT_TRUE(NameMatches("aXbXc", "a*b*c"));
  EXPECT_FALSE(NameMatches("aXbX", "a*b*c"));
}

TEST(NameMatches, NamesWithoutExtension) {
  EXPECT_TRUE(NameMatches("README", "*.*"));
  EXPECT_TRUE(NameMatches("README", "*."));
  EXPECT_FALSE(NameMatches("a.txt", "*."));
  EXPECT_TRUE(NameMatches("a.txt", "*"));
}

TEST(NameMatches, AccentedLettersIgnoreCase) {
  EXPECT_TRUE(NameMatches("\xC9t\xE9.txt", "\xE9T\xC9*"));  // Été / éTÉ
}

TEST(NamesDevice, ReservedNames) {
  EXPECT_TRUE(NamesDevice("NUL"));
  EXPECT_TRUE(NamesDevice("con"));
  EXPECT_TRUE(NamesDevice("C:\\x\\nul.txt"));
  EXPECT_TRUE(NamesDevice("COM1"));
  EXPECT_TRUE(NamesDevice("lpt9.log"));
  EXPECT_TRUE(NamesDevice("aux ."));
  EXPECT_TRUE(NamesDevice("\\\\.\\PhysicalDrive0"));
  EXPECT_FALSE(NamesDevice("COM10"));
  EXPECT_FALSE(NamesDevice("console.txt"));
  EXPECT_FALSE(NamesDevice("C:\\nul\\x.txt"));
  EXPECT_FALSE(NamesDevice("C:\\x\\null"));
}

TEST(CheckUsablePath, Length) {
  EXPECT_EQ(CheckUsablePath(std::string(259, 'a')), 0);
  EXPECT_EQ(CheckUsablePath(std::string(260, 'a')), 52);
  EXPECT_EQ(CheckUsablePath("C:\\CON"), 52);
}

TEST(PathParts, FolderAndName) {
  EXPECT_EQ(FolderPart("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(NamePart("C:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(FolderPart("C:b.txt"), "C:");
  EXPECT_EQ(NamePart("C:b.txt"), "b.txt");
  EXPECT_EQ(FolderPart("b.txt"), "");
  EXPECT_EQ(NamePart("C:\\a\\"), "");
}

TEST(FileErrorCode, Mapping) {
  EXPECT_EQ(FileErrorCode(0), 0);
  EXPECT_EQ(FileErrorCode(2), 53);
  EXPECT_EQ(FileErrorCode(3), 76);
  EXPECT_EQ(FileErrorCode(5), 75);
  EXPECT_EQ(FileErrorCode(32), 75);
  EXPECT_EQ(FileErrorCode(80), 58);
  EXPECT_EQ(FileErrorCode(112), 61);
  EXPECT_EQ(FileErrorCode(1234), 1234);
}

TEST(PathInside, Trees) {
  EXPECT_TRUE(PathInside("C:\\a\\b", "C:\\a"));
  EXPECT_TRUE(PathInside("c:\\A\\b\\", "C:\\a\\"));
  EXPECT_TRUE(PathInside("C:\\a", "C:\\a"));
  EXPECT_FALSE(PathInside("C:\\ab", "C:\\a"));
  EXPECT_FALSE(PathInside("C:\\a", "C:\\a\\b"));
}

}  // namespace
}  // namespace kes
