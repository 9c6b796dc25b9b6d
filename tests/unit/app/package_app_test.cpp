#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "packaging/package.h"

namespace kes {
namespace {

// A 24-bit bitmap file of w x h pixels whose header may claim more rows
// than it carries.
std::string Bmp(int w, int h, size_t rowsPresent) {
  const size_t stride = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
  std::string bits(stride * rowsPresent, '\x40');
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  fh.bfSize = static_cast<DWORD>(fh.bfOffBits + bits.size());
  BITMAPINFOHEADER bi{};
  bi.biSize = sizeof bi;
  bi.biWidth = w;
  bi.biHeight = h;
  bi.biPlanes = 1;
  bi.biBitCount = 24;
  bi.biCompression = BI_RGB;
  std::string out(reinterpret_cast<const char*>(&fh), sizeof fh);
  out.append(reinterpret_cast<const char*>(&bi), sizeof bi);
  return out + bits;
}

HBITMAP FromMemory(const std::string& content) {
  Interp in;
  EmbeddedFile f;
  f.path = "Z:\\no\\such\\folder\\1_PIC.BMP";
  f.body = std::make_shared<const std::string>("prefix" + content);
  f.offset = 6;
  f.size = content.size();
  in.pkg.files.push_back(f);
  return LoadBitmapFile(in, "z:\\NO\\such\\folder\\1_pic.bmp");
}

TEST(EmbeddedBitmap, LoadedFromMemoryWithinItsBytes) {
  HBITMAP ok = FromMemory(Bmp(5, 4, 4));
  ASSERT_NE(ok, nullptr);
  BITMAP bm{};
  GetObjectA(ok, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 5);
  EXPECT_EQ(bm.bmHeight, 4);
  DeleteObject(ok);
  // Rows, palette or header past the content, other formats: refused.
  EXPECT_EQ(FromMemory(Bmp(5, 4000, 4)), nullptr);
  EXPECT_EQ(FromMemory(Bmp(70000, 1, 1)), nullptr);  // wider than any bitmap read
  EXPECT_EQ(FromMemory(Bmp(5, 4, 4).substr(0, 40)), nullptr);
  std::string eightBit = Bmp(4, 1, 1);
  eightBit[sizeof(BITMAPFILEHEADER) + 14] = 8;  // biBitCount 8: a 256-entry table that is not there
  EXPECT_EQ(FromMemory(eightBit), nullptr);
  std::string rle = Bmp(4, 1, 1);
  rle[sizeof(BITMAPFILEHEADER) + 16] = BI_RLE8;
  EXPECT_EQ(FromMemory(rle), nullptr);
  EXPECT_EQ(FromMemory("not a bitmap at all, just some text of some length"), nullptr);
}

}  // namespace
}  // namespace kes
