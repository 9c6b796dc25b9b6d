#include "interp/workfile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace kes {
namespace {

class WorkFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmp[MAX_PATH];
    GetTempPathA(sizeof tmp, tmp);
    folder_ = std::string(tmp) + "kes_workfile_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    path_ = folder_ + "\\data.txt";
    Write(path_, "original\r\n");
  }
  void TearDown() override {
    DeleteFileA(path_.c_str());
    RemoveDirectoryA(folder_.c_str());
  }
  static void Write(const std::string& p, const std::string& text) {
    HANDLE h = CreateFileA(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD w = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &w, nullptr);
    CloseHandle(h);
  }
  std::string Content() {
    std::string s;
    EXPECT_EQ(ReadFileBytes(path_, s, true), 0);
    return s;
  }
  // Nothing but the data file is left in the folder.
  int FilesInFolder() {
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA((folder_ + "\\*").c_str(), &fd);
    int n = 0;
    if (f == INVALID_HANDLE_VALUE) return 0;
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    } while (FindNextFileA(f, &fd));
    FindClose(f);
    return n;
  }
  std::string folder_, path_;
};

TEST_F(WorkFile, ReplacesContent) {
  EXPECT_EQ(ReplaceThroughWorkFile(path_, "new\r\n"), 0);
  EXPECT_EQ(Content(), "new\r\n");
  EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(WorkFile, MissingFileAndFolder) {
  std::string s;
  EXPECT_EQ(ReadFileBytes(folder_ + "\\none.txt", s, false), 53);
  EXPECT_EQ(ReadFileBytes(folder_ + "\\no\\none.txt", s, false), 76);
  EXPECT_EQ(ReadFileBytes(folder_, s, false), 53);
  EXPECT_EQ(ReadFileBytes("", s, false), 1);
  EXPECT_EQ(ReplaceThroughWorkFile(folder_ + "\\no\\none.txt", "x"), 76);
}

TEST_F(WorkFile, LockedFileIsRefusedAndKept) {
  HANDLE lock = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  std::string s;
  EXPECT_EQ(ReadFileBytes(path_, s, false), 75);
  EXPECT_EQ(ReplaceThroughWorkFile(path_, "lost?"), 75);
  CloseHandle(lock);
  EXPECT_EQ(Content(), "original\r\n");
  EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(WorkFile, FileOpenForWritingByAnotherIsNotEdited) {
  // A writer that shares reading: the edit must not read a file that may be
  // changing under it.
  HANDLE writer = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  std::string s;
  EXPECT_EQ(ReadFileBytes(path_, s, false), 75);
  EXPECT_EQ(ReadFileBytes(path_, s, true), 0);
  EXPECT_EQ(s, "original\r\n");
  CloseHandle(writer);
}

TEST_F(WorkFile, ReadOnlyTargetStaysWhole) {
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(ReplaceThroughWorkFile(path_, "changed"), 75);
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(Content(), "original\r\n");
  EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(WorkFile, HiddenAttributeSurvives) {
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(ReplaceThroughWorkFile(path_, "x"), 0);
  EXPECT_TRUE(GetFileAttributesA(path_.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A download's file: written piece by piece, seen only once complete.
TEST_F(WorkFile, WriterReplacesOnlyOnCommit) {
  WorkFileWriter w;
  ASSERT_EQ(w.Open(path_), 0);
  const std::string big(300 * 1024, 'b');  // past the write buffer
  EXPECT_TRUE(w.Write("head:"));
  EXPECT_TRUE(w.Write(big));
  EXPECT_TRUE(w.Write(":tail"));
  EXPECT_EQ(Content(), "original\r\n");  // nothing seen yet
  EXPECT_EQ(FilesInFolder(), 2);         // the work file beside it
  EXPECT_EQ(w.Commit(), 0);
  EXPECT_EQ(Content(), "head:" + big + ":tail");
  EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(WorkFile, WriterAbandonedLeavesTheTarget) {
  {
    WorkFileWriter w;
    ASSERT_EQ(w.Open(path_), 0);
    EXPECT_TRUE(w.Write("half a download"));
  }  // destroyed without Commit
  EXPECT_EQ(Content(), "original\r\n");
  EXPECT_EQ(FilesInFolder(), 1);
  // a new file is created by Commit only
  WorkFileWriter w;
  const std::string fresh = folder_ + "\\fresh.bin";
  ASSERT_EQ(w.Open(fresh), 0);
  w.Abandon();
  EXPECT_EQ(GetFileAttributesA(fresh.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(WorkFile, WriterRefusals) {
  WorkFileWriter w;
  EXPECT_EQ(w.Open(folder_ + "\\no such folder\\x.bin"), 76);
  EXPECT_EQ(w.Open(folder_), 75);  // a folder
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(w.Open(path_), 75);
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(w.Commit(), 75);  // nothing open
  EXPECT_EQ(Content(), "original\r\n");
}

}  // namespace
}  // namespace kes
