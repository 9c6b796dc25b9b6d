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
// How this encoder finds (L, r). Every ring start whose first three bytes are
// settled sits in a "short" bucket chosen by a hash of those three bytes; the
// two starts just before the cursor, whose three bytes still run into bytes
// about to be overwritten, are tried one by one. A start joins its bucket
// when its third byte is written and leaves it when its first byte is
// overwritten, so each bucket is a queue: members join at the tail and leave
// from the head, in order of writing. The ring is written in increasing index
// order, wrapping at 4096, so the members that joined since the joining index
// last wrapped come after the older ones and have the smaller indexes.
// Walking a bucket from its first member of the current round to the tail,
// then from the head up to that member, visits its starts in increasing ring
// index: the first start that matches the longest possible length ends the
// walk (a run of one byte stops at once), and a later start replaces the
// match only when it is longer. A visited start is measured four bytes at a
// time; once a match of B bytes is known, a start is measured only when its
// four bytes ending at byte B + 1 agree.
//
// Text and machine code visit a handful of starts per item. Data over a few
// letters fills the short buckets (one start in eight over two letters), so
// while the walks get costly a second set of "long" buckets, by a hash of
// eight bytes, is kept the same way: a start that agrees on eight bytes or
// more is in the pattern's long bucket or among the seven starts before the
// cursor, and only when there is none is the short bucket walked, for at
// most seven bytes.

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
// Bytes of the mirror kept behind the ring: a match of 18 bytes plus the
// reach of the four-byte reads that measure it.
constexpr size_t kMirror = 20;

