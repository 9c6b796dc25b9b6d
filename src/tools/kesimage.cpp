// Build tool (runs on the build machine): appends the compressed stub to a
// freshly linked interpreter image as its first block and fixes the package
// descriptor: first block offset and length, main block offset = size of the
// whole image + 1. Fails when the image would not fit the 6-digit offsets.
//   kesimage IMAGE STUB
// For tests, kesimage --dump FILE prints the package of a packaged
// executable or plug file: its descriptor, entries and script.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "packaging/compress.h"
#include "packaging/package_format.h"

namespace {

bool Load(const char* path, std::string& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

int Dump(const char* path) {
  std::string data;
  if (!Load(path, data)) return 1;
  std::string_view block;
  if (kes::IsFramedPackage(data)) {
    block = kes::UnframePlug(data);
    std::printf("plug file\n");
  } else {
    const size_t main = kes::FindDescriptorValue(data, '3', kes::kMainFieldLength);
    if (main == std::string::npos) return 1;
    const uint64_t pos = kes::ReadDigits(data, main, 6), len = kes::ReadDigits(data, main + 6, 8);
    const size_t first = kes::FindDescriptorValue(data, '1', kes::kFirstFieldLength);
    std::printf("first %llu %llu\nmain %llu %llu\nsize %zu\n", (unsigned long long)kes::ReadDigits(data, first, 6),
                (unsigned long long)kes::ReadDigits(data, first + 6, 6), (unsigned long long)pos,
                (unsigned long long)len, data.size());
    if (pos == 0 || pos - 1 > data.size()) return 0;
    block = std::string_view(data).substr(pos - 1, len);
  }
  kes::PackageContents p;
  std::string why;
  const kes::PackageRead r = kes::ReadPackage(block, p, why);
  std::printf("read %d %s\n", static_cast<int>(r), why.c_str());
  for (const auto& e : p.entries)
    std::printf("entry %s %s %zu\n", e.fileName.c_str(), e.varName.c_str(), e.size);
  std::printf("temp %s\n---\n%s", p.tempEntry.c_str(), p.script.c_str());
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--dump") return Dump(argv[2]);
  if (argc != 3) {
    std::fprintf(stderr, "usage: kesimage IMAGE STUB\n");
    return 2;
  }
  std::string image, stub;
  if (!Load(argv[1], image) || !Load(argv[2], stub)) {
    std::fprintf(stderr, "kesimage: cannot read %s or %s\n", argv[1], argv[2]);
    return 1;
  }
  const size_t first = kes::FindDescriptorValue(image, '1', kes::kFirstFieldLength);
  const size_t main = kes::FindDescriptorValue(image, '3', kes::kMainFieldLength);
  if (first == std::string::npos || main == std::string::npos) {
    std::fprintf(stderr, "kesimage: %s carries no package descriptor\n", argv[1]);
    return 1;
  }
  if (kes::ReadDigits(image, main, 6) != 0) {
    std::fprintf(stderr, "kesimage: %s has its first block already\n", argv[1]);
    return 1;
  }
  const std::string block = kes::Compress(stub);
  const size_t total = image.size() + block.size();
  if (total + 1 > 999999) {
    std::fprintf(stderr, "kesimage: %s with its first block is %zu bytes; the descriptor holds 6 digits (999,998 at most)\n",
                 argv[1], total);
    return 1;
  }
  kes::WriteDigits(image, first, image.size() + 1, 6);
  kes::WriteDigits(image, first + 6, block.size(), 6);
  kes::WriteDigits(image, main, total + 1, 6);
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(image.data(), static_cast<std::streamsize>(image.size()));
  out.write(block.data(), static_cast<std::streamsize>(block.size()));
  if (!out) {
    std::fprintf(stderr, "kesimage: cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("kesimage: %s %zu bytes (first block %zu bytes at %zu)\n", argv[1], total, block.size(), image.size() + 1);
  return 0;
}
