// The program's own LZ77 compressor.
//
// Stream: groups of one flag byte (bit 0 describes the first item) and up to
// eight items; a set bit is a literal byte, a clear bit a two-byte reference
// b1 b2 with field o = b1 | (b2 & 0xF0) << 4 and length (b2 & 0x0F) + 3. The
// reference reads the window at 1-based position o + 16. The window is a
// 4096-byte ring followed by a mirror copy of it (8192 bytes, all spaces at the
// start); the cursor starts at 0 and is advanced before each write, wrapping
// from 4096 to 1, and every byte is written at the cursor and cursor + 4096.
//
// Match choice of the encoder. The greedy search extends the pattern one input
// byte at a time (up to 18) and looks for the first occurrence of each longer
// pattern in the 8192-byte window, starting where the previous one was found,
// stopping at the first pattern that does not occur. Two facts make its result
// simple:
//   1. Both halves of the window always hold the same bytes, so window byte q
//      equals window byte q + 4096. An occurrence at q > 4096 therefore implies
//      one at q - 4096, and an occurrence at a ring position r <= 4096 of a
//      pattern of up to 18 bytes always fits (r + 17 <= 8192). So the first
//      occurrence of a pattern is the smallest ring position r at which the
//      ring, read circularly from r, starts with the pattern.
//   2. An occurrence of a pattern is an occurrence of each of its prefixes, so
//      the first occurrence of the longer pattern is never before the first
//      occurrence of the shorter one; searching from the previous match finds
//      the same position as searching from position 1.
// Hence the search picks: L = the largest length (at most 18 and at most the
// bytes left) such that the first L input bytes occur circularly in the ring,
// at the smallest circular start. This encoder computes exactly that with
// bitsets: for every byte value b, Have[b] marks the ring positions holding b.
// E_0 = Have[P0] and E_j = rotate_up_by_one(E_{j-1}) & Have[Pj] is the set of
// ring positions where a circular occurrence of P0..Pj ends. L is the number
// of non-empty sets, and the smallest start is found from the end positions in
// E_{L-1}. Each step costs 64 word operations whatever the data, and a match
// of L bytes costs at most L + 1 steps, so the time per input byte is bounded.

#include "packaging/compress.h"

#include <bit>
#include <cstring>
#include <memory>

namespace kes {

namespace {

constexpr size_t kRing = 4096;
constexpr size_t kWords = kRing / 64;
constexpr size_t kMaxMatch = 18;
constexpr size_t kMinMatch = 3;
constexpr size_t kDisplacement = 16;

using Word = uint64_t;

// Sets of ring positions are 64 words of 64 bits (bit k of word w is the
// 0-based ring index 64 * w + k, i.e. 1-based position 64 * w + k + 1), each
// with a summary word whose bit w is set when word w may be non-zero (it is
// always set when the word is non-zero), so that sparse sets cost only their
// few words. Once a set holds only a few occurrences, these are extended by
// comparing bytes directly, which gives the same longest length and first
// position as further steps would.
class Encoder {
 public:
  Encoder() {
    std::memset(have_, 0, sizeof have_);
    std::memset(occ_, 0, sizeof occ_);
    std::memset(bufs_, 0, sizeof bufs_);
    std::memset(ring_, ' ', sizeof ring_);
    for (size_t w = 0; w < kWords; ++w) have_[' '][w] = ~Word{0};
    occ_[' '] = ~Word{0};
  }

  // Writes one byte at the next cursor position, keeping the sets in step.
  void Put(unsigned char b) {
    cursor_ = (cursor_ + 1) & (kRing - 1);  // 0-based index of the 1-based cursor
    const unsigned char old = ring_[cursor_];
    if (old == b) return;
    ring_[cursor_] = b;
    ring_[cursor_ + kRing] = b;
    const size_t w = cursor_ >> 6;
    const Word bit = Word{1} << (cursor_ & 63);
    if (!(have_[old][w] &= ~bit)) occ_[old] &= ~(Word{1} << w);
    have_[b][w] |= bit;
    occ_[b] |= Word{1} << w;
  }

