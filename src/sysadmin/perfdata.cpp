#include "sysadmin/perfdata.h"

#include <cstring>

namespace kes {

namespace {

// Offsets in the 32-bit layout of the performance data structures.
constexpr size_t kBlockTotalLength = 20, kBlockHeaderLength = 24, kBlockObjectCount = 28, kBlockSize = 88;
constexpr size_t kObjTotalLength = 0, kObjDefinitionLength = 4, kObjHeaderLength = 8, kObjTitleIndex = 12,
                 kObjCounterCount = 32, kObjInstanceCount = 40, kObjSize = 64;
constexpr size_t kCtrByteLength = 0, kCtrTitleIndex = 4, kCtrSize = 32, kCtrOffset = 36, kCtrDefSize = 40;
constexpr size_t kInstByteLength = 0, kInstNameOffset = 16, kInstNameLength = 20, kInstSize = 24;
constexpr size_t kMaxNameBytes = 128;

bool Read32(std::string_view d, size_t at, uint32_t& v) {
  if (at > d.size() || d.size() - at < 4) return false;
  std::memcpy(&v, d.data() + at, 4);
  return true;
}

void Put32(std::string& d, size_t at, uint32_t v) {
  if (d.size() < at + 4) d.resize(at + 4, '\0');
  std::memcpy(&d[at], &v, 4);
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

long CounterIndex(std::string_view v, std::string_view name) {
  size_t p = 0;
  auto next = [&](std::string_view& out) {
    if (p >= v.size()) return false;
    size_t e = v.find('\0', p);
    if (e == std::string_view::npos) e = v.size();
    out = v.substr(p, e - p);
    p = e + 1;
    return true;
  };
  std::string_view index, text;
  while (next(index) && next(text)) {
    if (index.empty()) break;
    if (text.size() != name.size()) continue;
    bool same = true;
    for (size_t i = 0; i < text.size() && same; ++i) same = AsciiUpper(text[i]) == AsciiUpper(name[i]);
    if (!same) continue;
    long n = 0;
    for (const char c : index) {
      if (c < '0' || c > '9' || n > 100000000) return -1;
      n = n * 10 + (c - '0');
    }
    return n;
  }
  return -1;
}

std::vector<PerfProcess> ParseProcessPerfData(std::string_view d, uint32_t objectIndex, uint32_t idCounterIndex) {
  std::vector<PerfProcess> out;
  uint32_t total = 0, header = 0, objects = 0;
  if (d.size() < 32 || std::memcmp(d.data(), "P\0E\0R\0F\0", 8) != 0) return out;
  if (!Read32(d, kBlockTotalLength, total) || !Read32(d, kBlockHeaderLength, header) ||
      !Read32(d, kBlockObjectCount, objects))
    return out;
  if (total < d.size()) d = d.substr(0, total);
  size_t obj = header;
  for (uint32_t k = 0; k < objects; ++k) {
    uint32_t objLength = 0, defLength = 0, objHeader = 0, title = 0, counters = 0, instances = 0;
    if (!Read32(d, obj + kObjTotalLength, objLength) || !Read32(d, obj + kObjDefinitionLength, defLength) ||
        !Read32(d, obj + kObjHeaderLength, objHeader) || !Read32(d, obj + kObjTitleIndex, title) ||
        !Read32(d, obj + kObjCounterCount, counters) || !Read32(d, obj + kObjInstanceCount, instances))
      return out;
    if (title != objectIndex) {
      if (objLength == 0 || objLength > d.size() - obj) return out;
      obj += objLength;
      continue;
    }
    // The ID counter among the counter definitions.
    size_t def = obj + objHeader;
    bool found = false;
    uint32_t ctrSize = 0, ctrOffset = 0;
    for (uint32_t c = 0; c < counters; ++c) {
      uint32_t len = 0, index = 0;
      if (!Read32(d, def + kCtrByteLength, len) || !Read32(d, def + kCtrTitleIndex, index)) return out;
      if (index == idCounterIndex) {
        if (!Read32(d, def + kCtrSize, ctrSize) || !Read32(d, def + kCtrOffset, ctrOffset)) return out;
        found = true;
        break;
      }
      if (len == 0) len = kCtrDefSize;
      if (len > d.size() - def) return out;
      def += len;
    }
    if (!found || ctrSize < 4) return out;
    // Each instance: its definition and name, then its counter block.
    size_t inst = obj + defLength;
    const int32_t count = static_cast<int32_t>(instances);
    for (int32_t i = 0; i < count; ++i) {
      uint32_t instLength = 0, nameOffset = 0, nameLength = 0;
      if (!Read32(d, inst + kInstByteLength, instLength) || !Read32(d, inst + kInstNameOffset, nameOffset) ||
          !Read32(d, inst + kInstNameLength, nameLength) || instLength < kInstSize || instLength > d.size() - inst)
        return out;
      PerfProcess p;
      const size_t nameAt = inst + nameOffset;
      size_t bytes = nameLength < kMaxNameBytes ? nameLength : kMaxNameBytes;
      if (nameAt > d.size()) return out;
      if (bytes > d.size() - nameAt) bytes = d.size() - nameAt;
      for (size_t b = 0; b + 1 < bytes; b += 2) {
        const char16_t ch = static_cast<char16_t>(static_cast<unsigned char>(d[nameAt + b]) |
                                                  static_cast<unsigned char>(d[nameAt + b + 1]) << 8);
        if (ch == 0) break;
        p.name += ch;
      }
      const size_t block = inst + instLength;
      uint32_t blockLength = 0;
      if (!Read32(d, block, blockLength) || blockLength < 4 || blockLength > d.size() - block ||
          ctrOffset > blockLength - 4 || !Read32(d, block + ctrOffset, p.id))
        return out;
      out.push_back(std::move(p));
      inst = block + blockLength;
    }
    return out;
  }
  return out;
}

// The 32-bit system process record: next-entry offset at 0, the image name
// (length in bytes, maximum, address) at 56, the process ID at 68.
constexpr size_t kSpiNext = 0, kSpiNameLength = 56, kSpiNameAddress = 60, kSpiPid = 68, kSpiSize = 184;

std::vector<PerfProcess> ParseSystemProcesses(std::string_view d, uint32_t base) {
  std::vector<PerfProcess> out;
  size_t at = 0;
  for (;;) {
    uint32_t next = 0, nameWord = 0, nameAddress = 0, pid = 0;
    if (!Read32(d, at + kSpiNext, next) || !Read32(d, at + kSpiNameLength, nameWord) ||
        !Read32(d, at + kSpiNameAddress, nameAddress) || !Read32(d, at + kSpiPid, pid))
      return out;
    PerfProcess p;
    p.id = pid;
    const size_t bytes = nameWord & 0xFFFF;
    const size_t nameAt = static_cast<size_t>(nameAddress - base);
    if (bytes > 0 && nameAddress >= base && nameAt <= d.size() && bytes <= d.size() - nameAt) {
      for (size_t b = 0; b + 1 < bytes; b += 2)
        p.name += static_cast<char16_t>(static_cast<unsigned char>(d[nameAt + b]) |
                                        static_cast<unsigned char>(d[nameAt + b + 1]) << 8);
    } else {
      p.name = u"[System Process]";
    }
    out.push_back(std::move(p));
    if (next == 0 || next > d.size() - at) return out;
    at += next;
  }
}

std::string MakeSystemProcesses(const std::vector<PerfProcess>& procs, uint32_t base) {
  std::string d;
  for (size_t i = 0; i < procs.size(); ++i) {
    const size_t at = d.size();
    const size_t nameBytes = procs[i].name.size() * 2;
    const size_t length = (kSpiSize + nameBytes + 2 + 7) / 8 * 8;
    d.resize(at + length, '\0');
    Put32(d, at + kSpiNext, i + 1 < procs.size() ? static_cast<uint32_t>(length) : 0);
    Put32(d, at + kSpiNameLength, static_cast<uint32_t>(nameBytes | (nameBytes + 2) << 16));
    Put32(d, at + kSpiNameAddress, nameBytes ? base + static_cast<uint32_t>(at + kSpiSize) : 0);
    Put32(d, at + kSpiPid, procs[i].id);
    for (size_t k = 0; k < procs[i].name.size(); ++k) {
      d[at + kSpiSize + 2 * k] = static_cast<char>(procs[i].name[k] & 0xFF);
      d[at + kSpiSize + 2 * k + 1] = static_cast<char>(procs[i].name[k] >> 8);
    }
  }
  return d;
}

std::string MakeProcessPerfData(uint32_t objectIndex, uint32_t idCounterIndex, const std::vector<PerfProcess>& procs) {
  std::string d(kBlockSize, '\0');
  std::memcpy(&d[0], "P\0E\0R\0F\0", 8);
  Put32(d, kBlockHeaderLength, kBlockSize);
  Put32(d, kBlockObjectCount, 1);
  const size_t obj = d.size();
  const size_t defLength = kObjSize + 2 * kCtrDefSize;
  d.resize(obj + defLength, '\0');
  Put32(d, obj + kObjDefinitionLength, static_cast<uint32_t>(defLength));
  Put32(d, obj + kObjHeaderLength, kObjSize);
  Put32(d, obj + kObjTitleIndex, objectIndex);
  Put32(d, obj + kObjCounterCount, 2);
  Put32(d, obj + kObjInstanceCount, static_cast<uint32_t>(procs.size()));
  // a 32-bit counter at offset 4, then the ID at offset 8 of the counter block
  for (uint32_t c = 0; c < 2; ++c) {
    const size_t def = obj + kObjSize + c * kCtrDefSize;
    Put32(d, def + kCtrByteLength, kCtrDefSize);
    Put32(d, def + kCtrTitleIndex, c == 0 ? idCounterIndex + 1000 : idCounterIndex);
    Put32(d, def + kCtrSize, 4);
    Put32(d, def + kCtrOffset, c == 0 ? 4 : 8);
  }
  for (const PerfProcess& p : procs) {
    const size_t inst = d.size();
    const size_t nameBytes = (p.name.size() + 1) * 2;
    const size_t instLength = (kInstSize + nameBytes + 7) / 8 * 8;
    d.resize(inst + instLength, '\0');
    Put32(d, inst + kInstByteLength, static_cast<uint32_t>(instLength));
    Put32(d, inst + kInstNameOffset, kInstSize);
    Put32(d, inst + kInstNameLength, static_cast<uint32_t>(nameBytes));
    for (size_t i = 0; i < p.name.size(); ++i) {
      d[inst + kInstSize + 2 * i] = static_cast<char>(p.name[i] & 0xFF);
      d[inst + kInstSize + 2 * i + 1] = static_cast<char>(p.name[i] >> 8);
    }
    const size_t block = d.size();
    d.resize(block + 16, '\0');
    Put32(d, block, 16);
    Put32(d, block + 4, 12345);
    Put32(d, block + 8, p.id);
  }
  Put32(d, obj + kObjTotalLength, static_cast<uint32_t>(d.size() - obj));
  Put32(d, kBlockTotalLength, static_cast<uint32_t>(d.size()));
  return d;
}

}  // namespace kes