inline uint32_t Load32(const unsigned char* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Equal leading bytes of a and b, at most max (<= 20); both are readable for
// 20 bytes.
inline size_t CommonLength(const unsigned char* a, const unsigned char* b, size_t max) {
  for (size_t k = 0; k < max; k += 4) {
    const uint32_t x = Load32(a + k) ^ Load32(b + k);
    if (x) {
      if constexpr (std::endian::native == std::endian::little) k += static_cast<size_t>(std::countr_zero(x)) >> 3;
      else k += static_cast<size_t>(std::countl_zero(x)) >> 3;
      return k < max ? k : max;
    }
  }
  return max;
}

// The starts of the ring whose first K bytes are settled, in buckets by a
// hash of those K bytes (see the top of the file). Start s joins when byte
// s + K - 1 is written and leaves when byte s is overwritten, so the K - 1
// starts just before the cursor are never members.
template <size_t K, unsigned HashBits>
class Queues {
 public:
  // The members are counted and chained in order of joining, circularly:
  // the tail's next is the head, the oldest member. An empty bucket's tail
  // is the spare slot kRing of next_, so that joining needs no test.
  // firstNew is the first member that joined in the current round when its
  // round bit is that of the current round; otherwise every member is of
  // the previous round.
  struct Bucket {
    uint16_t tail = kRing;
    uint16_t firstNew = kRoundBit;
    uint16_t count = 0;
  };

  Queues() { Clear(); }

  // The initial window: every start that is a member holds K spaces, of
  // hash spaces.
  void FillWithSpaces(uint16_t spaces) {
    Clear();
    Bucket& b = buckets_[spaces];
    for (size_t s = 0; s + K - 1 < kRing; ++s) next_[s] = static_cast<uint16_t>(s + 1);
    next_[kRing - K] = 0;
    b.tail = kRing - K;
    b.count = kRing - K + 1;
    b.firstNew = roundBit_;  // 0: every member joined in this round
  }

  static constexpr uint16_t HashOf(uint32_t key) { return static_cast<uint16_t>((key * 0x9E3779B1u) >> (32 - HashBits)); }

  // Start q, of hash h, is about to be overwritten: it is the oldest member
  // of all, so the head of its bucket.
  void Leave(size_t q, uint16_t h) {
    Bucket& b = buckets_[h];
    const uint16_t after = next_[q];
    if (b.firstNew == (q | roundBit_)) b.firstNew = static_cast<uint16_t>(after | roundBit_);
    next_[b.tail] = after;  // q's own slot when q was the last member
    --b.count;
    b.tail = b.count ? b.tail : static_cast<uint16_t>(kRing);
  }

  // Start s has its K bytes, of hash h.
  void Join(size_t s, uint16_t h) {
    if (s == 0) roundBit_ ^= kRoundBit;
    Bucket& b = buckets_[h];
    const uint16_t v = static_cast<uint16_t>(s);
    // The spare slot is an empty bucket's tail: s then becomes its own next.
    next_[kRing] = v;
    next_[s] = next_[b.tail];
    next_[b.tail] = v;
    // A bucket that was empty may hold the mark of any earlier round; one
    // that is not holds this round's or the previous one's. (No branch: the
    // bucket sizes of ordinary data would mispredict it.)
    const int empty = (static_cast<int>(b.count) - 1) >> 15;           // -1 when empty, else 0
    const int stale = -static_cast<int>(((b.firstNew ^ roundBit_) >> 15) & 1u);  // -1 for another round
    const uint16_t renew = static_cast<uint16_t>(empty | stale);
    b.firstNew = static_cast<uint16_t>((b.firstNew & ~renew) | ((v | roundBit_) & renew));
    b.tail = v;
    ++b.count;
  }

  // No member at all; the starts then join again in order of writing.
  void Clear() {
    for (Bucket& b : buckets_) b = Bucket{};
  }

  const Bucket& At(uint16_t h) const { return buckets_[h]; }

  // The member of the bucket with the smallest ring index; the walk goes on
  // through Next in increasing index, count members in all.
  size_t First(const Bucket& b) const {
    // All ones when firstNew is of this round (no branch: it would be a
    // guess on random data).
    const unsigned mine = (((b.firstNew ^ roundBit_) >> 15) & 1u) - 1u;
    return ((b.firstNew & (kRing - 1)) & mine) | (next_[b.tail] & ~mine);
  }
  size_t Next(size_t s) const { return next_[s]; }

 private:
  static constexpr uint16_t kRoundBit = 0x8000;

  uint16_t next_[kRing + 1];  // the next member of the same bucket; a spare slot
  Bucket buckets_[1u << HashBits];
  uint16_t roundBit_ = 0;  // flips at every wrap of the joining index
};

class Encoder {
 public:
  Encoder() {
    std::memset(ring_, ' ', sizeof ring_);
    short_.FillWithSpaces(ShortHash(kSpaces >> 8));  // the long buckets are built when wanted
  }

  // Writes the bytes of one item, keeping the buckets in step; reviews the
  // use of the long buckets at every 4096 bytes.
  void PutRun(const unsigned char* src, size_t len) {
    // Local copies: the byte stores into the ring could change any member
    // as far as the compiler knows.
    size_t cursor = cursor_;
    uint32_t last3 = last3_;
    for (size_t k = 0; k < len; ++k) {
      const unsigned char byte = src[k];
      const size_t q = (cursor + 1) & (kRing - 1);
      // Bytes written 4096 bytes ago, read back whole.
      short_.Leave(q, ShortHash(Load32LE(ring_ + q) & 0xFFFFFFu));
      if (longOn_) long_.Leave(q, LongHash(Load32LE(ring_ + q), Load32LE(ring_ + q + 4)));
      ring_[q] = byte;
      if (q < kMirror) ring_[q + kRing] = byte;
      cursor = q;
      // The last three bytes written, the oldest in the lowest bits.
      last3 = last3 >> 8 | static_cast<uint32_t>(byte) << 16;
      short_.Join((q + kRing - (kShort - 1)) & (kRing - 1), ShortHash(last3));
      if (longOn_) {
        // The last eight, likewise.
        low_ = low_ >> 8 | high_ << 24;
        high_ = high_ >> 8 | static_cast<uint32_t>(byte) << 24;
        long_.Join((q + kRing - (kLong - 1)) & (kRing - 1), LongHash(low_, high_));
      }
    }
    cursor_ = cursor;
    last3_ = last3;
    written_ += len;
    if (written_ >= kRing) ReviewLongBuckets();
  }

  // Length of the longest prefix of p[0..max) (3 <= max <= 18) that occurs
  // circularly in the ring, and in start the 0-based ring index of its first
  // occurrence. Lengths below 3 are answered as 0, start unset. p is readable
  // for 20 bytes.
  size_t Find(const unsigned char* p, size_t max, size_t& start) {
    Match m;
    const auto& shortBucket = short_.At(ShortHash(Load32LE(p) & 0xFFFFFFu));
    size_t cap = max;
    if (longOn_ && max >= kLong && shortBucket.count > kLongFirst) {
      // Every start that agrees on eight bytes or more is in the long
      // bucket or among the seven starts just before the cursor.
      const auto& longBucket = long_.At(LongHash(Load32LE(p), Load32LE(p + 4)));
      Walk(long_, longBucket, p, max, kLong, m);
      NearCursor(kLong - 1, p, max, kLong, m);
      if (m.length) {
        start = m.start;
        return m.length;
      }
      cap = kLong - 1;  // no start agrees on eight bytes
    }
    shortWork_ += Walk(short_, shortBucket, p, cap, kShort, m);
    NearCursor(kShort - 1, p, cap, kShort, m);
    if (m.length) start = m.start;
    return m.length;
  }

 private:
  static constexpr size_t kShort = kMinMatch;  // bytes that choose a short bucket
  static constexpr size_t kLong = 8;           // bytes that choose a long bucket
  // Short buckets larger than this are first narrowed through the long ones.
  static constexpr size_t kLongFirst = 256;
  static constexpr uint32_t kSpaces = 0x20202020u;
  static constexpr unsigned kLongBits = 11;
  // The long buckets cost as much to keep up as the short ones, and spare
  // nothing on text and machine code: they are kept only while the short
  // buckets are costly. Every 4096 bytes written, when they are off and the
  // walks of the short buckets visited more than kBusy starts per byte, they
  // are built and kept for the next kLongSpan times 4096 bytes; then they are
  // dropped and the cost is measured again.
  static constexpr size_t kBusy = 8;
  static constexpr unsigned kLongSpan = 16;

  void ReviewLongBuckets() {
    if (longOn_) {
      if (--longSpan_ == 0) longOn_ = false;
    } else if (shortWork_ > kBusy * written_) {
      long_.Clear();
      for (size_t k = 0; k + kLong - 1 < kRing; ++k) {
        const size_t s = (cursor_ + 1 + k) & (kRing - 1);
        long_.Join(s, LongHash(Load32LE(ring_ + s), Load32LE(ring_ + s + 4)));
      }
      const size_t last8 = (cursor_ + kRing + 1 - kLong) & (kRing - 1);
      low_ = Load32LE(ring_ + last8);
      high_ = Load32LE(ring_ + last8 + 4);
      longOn_ = true;
      longSpan_ = kLongSpan;
    }
    shortWork_ = 0;
    written_ = 0;
  }

  // Keys in memory order: the first byte in the lowest bits.
  static uint16_t ShortHash(uint32_t three) { return Queues<kShort, 12>::HashOf(three); }
  static uint16_t LongHash(uint32_t first4, uint32_t next4) {
    return Queues<kLong, kLongBits>::HashOf(first4 * 0x85EBCA6Bu ^ next4);
  }
  static uint32_t Load32LE(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

  struct Match {
    size_t length = 0;  // 0 or at least the minimum asked for
    size_t start = 0;
  };

  // The members of a bucket in increasing ring index; a start replaces the
  // match only with more equal bytes, so the first one of the longest
  // length stays. A match of cap bytes ends the walk. Answers the number of
  // starts visited.
  template <typename Q>
  size_t Walk(const Q& queues, const typename Q::Bucket& b, const unsigned char* p, size_t cap, size_t least,
            Match& m) const {
    size_t best = m.length;
    size_t bestStart = m.start;
    size_t s = queues.First(b);
    size_t left = b.count;
    for (; left; --left, s = queues.Next(s)) {
      if (best >= least && Load32(ring_ + s + best - 3) != Load32(p + best - 3)) continue;
      const size_t len = CommonLength(ring_ + s, p, cap);
      if (len > best && len >= least) {
        best = len;
        bestStart = s;
        if (len == cap) {
          --left;
          break;
        }
      }
    }
    m.length = best;
    m.start = bestStart;
    return b.count - left;
  }

  // The starts just before the cursor that are not members. Their bytes were
  // written a moment ago, one at a time: they are compared one at a time
  // first, which is quicker than reading them back as a word.
  void NearCursor(size_t count, const unsigned char* p, size_t cap, size_t least, Match& m) const {
    for (size_t back = 1; back <= count; ++back) {
      const size_t u = (cursor_ + kRing + 1 - back) & (kRing - 1);
      if (ring_[u] != p[0] || ring_[u + 1] != p[1]) continue;
      const size_t len = CommonLength(ring_ + u, p, cap);
      if (len >= least && (len > m.length || (len == m.length && u < m.start))) {
        m.length = len;
        m.start = u;
      }
    }
  }

  unsigned char ring_[kRing + kMirror];
  size_t cursor_ = kRing - 1;  // the 1-based cursor 0, i.e. 4096, as an index
  uint32_t last3_ = kSpaces >> 8;  // the last three bytes written
  uint32_t low_ = kSpaces;         // the last eight, while the long buckets are kept
  uint32_t high_ = kSpaces;
  Queues<kShort, 12> short_;
  Queues<kLong, kLongBits> long_;
  bool longOn_ = false;
  unsigned longSpan_ = 0;  // reviews left before the long buckets are dropped
  size_t written_ = 0;     // bytes written since the last review
  size_t shortWork_ = 0;   // starts visited in short buckets since then
};

std::string CompressWith(std::string_view input, const CompressProgress& progress) {
  const size_t n = input.size();
  std::string out;
  if (n == 0) return out;
  // Eight literals take nine bytes, a reference two bytes for at least
  // three: the output never passes n + n / 8 bytes. It is sized for half
  // the input at first (ordinary data gives less) and grown when a group
  // might not fit, so the pages of an unused bound are never touched.
  const size_t bound = n + (n + 7) / 8;
  out.resize(std::min(bound, n / 2 + 4096));
  unsigned char* o = reinterpret_cast<unsigned char*>(out.data());
  size_t op = 0;
  const unsigned char* in = reinterpret_cast<const unsigned char*>(input.data());
  auto enc = std::make_unique<Encoder>();
  unsigned char pattern[kMirror + 4] = {};
  size_t i = 0;  // 0-based: the 1-based position is i + 1
  while (i < n) {
    if (out.size() - op < 17) {  // a group takes 17 bytes at most
      out.resize(std::min(bound, out.size() + out.size() / 2));
      o = reinterpret_cast<unsigned char*>(out.data());
    }
    if (progress && (i + 1) % 64 == 0) progress(i + 1, n);
    const size_t flagAt = op++;
    unsigned flags = 0;
    for (unsigned bit = 0; bit < 8 && i < n; ++bit) {
      const size_t left = n - i;
      const size_t max = left < kMaxMatch ? left : kMaxMatch;
      size_t start = 0;
      size_t len = 0;
      if (left >= kMirror) {
        len = enc->Find(in + i, max, start);
      } else if (max >= kMinMatch) {
        std::memcpy(pattern, in + i, left);  // the last bytes, in a buffer readable for 20
        len = enc->Find(pattern, max, start);
      }
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
  return CompressWith(input, progress);
}

// The decoder keeps no window of its own. The byte written t-th (0-based) went
// to ring index t mod 4096, so before output byte op is produced, ring index j
// holds output byte op - 4096 + ((j - op) mod 4096) (a space when that is
// negative: nothing was written there yet). Every byte of a slice is thus an
// output byte written before the reference, which is the copy-before-write
// behaviour; the slice runs from that byte up to the last one written, then
// goes on 4096 bytes back.
namespace {

// A group of a flag byte and eight references: 17 bytes in, 144 out.
constexpr size_t kGroupIn = 17;
constexpr size_t kGroupOut = 8 * kMaxMatch;
// Room kept behind the part of the buffer in use, for a whole slice copied
// at once by the last reference.
constexpr size_t kSlack = kMaxMatch;

// Copies the reference (field, len) to o + op, o holding op bytes written.
inline void CopyReference(unsigned char* o, size_t op, size_t field, size_t len) {
  // Position field + 16 is ring index (field + 15) mod 4096.
  const size_t back = kRing - ((field + kDisplacement - 1 - op) & (kRing - 1));  // 1..4096
  if (back >= kMaxMatch && back <= op) {
    std::memcpy(o + op, o + op - back, kMaxMatch);  // all old bytes, no overlap
    return;
  }
  for (size_t k = 0; k < len; ++k) {
    size_t d = back - k;  // the byte d places before op, or 4096 more
    if (d == 0 || d > kRing) d += kRing;
    o[op + k] = d <= op ? o[op - d] : ' ';
  }
}

}  // namespace

std::string Decompress(std::string_view input, size_t maxOutput, bool* truncated, size_t expected) {
  if (truncated) *truncated = false;
  const size_t n = input.size();
  const unsigned char* in = reinterpret_cast<const unsigned char*>(input.data());
  std::string out;
  const size_t limit = std::min(maxOutput, out.max_size() - kGroupOut - kSlack);
  if (n == 0) return out;

  // The buffer: cap bytes in use at most, and kSlack behind. It starts at the
  // expected length when the stream can give that much (a header may claim
  // anything), else at twice the input, and grows by at least 65535 bytes.
  const bool huge = n > SIZE_MAX / 16;
  const size_t most = huge ? SIZE_MAX : n / kGroupIn * kGroupOut + kGroupOut;  // what n bytes can give
  const size_t guess = huge ? SIZE_MAX : std::min(most, 2 * n);
  size_t cap = std::min(limit, expected && expected <= most ? expected : guess);
  out.resize(cap + kSlack);
  unsigned char* o = reinterpret_cast<unsigned char*>(out.data());
  // Makes room for `need` more bytes at op, as far as the limit allows.
  auto reserve = [&](size_t op, size_t need) {
    if (cap - op >= need || cap == limit) return;
    cap = std::min(limit, std::max(cap + cap / 2, op + need + 65535));
    out.resize(cap + kSlack);
    o = reinterpret_cast<unsigned char*>(out.data());
  };

  size_t op = 0;
  size_t i = 0;
  // Whole groups while both the input and the limit allow one: no checks
  // inside.
  while (n - i >= kGroupIn && limit - op >= kGroupOut) {
    reserve(op, kGroupOut);
    const unsigned flags = in[i++];
    for (unsigned bit = 0; bit < 8; ++bit) {
      if (flags & (1u << bit)) {
        o[op++] = in[i++];
      } else {
        const size_t field = in[i] | ((in[i + 1] & 0xF0u) << 4);
        const size_t len = (in[i + 1] & 0x0Fu) + kMinMatch;
        i += 2;
        CopyReference(o, op, field, len);
        op += len;
      }
    }
  }
  // The last groups, item by item: the stream may end inside a reference,
  // and the limit may cut an item.
  bool cut = false;
  while (i < n && !cut) {
    const unsigned flags = in[i++];
    for (unsigned bit = 0; bit < 8 && i < n && !cut; ++bit) {
      reserve(op, kMaxMatch);
      if (flags & (1u << bit)) {
        if (op == limit) {
          cut = true;
        } else {
          o[op++] = in[i++];
        }
        continue;
      }
      if (i + 1 >= n) {  // only the first byte of a reference is left
        i = n;
        break;
      }
      const size_t field = in[i] | ((in[i + 1] & 0xF0u) << 4);
      size_t len = (in[i + 1] & 0x0Fu) + kMinMatch;
      i += 2;
      if (len > limit - op) {
        len = limit - op;
        cut = true;
      }
      CopyReference(o, op, field, len);
      op += len;
    }
  }
  if (truncated) *truncated = cut;
  out.resize(op);
  return out;
}

}  // namespace kes
