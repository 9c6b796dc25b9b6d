// The program's own LZ77 compressor.
//
// Stream: groups of one flag byte (bit 0 describes the first item) and up to
// eight items; a set bit is a literal byte, a clear bit a two-byte reference
// b1 b2 with field o = b1 | (b2 & 0xF0) << 4 and length (b2 & 0x0F) + 3. The
// reference reads the window at 1-based position o + 16. The window is a
// 4096-byte ring followed by a mirror copy of it (8192 bytes, all spaces at the
// start); the cursor starts at 0 and is advanced before each write, wrapping
// from 4096 to 1, and every byte is written at the cursor and cursor + 4096.
// A reference copies its whole slice before writing any of it back.
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
// Hence the search picks L = the largest length (at most 18 and at most the
// bytes left) such that the first L input bytes occur circularly in the ring,
// and the smallest circular start r of such an occurrence. When L < 3 the
// item is a literal whatever the position, so only L >= 3 matters.
//
// How this encoder finds (L, r). For every byte value b, Have[b] is the set of
// ring indexes holding b, as a bitset of words. The starts of the occurrences
// of P0..P(k-1) are the intersection over j < k of Have[Pj] shifted down by j
// (circularly). The starts are taken one word ("chunk") at a time, in
// increasing order: for a chunk, the intersection is built term by term until
// it is empty or reaches the longest possible length; its length is the
// chunk's longest match and its lowest bit the chunk's smallest start. Over
// the chunks in increasing order, the first chunk that reaches the overall
// longest length holds the smallest start of that length, which is exactly
// (L, r) above; a chunk reaching the longest possible length ends the search
// at once, since no later start can beat it. Skipping a chunk is safe only
// when it provably holds no start of a 3-byte match, so a chunk is visited
// only when (a) P0 occurs in it and P1, P2 in it or the next chunk (summary
// bits per word of each byte set), and (b) one of its starts begins with a
// 3-gram whose hash equals that of P0 P1 P2 (exact counts per hash and chunk
// are kept as bytes are written, so a zero proves absence). A visited chunk
// that cannot beat the best length so far is dropped after one test of its
// decisive term. Per item this costs at most 64 (32-bit words: 128) chunks of
// 18 word operations, whatever the data, and usually a handful: a run of one
// byte reaches 18 in the first chunk, and text visits the few chunks that
// hold its 3-gram.

#include "packaging/compress.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <memory>

namespace kes {

namespace {

constexpr size_t kRing = 4096;
constexpr size_t kMaxMatch = 18;
constexpr size_t kMinMatch = 3;
constexpr size_t kDisplacement = 16;

template <typename Word>
class Encoder {
 public:
  static constexpr size_t kBits = sizeof(Word) * CHAR_BIT;
  static constexpr size_t kWords = kRing / kBits;   // chunks of the ring
  static constexpr size_t kSum = kWords / kBits;    // summary words per set
  static_assert(kSum >= 1 && kWords % kBits == 0);

  Encoder() {
    std::memset(have_, 0, sizeof have_);
    std::memset(occ_, 0, sizeof occ_);
    std::memset(ring_, ' ', sizeof ring_);
    for (size_t w = 0; w < kWords; ++w) have_[' '][w] = ~Word{0};
    for (size_t s = 0; s < kSum; ++s) occ_[' '][s] = ~Word{0};
    // Every start holds the 3-gram of three spaces.
    std::memset(gramCount_, 0, sizeof gramCount_);
    std::memset(gramOcc_, 0, sizeof gramOcc_);
    const unsigned blank = GramHash(' ', ' ', ' ');
    for (size_t w = 0; w < kWords; ++w) gramCount_[blank][w] = kBits;
    for (size_t s = 0; s < kSum; ++s) gramOcc_[blank][s] = ~Word{0};
  }

  // Writes len (1 to 18) bytes at the next cursor positions, keeping the
  // byte sets and the 3-gram summaries in step. The 3-grams that change are
  // those starting from two places before the first byte to the last one.
  void PutRun(const unsigned char* src, size_t len) {
    const size_t first = (cursor_ + 1) & (kRing - 1);
    unsigned before[kMaxMatch + 2];
    const size_t grams = len + 2;
    for (size_t j = 0; j < grams; ++j) before[j] = GramAt((first + kRing - 2 + j) & (kRing - 1));
    for (size_t k = 0; k < len; ++k) Put(src[k]);
    for (size_t j = 0; j < grams; ++j) {
      const size_t start = (first + kRing - 2 + j) & (kRing - 1);
      const unsigned now = GramAt(start);
      if (now == before[j]) continue;
      const size_t w = start / kBits;
      const Word bit = Word{1} << (w % kBits);
      if (--gramCount_[before[j]][w] == 0) gramOcc_[before[j]][w / kBits] &= ~bit;
      if (gramCount_[now][w]++ == 0) gramOcc_[now][w / kBits] |= bit;
    }
  }

