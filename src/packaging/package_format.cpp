#include "packaging/package_format.h"

#include <algorithm>

#include "packaging/compress.h"
#include "packaging/scramble.h"

namespace kes {

namespace {

constexpr std::string_view kEntrySplit{"\x00\x01\x02\x03", 4};

bool AllDigits(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Digits(uint64_t n, size_t width) {
  std::string s(width, '0');
  for (size_t i = width; i-- > 0 && n;) {
    s[i] = static_cast<char>('0' + n % 10);
    n /= 10;
  }
  return s;
}

}  // namespace

uint64_t ReadDigits(std::string_view s, size_t pos, size_t len) {
  if (pos >= s.size()) return 0;
  const std::string_view d = s.substr(pos, len);
  if (d.empty() || !AllDigits(d)) return 0;
  uint64_t n = 0;
  for (char c : d) n = n * 10 + static_cast<uint64_t>(c - '0');
  return n;
}

void WriteDigits(std::string& image, size_t pos, uint64_t n, size_t width) {
  if (pos > image.size() || image.size() - pos < width) return;
  image.replace(pos, width, Digits(n, width));
}

bool SafeEntryName(std::string_view name) {
  if (name.empty() || name.find("..") != std::string_view::npos) return false;
  for (unsigned char c : name)
    if (c < 32 || c == '\\' || c == '/' || c == ':') return false;
  return true;
}

PackageRead ParsePackageBody(std::string body, PackageContents& out, std::string& why) {
  out = PackageContents();
  out.body = std::move(body);
  const std::string_view b = out.body;
  if (b.size() < 16 || !AllDigits(b.substr(0, 16))) {
    // Not a package: the text is a script as it stands.
    out.script.assign(b);
    out.body.clear();
    return PackageRead::NotPackage;
  }
  const uint64_t sectionLength = ReadDigits(b, 0, 8);
  if (sectionLength > b.size() - 8) {
    why = "file section of " + std::to_string(sectionLength) + " bytes in a body of " + std::to_string(b.size());
    return PackageRead::Damaged;
  }
  const size_t sectionEnd = 8 + static_cast<size_t>(sectionLength);
  size_t pos = 8;
  while (pos < sectionEnd) {
    if (sectionEnd - pos < 8 || !AllDigits(b.substr(pos, 8))) {
      why = "entry length unreadable at byte " + std::to_string(pos);
      return PackageRead::Damaged;
    }
    const uint64_t n = ReadDigits(b, pos, 8);
    if (n > sectionEnd - pos - 8) {
      why = "entry of " + std::to_string(n) + " bytes past the file section at byte " + std::to_string(pos);
      return PackageRead::Damaged;
    }
    const size_t start = pos + 8;
    const std::string_view entry = b.substr(start, static_cast<size_t>(n));
    pos = start + static_cast<size_t>(n);
    const size_t split = entry.find(kEntrySplit);
    const size_t zero = entry.find('\0');
    if (split == std::string_view::npos || zero > split) {
      why = "entry without its name at byte " + std::to_string(start);
      return PackageRead::Damaged;
    }
    const std::string_view name = entry.substr(0, zero);
    const std::string_view var = zero < split ? entry.substr(zero + 1, split - zero - 1) : std::string_view();
    const size_t contentStart = start + split + kEntrySplit.size();
    const size_t contentSize = entry.size() - split - kEntrySplit.size();
    if (name == kTempEntryName) {
      out.tempEntry.assign(b.substr(contentStart, contentSize));
      break;
    }
    if (!SafeEntryName(name)) {
      why = "entry name refused: " + std::string(name.substr(0, 64));
      return PackageRead::Damaged;
    }
    out.entries.push_back({std::string(name), std::string(var), contentStart, contentSize});
  }
  // The script text: every 0x00 ends a line.
  const std::string_view text = b.substr(sectionEnd);
  out.script.reserve(text.size() + text.size() / 16);
  size_t from = 0;
  while (from < text.size()) {
    size_t z = text.find('\0', from);
    if (z == std::string_view::npos) z = text.size();
    out.script.append(text.substr(from, z - from));
    out.script += "\r\n";
    from = z + 1;
  }
  return PackageRead::Ok;
}

PackageRead ReadPackage(std::string_view compressed, PackageContents& out, std::string& why) {
  out = PackageContents();
  if (compressed.empty()) {
    why = "empty package";
    return PackageRead::Damaged;
  }
  bool truncated = false;
  std::string body = Decompress(compressed, kMaxPackageBody, &truncated);
  if (truncated) {
    why = "package larger than " + std::to_string(kMaxPackageBody) + " bytes";
    return PackageRead::Damaged;
  }
  return ParsePackageBody(std::move(body), out, why);
}

bool PackageBuilder::AddFile(std::string_view fileName, std::string_view varName, std::string_view content) {
  const size_t n = fileName.size() + 1 + varName.size() + kEntrySplit.size() + content.size();
  if (n > kMaxSectionLength || section_.size() + 8 + n > kMaxSectionLength) return false;
  if (section_.capacity() < section_.size() + 8 + n) section_.reserve(std::max(section_.size() * 2, section_.size() + 8 + n));
  section_ += Digits(n, 8);
  section_.append(fileName);
  section_ += '\0';
  section_.append(varName);
  section_.append(kEntrySplit);
  section_.append(content);
  return true;
}

bool PackageBuilder::Finish(std::string_view tempContent, const std::vector<std::string>& lines, std::string& body) {
  if (!AddFile(kTempEntryName, "#", tempContent)) return false;
  size_t textSize = 0;
  for (const auto& l : lines) textSize += l.size() + 1;
  if (8 + section_.size() + textSize > kMaxPackageBody) return false;
  body.clear();
  body.reserve(8 + section_.size() + textSize);
  body += Digits(section_.size(), 8);
  body += section_;
  section_.clear();
  section_.shrink_to_fit();
  for (const auto& l : lines) {
    body += l;
    body += '\0';
  }
  return true;
}

std::string MakeTempEntry(std::string_view index, std::string_view definitions) {
  const std::string record = index.empty() ? std::string() : Scramble(index);
  if (record.size() > 99999) return "00000";
  return Digits(record.size(), 5) + record + std::string(definitions);
}

bool ReadTempEntry(std::string_view content, std::string& index, std::string& definitions) {
  index.clear();
  definitions.clear();
  if (content.size() < 5 || !AllDigits(content.substr(0, 5))) return false;
  const size_t n = static_cast<size_t>(ReadDigits(content, 0, 5));
  if (n > content.size() - 5) return false;
  if (!Unscramble(content.substr(5, n), index)) return false;
  definitions.assign(content.substr(5 + n));
  return true;
}

std::string FramePlug(std::string_view compressed) {
  std::string out;
  out.reserve(compressed.size() + 2 * kScrambleMark.size());
  out.append(kScrambleMark);
  out.append(compressed);
  out.append(kScrambleMark);
  return out;
}

bool IsFramedPackage(std::string_view data) {
  return data.size() >= 2 * kScrambleMark.size() && data.substr(0, kScrambleMark.size()) == kScrambleMark &&
         data.substr(data.size() - kScrambleMark.size()) == kScrambleMark;
}

std::string_view UnframePlug(std::string_view data) {
  if (!IsFramedPackage(data)) return {};
  return data.substr(kScrambleMark.size(), data.size() - 2 * kScrambleMark.size());
}

size_t FindDescriptorValue(std::string_view image, char which, size_t valueLength) {
  // The tag is put together here so that this code does not carry it whole.
  const char tag[9] = {'K', 'E', 'S', 'P', 'K', 'G', which, ':', 0};
  const std::string_view t(tag, 8);
  for (size_t p = image.find(t); p != std::string_view::npos; p = image.find(t, p + 1)) {
    const size_t v = p + t.size();
    if (image.size() - v < valueLength) return std::string_view::npos;
    const std::string_view value = image.substr(v, valueLength);
    if (std::all_of(value.begin(), value.end(),
                    [](char c) { return (c >= '0' && c <= '9') || c == '{' || c == '$' || c == '#' || (c >= 'A' && c <= 'F'); }))
      return v;
  }
  return std::string_view::npos;
}

namespace {

constexpr size_t kCredentialText = 72;

uint32_t Le(std::string_view s, size_t pos, int bytes) {
  uint32_t v = 0;
  for (int k = bytes - 1; k >= 0; --k) v = (v << 8) | static_cast<unsigned char>(s[pos + static_cast<size_t>(k)]);
  return v;
}

}  // namespace

bool ClearCertificateDirectory(std::string& image) {
  if (image.size() < 0x40 || image[0] != 'M' || image[1] != 'Z') return false;
  const size_t pe = Le(image, 0x3C, 4);
  if (pe > image.size() || image.size() - pe < 24 + 2 || image.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return false;
  const size_t opt = pe + 24;
  const uint32_t magic = Le(image, opt, 2);
  const size_t countAt = opt + (magic == 0x10B ? 92 : magic == 0x20B ? 108 : 0);
  if (countAt == opt || image.size() < countAt + 4) return false;
  if (Le(image, countAt, 4) <= 4) return true;  // no certificate entry
  const size_t entry = countAt + 4 + 4 * 8;
  if (image.size() < entry + 8) return false;
  image.replace(entry, 8, 8, '\0');
  return true;
}

std::string MakeOptionField(const PackageOptions& o) {
  std::string plain = o.account + "," + o.domain + "," + o.password;
  if (plain == ",,") plain.clear();
  plain.resize(kCredentialText, '\0');
  plain += o.once ? '1' : '0';
  return Scramble(plain);  // 146 hexadecimal digits
}

bool ReadOptionField(std::string_view field, PackageOptions& o) {
  o = PackageOptions();
  std::string plain;
  if (field.size() != kOptionFieldLength || !Unscramble(field, plain)) return false;
  o.once = plain.back() == '1';
  plain.resize(kCredentialText);
  plain.resize(std::min(plain.find('\0'), plain.size()));
  if (!plain.empty()) {
    const size_t a = plain.find(',');
    const size_t b = a == std::string::npos ? a : plain.find(',', a + 1);
    o.account = plain.substr(0, a);
    if (a != std::string::npos) o.domain = plain.substr(a + 1, b == std::string::npos ? b : b - a - 1);
    if (b != std::string::npos) o.password = plain.substr(b + 1);
  }
  return true;
}

}  // namespace kes
