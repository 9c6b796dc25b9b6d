#include "sysadmin/sysinfo_text.h"

#include <algorithm>
#include <cstdio>

#include "interp/numformat.h"
#include "interp/text.h"

namespace kes {

namespace {

std::string Hex4(uint32_t v) {
  char b[8];
  std::snprintf(b, sizeof b, "%04X", static_cast<unsigned>(v & 0xFFFF));
  return b;
}

}  // namespace

std::string CpuSerialText(uint32_t signature, uint32_t edx3, uint32_t ecx3) {
  std::string s;
  for (const uint32_t v : {signature, edx3, ecx3}) {
    if (!s.empty()) s += '-';
    s += Hex4(v >> 16) + "-" + Hex4(v);
  }
  return s;
}

std::string CpuName(std::string_view vendor, uint32_t signature, uint8_t descriptor) {
  if (vendor != "GenuineIntel") return std::string(vendor);
  const unsigned family = (signature >> 8) & 15, model = (signature >> 4) & 15;
  const bool celeronCache = descriptor == 64 || descriptor == 65;  // no second-level cache, or 128 KB
  if (family == 3 || family == 4) return std::to_string(family) + "86";
  if (family == 5) return model >= 1 && model <= 3 ? "Pentium" : model == 4 ? "Pentium MMX" : "";
  std::string name = "Intel ";
  if (family != 6) return name;
  switch (model) {
    case 1: return name + "Pentium Pro";
    case 3: return name + "Pentium II";
    case 5: return name + (celeronCache ? "Celeron" : "Pentium II");
    case 6: return name + "Celeron";
    case 7:
    case 8: return name + (celeronCache ? "Celeron" : "Pentium III");
    case 10: return name + "Pentium III";
    default: return name;
  }
}

int64_t ClockMhz(uint64_t counts) { return static_cast<int64_t>((counts + 50000) / 100000); }

std::string DriveTypeName(unsigned type) {
  switch (type) {
    case 5: return "CD-ROM";
    case 6: return "RAM";
    case 4: return "REMOTE";
    case 2: return "REMOVABLE";
    default: return "FIXED";
  }
}

std::string DriveListText(uint32_t mask, std::string_view sep) {
  std::string s;
  for (int i = 0; i < 26; ++i) {
    if (!(mask & (1u << i))) continue;
    if (!s.empty()) s += sep;
    s += static_cast<char>('A' + i);
    s += ':';
  }
  return s;
}

std::string VolumeSerialText(uint32_t serial) { return Hex4(serial >> 16) + "-" + Hex4(serial); }

uint64_t MegaBytes(uint64_t bytes) {
  const uint64_t mb = bytes >> 20, rest = bytes & 0xFFFFF;
  return mb + (rest >= 0x80000 ? 1 : 0);
}

std::string KiloBytesText(uint64_t bytes) { return GeneralFormat(static_cast<Num>(bytes) / 1024); }

std::string PrintableBytes(const unsigned char* p, size_t n) {
  std::string s(n, '.');
  for (size_t i = 0; i < n; ++i)
    if (p[i] >= 32 && p[i] <= 126) s[i] = static_cast<char>(p[i]);
  return s;
}

std::string VersionNumberText(uint32_t ms, uint32_t ls) {
  char b[48];
  std::snprintf(b, sizeof b, "%u.%u.%u.%u", static_cast<unsigned>(ms >> 16), static_cast<unsigned>(ms & 0xFFFF),
                static_cast<unsigned>(ls >> 16), static_cast<unsigned>(ls & 0xFFFF));
  return b;
}

std::string VersionFlagsText(uint32_t flags) {
  static const char* const kWords[] = {"debug", "preRel", "patched", "private", "info", "special"};
  std::string s;
  for (int i = 0; i < 6; ++i) {
    if (!(flags & (1u << i))) continue;
    if (!s.empty()) s += ',';
    s += kWords[i];
  }
  return s;
}

std::string VersionTypeText(uint32_t type, uint32_t subtype) {
  static const char* const kTypes[] = {"", "app", "dll", "driver", "Font", "VxD", "", "lib"};
  static const char* const kDrivers[] = {"",        "printer", "keyboard",    "language", "display", "mouse",
                                         "network", "system",  "installable", "sound",    "comm"};
  static const char* const kFonts[] = {"", "raster", "vector", "trueType"};
  if (type >= 8) return std::string();
  std::string s = kTypes[type];
  const char* sub = "";
  if (type == 3 && subtype < 11) sub = kDrivers[subtype];
  if (type == 4 && subtype < 4) sub = kFonts[subtype];
  if (*sub) s += std::string("/") + sub;
  return s;
}

std::string TranslationText(uint16_t language, uint16_t codePage) { return Hex4(language) + Hex4(codePage); }

std::string AdapterTypeName(unsigned type) {
  switch (type) {
    case 6: return "Ethernet";
    case 9: return "Token Ring";
    case 15: return "FDDI";
    case 23: return "PPP";
    case 24: return "Loopback";
    case 28: return "SLIP";
    default: return std::string();
  }
}

std::string AdapterDescription(const char* field, size_t size) {
  std::string s;
  for (size_t i = 0; i < size && field[i]; ++i) {
    const unsigned char c = static_cast<unsigned char>(field[i]);
    if (c >= 21 && c <= 126) s += static_cast<char>(c);
  }
  return Trim(s);
}

std::string HardwareAddressText(const unsigned char* a) {
  char b[24];
  std::snprintf(b, sizeof b, "%02X-%02X-%02X-%02X-%02X-%02X", a[0], a[1], a[2], a[3], a[4], a[5]);
  return b;
}

std::string AdapterRecord(std::string_view description, std::string_view typeName, std::string_view hardware,
                          std::string_view addresses, std::string_view sep) {
  std::string r;
  r.append(description).append(sep).append(typeName).append(sep).append(hardware).append(sep).append(addresses);
  if (sep.empty()) return r;
  for (int k = 6; k >= 2; --k) {
    std::string run;
    for (int i = 0; i < k; ++i) run += sep;
    ReplaceAll(r, run, sep);
  }
  RemoveChar(r, '\x1A');
  ReplaceAll(r, std::string(sep) + '\x02', "");
  return r;
}

std::vector<std::string> IpconfigRecords(const std::vector<std::string>& lines, std::string_view sep) {
  std::vector<std::string> records;
  std::string type, description, hardware;
  int counter = 0;
  for (size_t i = 16; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    const size_t next = line.find(':', colon + 1);
    const size_t len = next == std::string::npos ? next : next - colon - 1;
    const std::string field2 = Trim(std::string_view(line).substr(colon + 1, len));
    if (field2.empty()) {
      type = line.substr(0, std::min(colon, line.find(' ')));
      counter = 1;
      continue;
    }
    ++counter;
    if (counter == 2) description = field2;
    else if (counter == 3) hardware = field2;
    else if (counter == 5) records.push_back(AdapterRecord(description, type, hardware, field2, sep));
  }
  return records;
}

unsigned ExitWindowsFlags(std::string_view word, bool nt) {
  constexpr unsigned kShutdown = 1, kReboot = 2, kForce = 4, kPowerOff = 8;
  if (word == "OFF") return kPowerOff | kForce;
  if (word == "BOOT") return kReboot | kForce | (nt ? 0 : kShutdown);
  return kForce;
}

}  // namespace kes