  // Length of the longest prefix of p[0..max) that occurs circularly in the
  // ring, and in start the 0-based index of its first occurrence; a length
  // below kMinMatch leaves start unset.
  size_t Find(const unsigned char* p, size_t max, size_t& start) {
    // e: the end positions of the occurrences of p[0..len); a row of have_
    // at first, then one of the buffers (cur).
    const Word* e = have_[p[0]];
    Word occE = occ_[p[0]];
    int cur = -1;
    size_t len = 1;
    for (; len < max; ++len) {
      if (Few(e, occE)) {
        len = Extend(e, occE, p, len, max, start);
        if (cur >= 0) Clear(bufs_[cur], occE);
        return len;
      }
      const unsigned char b = p[len];
      // Word w of the next set draws on words w and w - 1 of this one.
      Word cand = (occE | std::rotl(occE, 1)) & occ_[b];
      if (!cand) break;
      const int nb = cur == 0 ? 1 : 0;
      Word* n = bufs_[nb];
      const Word* h = have_[b];
      Word occN = 0;
      if (Popcount(cand) > kDense) {
        Word prev = e[kWords - 1];
        for (size_t w = 0; w < kWords; ++w) {
          const Word x = e[w];
          const Word v = ((x << 1) | (prev >> 63)) & h[w];
          prev = x;
          n[w] = v;
          occN |= Word{v != 0} << w;
        }
      } else {
        do {
          const size_t w = Ctz(cand);
          cand &= cand - 1;
          const Word v = ((e[w] << 1) | (e[(w - 1) & (kWords - 1)] >> 63)) & h[w];
          n[w] = v;
          occN |= Word{v != 0} << w;
        } while (cand);
      }
      if (!occN) break;  // n holds only zeros
      if (cur >= 0) Clear(bufs_[cur], occE);
      e = n;
      occE = occN;
      cur = nb;
    }
    if (len >= kMinMatch) {
      // Smallest start (end - back) mod 4096: the first end at or after index
      // back, else (the occurrence runs over the end of the ring) the first end.
      const size_t back = len - 1;
      size_t end;
      if (const Word low = e[0] & (~Word{0} << back)) {
        end = Ctz(low);
      } else if (const Word rest = occE & ~Word{1}) {
        const size_t w = Ctz(rest);
        end = w * 64 + Ctz(e[w]);
      } else {
        end = Ctz(e[0]);
      }
      start = (end + kRing - back) & (kRing - 1);
    }
    if (cur >= 0) Clear(bufs_[cur], occE);
    return len;
  }

 private:
  static constexpr int kDense = 24;  // more words than this: step over all 64
  static constexpr int kFew = 6;     // at most this many occurrences: compare bytes

  static size_t Ctz(Word v) { return static_cast<size_t>(std::countr_zero(v)); }

  static int Popcount(Word v) {
    v = v - ((v >> 1) & 0x5555555555555555u);
    v = (v & 0x3333333333333333u) + ((v >> 2) & 0x3333333333333333u);
    v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<int>((v * 0x0101010101010101u) >> 56);
  }

  // True when the set spans at most two words holding at most kFew positions.
  static bool Few(const Word* e, Word occ) {
    if (!occ) return true;
    const Word rest = occ & (occ - 1);
    if (rest & (rest - 1)) return false;
    int count = Popcount(e[Ctz(occ)]);
    if (rest) count += Popcount(e[Ctz(rest)]);
    return count <= kFew;
  }

  // Extends each occurrence of p[0..len) (ends in e) as far as p[0..max)
  // matches; returns the longest length reached (0 without occurrences) and
  // the smallest start reaching it.
  size_t Extend(const Word* e, Word occ, const unsigned char* p, size_t len, size_t max,
                size_t& start) const {
    size_t best = 0;
    size_t bestStart = 0;
    for (; occ; occ &= occ - 1) {
      const size_t w = Ctz(occ);
      for (Word bits = e[w]; bits; bits &= bits - 1) {
        const size_t s = (w * 64 + Ctz(bits) + kRing - (len - 1)) & (kRing - 1);
        size_t m = len;
        while (m < max && ring_[s + m] == p[m]) ++m;  // s + m < 4096 + 18
        if (m > best || (m == best && s < bestStart)) {
          best = m;
          bestStart = s;
        }
      }
    }
    if (best >= kMinMatch) start = bestStart;
    return best;
  }

  static void Clear(Word* set, Word occ) {
    if (Popcount(occ) > kDense) {
      std::memset(set, 0, kWords * sizeof(Word));
      return;
    }
    for (; occ; occ &= occ - 1) set[Ctz(occ)] = 0;
  }

