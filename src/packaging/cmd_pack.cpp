// PACKJOIN and PACK: files packed behind the KesDyn stub (the interpreter's
// first block) into a self-unpacking executable. The pack after the stub:
// a random 16-byte key, 8 digits of index length, the index scrambled with
// that key (one line per file: offset,compressed length,size,destination),
// then each file's compressed stream. The stub's field "KESDYNP:" holds the
// pack's offset and length (10 digits each).
#include <windows.h>

#include "interp/args.h"
#include "interp/commands.h"
#include "interp/errors.h"
#include "packaging/compress.h"
#include "packaging/compress_file.h"
#include "packaging/package.h"
#include "packaging/package_format.h"
#include "packaging/scramble.h"
#include "sysadmin/fileops.h"

namespace kes {

namespace {

// A key that differs from run to run; it only hides the index.
std::string RandomKey() {
  LARGE_INTEGER t{};
  QueryPerformanceCounter(&t);
  uint32_t x = static_cast<uint32_t>(t.QuadPart) ^ (GetTickCount() << 7) ^ (GetCurrentProcessId() * 2654435761u);
  std::string key(16, '\0');
  for (char& k : key) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    k = static_cast<char>(x >> 24);
  }
  return key;
}

// The stub image: the first block of the running file, decompressed.
bool StubImage(Interp& in, std::string& stub) {
  const MachineInfo& m = in.mach;
  std::string block, why;
  if (m.firstPos < 1 || m.firstLen < 1 ||
      !ReadFileRange(ImageFilePath(), static_cast<uint64_t>(m.firstPos - 1), static_cast<uint64_t>(m.firstLen), block,
                     why)) {
    in.err.code = kErrNotFound;
    return false;
  }
  stub = Decompress(block, kMaxPackageBody);
  return true;
}

size_t StubField(const std::string& stub) {
  const char tag[] = {'K', 'E', 'S', 'D', 'Y', 'N', 'P', ':'};
  const size_t p = stub.find(std::string_view(tag, sizeof tag));
  return p == std::string::npos || stub.size() - p - 8 < 20 ? std::string::npos : p + 8;
}

}  // namespace

// PACKJOIN source,destination adds a file to the pack list (53 when the
// source is missing); PACKJOIN with no arguments empties the list. The
// result is the number of files listed.
void CmdPackJoin(Interp& in, Ctx&) {
  in.err.code = kErrNone;
  const std::string source = PathField(in, 1), destination = PathField(in, 2);
  if (source.empty() && destination.empty()) {
    in.pkg.packList.clear();
  } else if (source.empty() || !FileExists(source)) {
    in.err.code = kErrNotFound;
    return;
  } else {
    in.pkg.packList.emplace_back(source, destination);
  }
  in.line.result = std::to_string(in.pkg.packList.size());
}

// PACK target writes the stub and the listed files, each compressed, as a
// self-unpacking executable. The result is the space saved: 100 - compressed
// total x 100 / uncompressed total, rounded down. Errors: 1 no target or an
// empty list, 53 a listed file gone, 75 target not writable.
void CmdPack(Interp& in, Ctx& c) {
  in.err.code = kErrNone;
  const std::string target = PathField(in, 1);
  if (target.empty() || in.pkg.packList.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  std::string stub;
  if (!StubImage(in, stub)) return;
  const size_t field = StubField(stub);
  if (field == std::string::npos) {
    in.err.code = kDamagedPackage;
    return;
  }
  const std::string key = RandomKey();
  std::string index, data;
  uint64_t plainTotal = 0;
  for (const auto& [source, destination] : in.pkg.packList) {
    std::string content;
    if (!FileExists(source)) {
      in.err.code = kErrNotFound;
      return;
    }
    if (const int32_t code = ReadSource(in, source, content)) {
      in.err.code = code;
      return;
    }
    std::string dest = destination;
    if (dest.empty()) dest = source.substr(source.find_last_of("\\/") + 1);
    const std::string packed = CompressWithGauge(in, content, "PACK " + target);
    index += std::to_string(data.size()) + "," + std::to_string(packed.size()) + "," + std::to_string(content.size()) +
             "," + dest + "\r\n";
    data += packed;
    plainTotal += content.size();
  }
  const std::string coded = Scramble(index, key);
  std::string pack = key;
  pack += std::to_string(100000000 + coded.size()).substr(1);
  pack += coded;
  pack += data;
  WriteDigits(stub, field, stub.size(), 10);
  WriteDigits(stub, field + 10, pack.size(), 10);
  if (const int32_t code = ReplaceTarget(target, stub, pack)) {
    in.err.code = code;
    return;
  }
  const uint64_t packedTotal = data.size();
  const int64_t saved = plainTotal == 0 ? 0
                                        : 100 - static_cast<int64_t>((packedTotal * 100 + plainTotal - 1) / plainTotal);
  in.line.result = std::to_string(saved);
}

}  // namespace kes
