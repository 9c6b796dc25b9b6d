// COMPRESS and UNCOMPRESS run directly on files in a temp folder, for what a
// script cannot set up: locked sources and targets, addresses, memory.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"
#include "boxes/boxes.h"
#include "interp/commands.h"
#include "packaging/compress.h"
#include "packaging/compress_file.h"

namespace kes {
namespace {

class CompressCommand : public testing::Test {
 protected:
  void SetUp() override {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    dir_ = std::string(tmp) + "kes_compress_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const char* f : {"a.txt", "a.kz", "b.kz", "back.txt", "locked.kz"}) DeleteFileA(Path(f).c_str());
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir_ + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do DeleteFileA((dir_ + "\\" + fd.cFileName).c_str());
      while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(dir_.c_str());
  }
  std::string Path(const char* name) const { return dir_ + "\\" + name; }

  // Runs the command word on two fields as the dispatcher would.
  int32_t Run(const char* word, const std::string& source, const std::string& target) {
    in_.line.word = word;
    in_.line.args = source + "," + target;
    in_.line.fields = {source, target};
    in_.line.result.assign(kNoResult);
    in_.err.code = 0;
    BlockStacks stacks;
    std::string control, text = in_.line.word + " " + in_.line.args;
    Ctx c{stacks, control, text, FindCommand(word)->index};
    CmdCompress(in_, c);
    return in_.err.code;
  }

  static void Write(const std::string& path, std::string_view bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD w = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &w, nullptr);
    CloseHandle(h);
  }
  static std::string Read(const std::string& path) {
    std::string s;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got) s.append(buf, got);
    CloseHandle(h);
    return s;
  }
  int FilesInDir() const {
    int n = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir_ + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
  }

  Interp in_;
  std::string dir_;
};

TEST_F(CompressCommand, WritesHeaderAndStreamAndGivesThePercentage) {
  const std::string text(1000, 'x');
  Write(Path("a.txt"), text);
  ASSERT_EQ(Run("COMPRESS", Path("a.txt"), Path("a.kz")), 0);
  const std::string packed = Read(Path("a.kz"));
  EXPECT_EQ(packed, CompressedFileHeader(1000) + Compress(text));
  EXPECT_EQ(in_.line.result, std::to_string(SavedPercent(packed.size() - 14, 1000)));
  ASSERT_EQ(Run("UNCOMPRESS", Path("a.kz"), Path("back.txt")), 0);
  EXPECT_EQ(in_.line.result, kNoResult);
  EXPECT_EQ(Read(Path("back.txt")), text);
  EXPECT_EQ(FilesInDir(), 3);  // no work file left behind
}

TEST_F(CompressCommand, LargeInputGoesThroughTheGauge) {
  std::string data;
  for (int k = 0; data.size() < 300000; ++k) data += "line " + std::to_string(k * 7919 % 1000) + "\r\n";
  Write(Path("a.txt"), data);
  ASSERT_EQ(Run("COMPRESS", Path("a.txt"), Path("a.kz")), 0);
  ASSERT_EQ(Run("UNCOMPRESS", Path("a.kz"), Path("back.txt")), 0);
  EXPECT_EQ(Read(Path("back.txt")), data);
}

BOOL CALLBACK FindPopup(HWND h, LPARAM found) {
  char cls[16] = {};
  GetClassNameA(h, cls, sizeof cls);
  if (std::string(cls) != "#32770" || !GetDlgItem(h, kIdPopupPercent)) return TRUE;
  *reinterpret_cast<HWND*>(found) = h;
  return FALSE;
}

// The popup window of this thread, when there is one.
HWND ThreadPopup() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindPopup, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string ControlText(HWND d, int id) {
  char buf[512] = {};
  GetDlgItemTextA(d, id, buf, sizeof buf);
  return buf;
}

