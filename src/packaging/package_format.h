// The package format, pure (no Win32): the body of a packaged executable or
// plug file, its embedded file entries, plug-file framing, and the
// descriptor fields found in an interpreter image. Nothing read from a
// package is trusted: every length is checked against the bytes present.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kes {

// The 10-byte mark of scrambled scripts and plug files: 254, 255 five times.
inline constexpr std::string_view kScrambleMark{"\xFE\xFF\xFE\xFF\xFE\xFF\xFE\xFF\xFE\xFF", 10};

// The largest package body read or written (the 8-digit lengths inside
// allow about 100 MB of embedded files plus the script).
inline constexpr size_t kMaxPackageBody = 200u * 1000 * 1000;
// An entry or file section holds at most 8 digits of length.
inline constexpr size_t kMaxSectionLength = 99999999;

// The entry that ends the file section: name "TEMP#", variable "#".
inline constexpr std::string_view kTempEntryName = "TEMP#";

struct PackageEntry {
  std::string fileName;  // upper case, no path
  std::string varName;
  size_t offset = 0, size = 0;  // the content inside the body
};

struct PackageContents {
  std::string body;                   // the decompressed body
  std::vector<PackageEntry> entries;  // every entry but "TEMP#"
  std::string tempEntry;              // content of "TEMP#": the ASKDIALOG index and definitions
  std::string script;                 // the script lines, each ended by CR LF
  std::string_view Content(const PackageEntry& e) const { return std::string_view(body).substr(e.offset, e.size); }
};

enum class PackageRead { Ok, NotPackage, Damaged };

// Decompresses a package (a main block, or the bytes between the marks of a
// plug file) and reads its body. NotPackage: the data does not start with 16
// digits and is script text (out.script holds it as decompressed). Damaged:
// why says what is wrong; nothing of the package is to be run.
PackageRead ReadPackage(std::string_view compressed, PackageContents& out, std::string& why);
// The same on a body that is already decompressed (moved into out.body).
PackageRead ParsePackageBody(std::string body, PackageContents& out, std::string& why);

// An entry's file name must name a file in the extraction folder: no path
// separators, drive colons, ".." or control characters, not empty.
bool SafeEntryName(std::string_view name);

// Builds a package body. Files are added in order; Finish appends the
// "TEMP#" entry and the script text and gives the body.
class PackageBuilder {
 public:
  // False when the entry would not fit the 8-digit lengths.
  bool AddFile(std::string_view fileName, std::string_view varName, std::string_view content);
  // Lines are stored each followed by one 0x00. False when too large.
  bool Finish(std::string_view tempContent, const std::vector<std::string>& lines, std::string& body);

 private:
  std::string section_;
};

// The "TEMP#" content: 5 digits of index length, the index record (stored
// scrambled), then the definitions. ReadTempEntry is false on a bad length.
std::string MakeTempEntry(std::string_view index, std::string_view definitions);
bool ReadTempEntry(std::string_view content, std::string& index, std::string& definitions);

// Plug files: the mark, the compressed body, the mark.
std::string FramePlug(std::string_view compressed);
bool IsFramedPackage(std::string_view data);
std::string_view UnframePlug(std::string_view data);

// ---- descriptor fields in an interpreter image
// A field is "KESPKG" + its letter (1, 2, 3, O) + ":" followed by its value characters
// (digits, "{" or "$"). Finds the position of the value, or npos.
size_t FindDescriptorValue(std::string_view image, char which, size_t valueLength);
// The value lengths of the fields.
inline constexpr size_t kFirstFieldLength = 12, kSecondFieldLength = 12, kMainFieldLength = 14;
inline constexpr size_t kOptionFieldLength = 146;
// Writes n as a zero-padded decimal of width digits at pos.
void WriteDigits(std::string& image, size_t pos, uint64_t n, size_t width);
// Reads up to len characters at pos as a decimal (text that is not a number reads 0).
uint64_t ReadDigits(std::string_view s, size_t pos, size_t len);

// Zeroes the certificate-table entry of a PE image's data directories, for
// an image taken without the signature that followed it. False when the
// bytes are not a PE image.
bool ClearCertificateDirectory(std::string& image);

// The option field of a packaged executable: the administrator credentials
// (account, domain, password joined with "," into 72 characters) and the
// run-once flag, scrambled. An unfilled field holds "#" characters.
struct PackageOptions {
  std::string account, domain, password;
  bool once = false;
};
std::string MakeOptionField(const PackageOptions& o);
// False when the field is unfilled or not a valid option field.
bool ReadOptionField(std::string_view field, PackageOptions& o);

}  // namespace kes
