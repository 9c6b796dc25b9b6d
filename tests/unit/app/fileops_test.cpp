// Name matching, device names and path parts of the file helpers, and the
// language codes of Windows errors.
#include <gtest/gtest.h>
#include <windows.h>

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

TEST(LanguageError, FileUse) {
  EXPECT_EQ(LanguageError(0), 0);
  EXPECT_EQ(LanguageError(2), 53);
  EXPECT_EQ(LanguageError(3), 76);
  EXPECT_EQ(LanguageError(5), 75);
  EXPECT_EQ(LanguageError(32), 75);
  EXPECT_EQ(LanguageError(80), 58);
  EXPECT_EQ(LanguageError(112), 61);
  EXPECT_EQ(LanguageError(1234), 1234);
}

// The same Windows errors read by each use: {error, File, Folder, Drive, Open}.
TEST(LanguageError, Uses) {
  struct Row {
    unsigned long win;
    int32_t file, folder, drive, open;
  };
  const Row rows[] = {
      {0, 0, 0, 0, 75},
      {ERROR_FILE_NOT_FOUND, 53, 76, 68, 53},
      {ERROR_PATH_NOT_FOUND, 76, 76, 68, 76},
      {ERROR_INVALID_DRIVE, 76, 68, 68, 76},
      {ERROR_NOT_READY, 71, 68, 68, 75},
      {ERROR_ACCESS_DENIED, 75, 75, 75, 75},
      {ERROR_DIRECTORY, ERROR_DIRECTORY, 76, 76, 75},
      {ERROR_INVALID_NAME, 52, 76, 76, 75},
      {ERROR_BAD_NETPATH, 76, 76, 76, 76},
      {ERROR_BAD_NET_NAME, 76, 76, 76, 75},
      {ERROR_DIR_NOT_EMPTY, 75, 75, 75, 75},
      {ERROR_WRITE_PROTECT, 70, 70, 70, 75},
      {ERROR_NOT_SAME_DEVICE, 74, 74, 74, 75},
      {1234, 1234, 1234, 1234, 75},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.win);
    EXPECT_EQ(LanguageError(r.win, WinErrorUse::File), r.file);
    EXPECT_EQ(LanguageError(r.win, WinErrorUse::Folder), r.folder);
    EXPECT_EQ(LanguageError(r.win, WinErrorUse::Drive), r.drive);
    EXPECT_EQ(LanguageError(r.win, WinErrorUse::Open), r.open);
  }
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
