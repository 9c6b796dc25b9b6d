#include "net/base64.h"

#include <cstdint>

namespace kes {

namespace {
constexpr char kB64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int B64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}
}  // namespace

std::string Base64Encode(std::string_view data) {
  std::string out;
  out.reserve((data.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= data.size(); i += 3) {
    const uint32_t v = static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << 16 |
                       static_cast<uint32_t>(static_cast<unsigned char>(data[i + 1])) << 8 |
                       static_cast<unsigned char>(data[i + 2]);
    out += kB64[v >> 18];
    out += kB64[(v >> 12) & 63];
    out += kB64[(v >> 6) & 63];
    out += kB64[v & 63];
  }
  const size_t rest = data.size() - i;
  if (rest) {
    uint32_t v = static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << 16;
    if (rest == 2) v |= static_cast<uint32_t>(static_cast<unsigned char>(data[i + 1])) << 8;
    out += kB64[v >> 18];
    out += kB64[(v >> 12) & 63];
    out += rest == 2 ? kB64[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string Base64Decode(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3 + 3);
  uint32_t acc = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '\r' || c == '\n') continue;
    const int v = B64Value(c);
    if (v < 0) break;  // "=" padding or any other character ends the data
    acc = (acc << 6) | static_cast<uint32_t>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((acc >> bits) & 0xFF);
    }
  }
  return out;
}

}  // namespace kes
