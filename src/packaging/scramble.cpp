#include "packaging/scramble.h"

namespace kes {

namespace {

constexpr unsigned char kBuiltinKey[] = {0x5A, 0x13, 0xC7, 0x6E, 0x91, 0x2D, 0xB4, 0x08,
                                         0xE3, 0x47, 0x7C, 0x9F, 0x31, 0xD8, 0x66, 0xAB};
constexpr unsigned char kStart = 0x3C;  // the "previous byte" before the first

std::string_view KeyOrBuiltin(std::string_view key) {
  if (!key.empty()) return key;
  return {reinterpret_cast<const char*>(kBuiltinKey), sizeof kBuiltinKey};
}

int Nibble(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string Scramble(std::string_view plain, std::string_view key) {
  static const char hex[] = "0123456789ABCDEF";
  const std::string_view k = KeyOrBuiltin(key);
  std::string out;
  out.reserve(plain.size() * 2);
  unsigned char prev = kStart;
  for (size_t i = 0; i < plain.size(); ++i) {
    const unsigned char c =
        static_cast<unsigned char>(plain[i]) ^ static_cast<unsigned char>(k[i % k.size()]) ^ prev;
    prev = c;
    out += hex[c >> 4];
    out += hex[c & 15];
  }
  return out;
}

bool Unscramble(std::string_view coded, std::string& out, std::string_view key) {
  out.clear();
  if (coded.size() % 2 != 0) return false;
  const std::string_view k = KeyOrBuiltin(key);
  out.reserve(coded.size() / 2);
  unsigned char prev = kStart;
  for (size_t i = 0; i < coded.size(); i += 2) {
    const int h = Nibble(coded[i]), l = Nibble(coded[i + 1]);
    if (h < 0 || l < 0) {
      out.clear();
      return false;
    }
    const unsigned char c = static_cast<unsigned char>(h * 16 + l);
    out += static_cast<char>(c ^ static_cast<unsigned char>(k[(i / 2) % k.size()]) ^ prev);
    prev = c;
  }
  return true;
}

std::string UnscrambleOrKeep(std::string_view coded, std::string_view key) {
  std::string out;
  if (!Unscramble(coded, out, key)) out.assign(coded);
  return out;
}

}  // namespace kes