  Word have_[256][kWords];       // positions holding each byte value
  Word occ_[256];                // summary words of have_
  Word bufs_[2][kWords];         // work sets, all zero between searches
  unsigned char ring_[2 * kRing];  // the ring and its mirror
  size_t cursor_ = kRing - 1;    // the 1-based cursor 0, i.e. 4096, as an index
};

}  // namespace

std::string Compress(std::string_view input, const CompressProgress& progress) {
  const size_t n = input.size();
  std::string out;
  if (n == 0) return out;
  out.resize(n + n / 8 + 1);
  unsigned char* o = reinterpret_cast<unsigned char*>(out.data());
  size_t op = 0;
  const unsigned char* in = reinterpret_cast<const unsigned char*>(input.data());
  auto enc = std::make_unique<Encoder>();
  size_t i = 0;  // 0-based: the 1-based position is i + 1
  while (i < n) {
    if (progress && (i + 1) % 64 == 0) progress(i + 1, n);
    const size_t flagAt = op++;
    unsigned char flags = 0;
    for (int bit = 0; bit < 8 && i < n; ++bit) {
      const size_t left = n - i;
      const size_t max = left < kMaxMatch ? left : kMaxMatch;
      size_t start = 0;
      const size_t len = max >= kMinMatch ? enc->Find(in + i, max, start) : 0;
      if (len < kMinMatch) {
        flags |= static_cast<unsigned char>(1u << bit);
        o[op++] = in[i];
        enc->Put(in[i]);
        ++i;
      } else {
        // 1-based position start + 1, stored as (position - 16) mod 4096.
        const size_t field = (start + 1 + kRing - kDisplacement) & (kRing - 1);
        o[op++] = static_cast<unsigned char>(field & 0xFF);
        o[op++] = static_cast<unsigned char>(((len - kMinMatch) & 0x0F) | ((field >> 8) << 4));
        for (size_t k = 0; k < len; ++k) enc->Put(in[i + k]);
        i += len;
      }
    }
    o[flagAt] = flags;
  }
  out.resize(op);
  return out;
}

std::string Decompress(std::string_view input, size_t maxOutput, bool* truncated) {
  if (truncated) *truncated = false;
  std::string out;
  const size_t n = input.size();
  if (n == 0) return out;
  const unsigned char* in = reinterpret_cast<const unsigned char*>(input.data());
  // Window: ring at [1..4096], mirror at [4097..8192] (1-based indexes).
  unsigned char win[1 + 2 * kRing];
  std::memset(win, ' ', sizeof win);
  size_t cursor = 0;  // 1-based, 0 before the first write

  // Output grows geometrically, never past maxOutput plus one item.
  size_t cap = n * 2 + 64;
  if (cap > maxOutput) cap = maxOutput;
  out.resize(cap);
  size_t op = 0;

  auto write = [&](const unsigned char* src, size_t len) {
    if (op + len > out.size()) {
      size_t want = out.size() * 2;
      if (want < op + len) want = op + len;
      if (want > maxOutput) want = maxOutput;
      out.resize(want);
    }
    std::memcpy(&out[op], src, len);
    op += len;
    // Into the ring and its mirror, split where the cursor wraps.
    size_t done = 0;
    while (done < len) {
      size_t run = kRing - cursor;
      if (run == 0) {
        cursor = 0;
        run = kRing;
      }
      if (run > len - done) run = len - done;
      std::memcpy(win + cursor + 1, src + done, run);
      std::memcpy(win + cursor + 1 + kRing, src + done, run);
      cursor += run;
      done += run;
    }
  };

  size_t i = 0;  // 0-based
  while (i < n) {
    const unsigned flags = in[i++];
    for (int bit = 0; bit < 8 && i < n; ++bit) {
      unsigned char slice[kMaxMatch];
      size_t len;
      const unsigned char* src;
      if (flags & (1u << bit)) {
        src = in + i;
        len = 1;
        i += 1;
      } else {
        if (i + 1 >= n) {  // only the first byte of a reference is left
          i = n;
          break;
        }
        const size_t field = in[i] | ((in[i + 1] & 0xF0u) << 4);
        len = (in[i + 1] & 0x0Fu) + kMinMatch;
        std::memcpy(slice, win + field + kDisplacement, kMaxMatch);  // ends by 4128
        src = slice;
        i += 2;
      }
      if (op + len > maxOutput) {
        write(src, maxOutput - op);
        if (truncated) *truncated = true;
        out.resize(op);
        return out;
      }
      write(src, len);
    }
  }
  out.resize(op);
  return out;
}

}  // namespace kes