  // Writes one byte at the next cursor position, keeping the byte sets in
  // step (the 3-gram summaries are PutRun's).
  void Put(unsigned char b) {
    cursor_ = (cursor_ + 1) & (kRing - 1);  // 0-based index of the 1-based cursor
    const unsigned char old = ring_[cursor_];
    if (old == b) return;
    ring_[cursor_] = b;
    if (cursor_ < kMaxMatch) ring_[cursor_ + kRing] = b;
    const size_t w = cursor_ / kBits;
    const Word bit = Word{1} << (cursor_ % kBits);
    if (!(have_[old][w] &= ~bit)) occ_[old][w / kBits] &= ~(Word{1} << (w % kBits));
    have_[b][w] |= bit;
    occ_[b][w / kBits] |= Word{1} << (w % kBits);
  }

  // Length of the longest prefix of p[0..max) (3 <= max <= 18) that occurs
  // circularly in the ring, and in start the 0-based ring index of its first
  // occurrence. Lengths below 3 are answered as 0, start unset.
  size_t Find(const unsigned char* p, size_t max, size_t& start) const {
    // Chunks c with a start whose 3-gram hashes like P0 P1 P2, where P0
    // occurs in c and P1, P2 in c or c + 1.
    Word cand[kSum];
    const Word* g = gramOcc_[GramHash(p[0], p[1], p[2])];
    const Word* o0 = occ_[p[0]];
    const Word* o1 = occ_[p[1]];
    const Word* o2 = occ_[p[2]];
    for (size_t s = 0; s < kSum; ++s) {
      const size_t t = (s + 1) % kSum;
      const Word n1 = (o1[s] >> 1) | (o1[t] << (kBits - 1));
      const Word n2 = (o2[s] >> 1) | (o2[t] << (kBits - 1));
      cand[s] = g[s] & o0[s] & (o1[s] | n1) & (o2[s] | n2);
    }
    const Word* h0 = have_[p[0]];
    size_t best = 0;
    size_t bestStart = 0;
    for (size_t s = 0; s < kSum; ++s) {
      for (Word m = cand[s]; m; m &= m - 1) {
        const size_t c = s * kBits + static_cast<size_t>(std::countr_zero(m));
        Word x = h0[c] & Term(p[1], c, 1) & Term(p[2], c, 2);
        if (!x) continue;
        // Only a chunk with a start matching best + 1 bytes can do better.
        if (best >= kMinMatch && !(x & Term(p[best], c, best))) continue;
        size_t len = kMinMatch;
        while (len < max) {
          const Word y = x & Term(p[len], c, len);
          if (!y) break;
          x = y;
          ++len;
        }
        if (len > best) {
          best = len;
          bestStart = c * kBits + static_cast<size_t>(std::countr_zero(x));
          if (len == max) {
            start = bestStart;
            return best;
          }
        }
      }
    }
    if (best) start = bestStart;
    return best;
  }

 private:
  // Bit i: ring index c * kBits + i + k holds b (indexes taken circularly).
  Word Term(unsigned char b, size_t c, size_t k) const {
    const Word* h = have_[b];
    return (h[c] >> k) | (h[(c + 1) & (kWords - 1)] << (kBits - k));  // 0 < k < kBits
  }

  static constexpr unsigned kGramBits = 12;

  static unsigned GramHash(unsigned a, unsigned b, unsigned c) {
    return static_cast<unsigned>(((a << 16 | b << 8 | c) * 0x9E3779B1u) >> (32 - kGramBits)) &
           ((1u << kGramBits) - 1);
  }
  // The 3-gram starting at a ring index, read circularly through the mirror.
  unsigned GramAt(size_t start) const { return GramHash(ring_[start], ring_[start + 1], ring_[start + 2]); }