TEST_F(CompressCommand, GaugeEndsAtTheLastGroupStartThatIsAMultipleOf64) {
  // The gauge is repainted at most 20 times a second, but it takes every
  // value: a gauge kept open shows the last one, as a gauge repainted at
  // every step would.
  std::string data;
  for (int k = 0; data.size() < 200000; ++k) data += "entry " + std::to_string(k * 7919 % 5000) + ";";
  size_t last = 0;
  Compress(data, [&](size_t pos, size_t) { last = pos; });
  ASSERT_GT(last, data.size() / 2);
  const std::string packed = CompressWithGauge(in_, data, "COMPRESS big.txt", true);
  EXPECT_EQ(packed, Compress(data));
  const size_t chars = (last * 188 * 2 + data.size()) / (2 * data.size());  // rounded
  const std::string percent = std::to_string(last * 20 / data.size() * 5) + "%";
  EXPECT_EQ(PopupText(kIdPopupProgress), std::string(chars, '\x96'));
  EXPECT_EQ(PopupText(kIdPopupPercent), percent);
  EXPECT_EQ(PopupText(kIdPopupMessage), "COMPRESS big.txt");
  HWND popup = ThreadPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(ControlText(popup, kIdPopupProgress), std::string(chars, '\x96'));
  EXPECT_EQ(ControlText(popup, kIdPopupPercent), percent);
  // Throttled values are kept even when the window is not repainted.
  GaugeUpdate(in_, "1,4,%", true);
  GaugeUpdate(in_, "3,4,%", true);
  EXPECT_EQ(PopupText(kIdPopupPercent), "75%");
  GaugeUpdate(in_, "OFF");
  EXPECT_EQ(ThreadPopup(), nullptr);
  EXPECT_EQ(PopupText(kIdPopupPercent), "");
}

TEST_F(CompressCommand, LockedSourceIsNotAccessible) {
  Write(Path("a.txt"), "some text");
  HANDLE lock = CreateFileA(Path("a.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Run("COMPRESS", Path("a.txt"), Path("a.kz")), 75);
  EXPECT_EQ(Read(Path("a.kz")), "<missing>");
  EXPECT_EQ(Run("UNCOMPRESS", Path("a.txt"), Path("back.txt")), 75);
  CloseHandle(lock);
}

TEST_F(CompressCommand, LockedTargetKeepsItsContentAndLeavesNoWorkFile) {
  Write(Path("a.txt"), "some text");
  Write(Path("locked.kz"), "old");
  HANDLE lock = CreateFileA(Path("locked.kz").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Run("COMPRESS", Path("a.txt"), Path("locked.kz")), 75);
  CloseHandle(lock);
  EXPECT_EQ(Read(Path("locked.kz")), "old");
  EXPECT_EQ(FilesInDir(), 2);
}

TEST_F(CompressCommand, TargetInAMissingFolderIsNotAccessible) {
  Write(Path("a.txt"), "some text");
  EXPECT_EQ(Run("COMPRESS", Path("a.txt"), Path("no\\such\\folder\\a.kz")), 75);
}

TEST_F(CompressCommand, AnAddressThatCannotBeFetchedIsNotFound) {
  EXPECT_EQ(Run("COMPRESS", "http://127.0.0.1:1/none.txt", Path("a.kz")), 53);
  EXPECT_EQ(Read(Path("a.kz")), "<missing>");
}

TEST_F(CompressCommand, SourceReplacedByItsOwnCompressedForm) {
  Write(Path("a.txt"), "abcabcabcabc");
  ASSERT_EQ(Run("COMPRESS", Path("a.txt"), Path("a.txt")), 0);
  ASSERT_EQ(Run("UNCOMPRESS", Path("a.txt"), Path("a.txt")), 0);
  EXPECT_EQ(Read(Path("a.txt")), "abcabcabcabc");
}

TEST(CompressFile, SavedPercent) {
  EXPECT_EQ(SavedPercent(0, 0), 0);
  EXPECT_EQ(SavedPercent(286, 1000), 70);   // R = 30.00
  EXPECT_EQ(SavedPercent(300, 1000), 68);   // R = 31.40, 68.60 rounded down
  EXPECT_EQ(SavedPercent(6, 5), -300);      // R = 400
  EXPECT_EQ(SavedPercent(4, 3), -500);      // R = 600: "abc" gives 4 bytes
  EXPECT_EQ(SavedPercent(1111, 1000), -13);  // R = 112.50, -12.50 rounded down
  // R rounded to 2 decimals first: 1/3 of 100 is 33.33, 66.67 rounded down.
  EXPECT_EQ(SavedPercent(100 - 14, 300), 66);
  // 99.995 rounds to 100.00 before the subtraction.
  EXPECT_EQ(SavedPercent(19999 - 14, 20000), 0);
}

TEST(CompressFile, Header) {
  EXPECT_EQ(CompressedFileHeader(0x12345678), std::string("\x01\0\0\0\x02\0\0\0\x03\0\x78\x56\x34\x12", 14));
}

}  // namespace
}  // namespace kes
