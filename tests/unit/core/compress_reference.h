// Plain, slow transcription of the compressor's greedy search and of the
// decoder, step by step, with 1-based positions. The tests check the real
// encoder and decoder against it byte for byte. Nothing here is optimised on
// purpose: every search scans the 8192-byte window from its start position.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace kes_reference {

class Window {
 public:
  Window() { std::memset(bytes_, ' ', sizeof bytes_); }

  // Advances the cursor (0 -> 1, 4096 -> 1) and writes both copies.
  void Put(unsigned char b) {
    cursor_ = cursor_ + 1;
    if (cursor_ > 4096) cursor_ = 1;
    bytes_[cursor_] = b;
    bytes_[cursor_ + 4096] = b;
  }

  unsigned char At(size_t pos) const { return bytes_[pos]; }  // 1..8192

  // First q >= start with window[q .. q + len - 1] == pattern, or 0.
  size_t Find(const std::string& pattern, size_t start) const {
    const size_t len = pattern.size();
    for (size_t q = start; q + len - 1 <= 8192; ++q) {
      bool same = true;
      for (size_t k = 0; k < len; ++k) {
        if (bytes_[q + k] != static_cast<unsigned char>(pattern[k])) {
          same = false;
          break;
        }
      }
      if (same) return q;
    }
    return 0;
  }

 private:
  unsigned char bytes_[1 + 8192];  // index 0 unused
  size_t cursor_ = 0;
};

// groupStarts (when given) receives the 1-based input position at the start
// of every group.
inline std::string Compress(std::string_view input, std::vector<size_t>* groupStarts = nullptr) {
  const size_t n = input.size();
  auto at = [&](size_t pos) { return static_cast<unsigned char>(input[pos - 1]); };
  Window win;
  std::string out;
  size_t i = 1;
  while (i <= n) {
    if (groupStarts) groupStarts->push_back(i);
    unsigned char flag = 0;
    std::string items;
    for (int bit = 0; bit <= 7; ++bit) {
      std::string pattern;
      size_t start = 1;
      size_t bestLength = 0;
      size_t bestPosition = 0;
      for (size_t k = 0; k <= 17 && i + k <= n; ++k) {
        pattern.push_back(static_cast<char>(at(i + k)));
        const size_t found = win.Find(pattern, start);
        if (found == 0) break;
        bestLength = k + 1;
        bestPosition = found;
        start = found;
      }
      if (bestLength < 3) {
        flag = static_cast<unsigned char>(flag | (1u << bit));
        items.push_back(static_cast<char>(at(i)));
        win.Put(at(i));
        i = i + 1;
      } else {
        const size_t o = (bestPosition + 4096 - 16) % 4096;
        items.push_back(static_cast<char>(o & 0xFF));
        items.push_back(static_cast<char>(((bestLength - 3) & 0x0F) | (((o >> 8) & 0x0F) << 4)));
        for (size_t k = 0; k < bestLength; ++k) win.Put(at(i + k));
        i = i + bestLength;
      }
      if (i > n) break;
    }
    out.push_back(static_cast<char>(flag));
    out += items;
  }
  return out;
}

inline std::string Decompress(std::string_view input) {
  const size_t n = input.size();
  auto at = [&](size_t pos) { return static_cast<unsigned char>(input[pos - 1]); };
  Window win;
  std::string out;
  size_t i = 1;
  while (i <= n) {
    const unsigned char flag = at(i);
    i = i + 1;
    if (i > n) break;
    for (int bit = 0; bit <= 7; ++bit) {
      if (flag & (1u << bit)) {
        const unsigned char b = at(i);
        win.Put(b);
        out.push_back(static_cast<char>(b));
        i = i + 1;
      } else {
        if (i + 1 > n) return out;  // the reference is cut: keep the whole items
        const unsigned b1 = at(i);
        const unsigned b2 = at(i + 1);
        const size_t o = b1 | ((b2 & 0xF0u) << 4);
        const size_t position = (o & 4095) + 16;
        const size_t length = (b2 & 0x0Fu) + 3;
        std::string slice;
        for (size_t k = 0; k < length; ++k) slice.push_back(static_cast<char>(win.At(position + k)));
        for (char c : slice) {
          win.Put(static_cast<unsigned char>(c));
          out.push_back(c);
        }
        i = i + 2;
      }
      if (i > n) break;
    }
  }
  return out;
}

}  // namespace kes_reference