  Word have_[256][kWords];  // ring indexes holding each byte value
  Word occ_[256][kSum];     // bit w: word w of have_ is not zero
  // For each 3-gram hash, how many starts of each chunk have it, and the
  // summary of the chunks where that count is not zero. A zero bit proves
  // that no start of the chunk begins with a 3-gram of that hash.
  uint8_t gramCount_[1u << kGramBits][kWords];
  Word gramOcc_[1u << kGramBits][kSum];
  unsigned char ring_[kRing + kMaxMatch];  // the ring and the start of its mirror
  size_t cursor_ = kRing - 1;  // the 1-based cursor 0, i.e. 4096, as an index
};

template <typename Word>
std::string CompressWith(std::string_view input, const CompressProgress& progress) {
  const size_t n = input.size();
  std::string out;
  if (n == 0) return out;
  // Eight literals take nine bytes, a reference two bytes for at least three.
  out.resize(n + (n + 7) / 8);
  unsigned char* o = reinterpret_cast<unsigned char*>(out.data());
  size_t op = 0;
  const unsigned char* in = reinterpret_cast<const unsigned char*>(input.data());
  auto enc = std::make_unique<Encoder<Word>>();
  size_t i = 0;  // 0-based: the 1-based position is i + 1
  while (i < n) {
    if (progress && (i + 1) % 64 == 0) progress(i + 1, n);
    const size_t flagAt = op++;
    unsigned flags = 0;
    for (unsigned bit = 0; bit < 8 && i < n; ++bit) {
      const size_t left = n - i;
      const size_t max = left < kMaxMatch ? left : kMaxMatch;
      size_t start = 0;
      const size_t len = max >= kMinMatch ? enc->Find(in + i, max, start) : 0;
      if (len < kMinMatch) {
        flags |= 1u << bit;
        o[op++] = in[i];
        enc->PutRun(in + i, 1);
        ++i;
      } else {
        // 1-based position start + 1, stored as (position - 16) mod 4096.
        const size_t field = (start + 1 + kRing - kDisplacement) & (kRing - 1);
        o[op++] = static_cast<unsigned char>(field & 0xFF);
        o[op++] = static_cast<unsigned char>(((len - kMinMatch) & 0x0F) | ((field >> 8) << 4));
        enc->PutRun(in + i, len);
        i += len;
      }
    }
    o[flagAt] = static_cast<unsigned char>(flags);
  }
  out.resize(op);
  return out;
}

}  // namespace

std::string Compress(std::string_view input, const CompressProgress& progress) {
  // Words as wide as the machine's registers.
  if constexpr (sizeof(void*) >= 8) {
    return CompressWith<uint64_t>(input, progress);
  } else {
    return CompressWith<uint32_t>(input, progress);
  }
}

std::string CompressWithWordBits(std::string_view input, unsigned bits) {
  return bits == 32 ? CompressWith<uint32_t>(input, {}) : CompressWith<uint64_t>(input, {});
}

// The decoder keeps no window of its own. The byte written t-th (0-based) went
// to ring index t mod 4096, so before output byte op is produced, ring index j
// holds output byte op - 4096 + ((j - op) mod 4096) (a space when that is
// negative: nothing was written there yet). Every byte of a slice is thus an
// output byte written before the reference, which is the copy-before-write
// behaviour; the slice runs from that byte up to the last one written, then
// goes on 4096 bytes back.
std::string Decompress(std::string_view input, size_t maxOutput, bool* truncated) {
  if (truncated) *truncated = false;
  const size_t n = input.size();
  const unsigned char* in = reinterpret_cast<const unsigned char*>(input.data());
  std::string out;
  const size_t limit = std::min(maxOutput, out.max_size() - kMaxMatch);

  // First pass: the exact output length, and whether the limit cuts it, so
  // the output is allocated once and no further bounds are needed.
  size_t total = 0;
  bool cut = false;
  for (size_t i = 0; i < n && !cut;) {
    const unsigned flags = in[i++];
    for (unsigned bit = 0; bit < 8 && i < n; ++bit) {
      if (flags & (1u << bit)) {
        if (total == limit) {
          cut = true;
          break;
        }
        ++total;
        ++i;
      } else {
        if (i + 1 >= n) {  // only the first byte of a reference is left
          i = n;
          break;
        }
        const size_t len = (in[i + 1] & 0x0Fu) + kMinMatch;
        if (len > limit - total) {
          total = limit;
          cut = true;
          break;
        }
        total += len;
        i += 2;
      }
    }
  }
  if (truncated) *truncated = cut;
  if (total == 0) return out;

  // Room for a whole slice copied at the last item.
  out.resize(total + kMaxMatch);
  unsigned char* o = reinterpret_cast<unsigned char*>(out.data());
  size_t op = 0;
  size_t i = 0;
  while (op < total) {  // the first pass saw every item read here
    const unsigned flags = in[i++];
    for (unsigned bit = 0; bit < 8 && op < total; ++bit) {
      if (flags & (1u << bit)) {
        o[op++] = in[i++];
        continue;
      }
      const size_t field = in[i] | ((in[i + 1] & 0xF0u) << 4);
      size_t len = (in[i + 1] & 0x0Fu) + kMinMatch;
      i += 2;
      if (len > total - op) len = total - op;
      // Position field + 16 is ring index (field + 15) mod 4096.
      const size_t back = kRing - ((field + kDisplacement - 1 - op) & (kRing - 1));  // 1..4096
      if (back >= kMaxMatch && back <= op) {
        std::memcpy(o + op, o + op - back, kMaxMatch);  // all old bytes, no overlap
      } else {
        for (size_t k = 0; k < len; ++k) {
          size_t d = back - k;  // the byte d places before op, or 4096 more
          if (d == 0 || d > kRing) d += kRing;
          o[op + k] = d <= op ? o[op - d] : ' ';
        }
      }
      op += len;
    }
  }
  out.resize(total);
  return out;
}

}  // namespace kes
