// The texts of the system information commands (SYSTEM, VERSION, NETHARD,
// PING, EXITWINDOWS): processor names, drive and volume texts, version
// numbers, flags and types, network adapter records and the lines of
// IPCONFIG /ALL. Pure: the commands ask Windows and hand the numbers here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kes {

// ---- processor
// The serial text: six groups of four upper-case hexadecimal digits joined
// by "-", the high and low halves of the signature (CPUID leaf 1 EAX), then
// of EDX and of ECX of leaf 3.
std::string CpuSerialText(uint32_t signature, uint32_t edx3, uint32_t ecx3);
// The processor name from the vendor text (leaf 0), the signature and the
// descriptor byte (low byte of EDX of leaf 2); empty where the name table
// has none (the caller then uses the processor type number).
std::string CpuName(std::string_view vendor, uint32_t signature, uint8_t descriptor);
// Clock in MHz from the time-stamp counts 100 ms apart, rounded.
int64_t ClockMhz(uint64_t counts);

// ---- drives and volumes
// "CD-ROM", "RAM", "REMOTE", "REMOVABLE" or "FIXED" for a GetDriveType code.
std::string DriveTypeName(unsigned type);
// The letters present in a logical-drive mask, each as letter + ":",
// joined by sep.
std::string DriveListText(uint32_t mask, std::string_view sep);
// A volume serial number as two groups of four hexadecimal digits: 1234-ABCD.
std::string VolumeSerialText(uint32_t serial);
// A byte count in megabytes (bytes / 1024 / 1024), rounded half up.
uint64_t MegaBytes(uint64_t bytes);
// Memory bytes as the SYSTEM memory items give them: bytes / 1024 in the
// general number format (a fraction is possible).
std::string KiloBytesText(uint64_t bytes);
// BIOSDUMP: bytes 32 to 126 as themselves, any other as ".".
std::string PrintableBytes(const unsigned char* p, size_t n);

// ---- version resource
// A version of the fixed file information: four numbers joined by ".".
std::string VersionNumberText(uint32_t mostSignificant, uint32_t leastSignificant);
// The flag words debug, preRel, patched, private, info, special joined by ",".
std::string VersionFlagsText(uint32_t flags);
// app, dll, driver, Font, VxD, lib, with "/" and the subtype word for
// drivers and fonts (driver/printer); empty for other types.
std::string VersionTypeText(uint32_t type, uint32_t subtype);
// The translation text: language and code page as eight hexadecimal digits.
std::string TranslationText(uint16_t language, uint16_t codePage);
// The string items of a version resource, in the order VERSION gives them.
inline constexpr const char* kVersionStringItems[] = {"CompanyName",      "FileDescription", "FileVersion",
                                                      "InternalName",     "LegalCopyright",  "OriginalFileName",
                                                      "ProductName",      "ProductVersion"};

// ---- network adapters
// "Ethernet", "Token Ring", "FDDI", "PPP", "Loopback", "SLIP"; empty for
// other adapter types.
std::string AdapterTypeName(unsigned type);
// The characters of a description field whose codes lie from 21 to 126,
// up to its first NUL, trimmed.
std::string AdapterDescription(const char* field, size_t size);
// The first six bytes as XX-XX-XX-XX-XX-XX.
std::string HardwareAddressText(const unsigned char* address);
// The NETHARD record: description, type name, hardware address and address
// part joined by sep; then runs of separators fold into one, characters 26
// go, and a separator followed by character 2 goes.
std::string AdapterRecord(std::string_view description, std::string_view typeName, std::string_view hardware,
                          std::string_view addresses, std::string_view sep);
// The records read from the lines of IPCONFIG /ALL, in the order found.
// The first 16 lines are skipped; a line with ":" whose second field
// (between the first and second ":") is empty opens an adapter (its type is
// the line's first word); the next such lines give the description (2nd),
// the hardware address (3rd) and, at the 5th, the address part, where the
// record is complete.
std::vector<std::string> IpconfigRecords(const std::vector<std::string>& lines, std::string_view sep);

// ---- EXITWINDOWS
// The ExitWindowsEx flags for the argument (already upper-cased and
// right-trimmed): OFF powers off, BOOT restarts (with shut down on the 9x
// line), anything else logs off; force is always included.
unsigned ExitWindowsFlags(std::string_view word, bool nt);

}  // namespace kes
