#include "packaging/compress.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "compress_reference.h"

namespace {

std::string Bytes(std::initializer_list<int> v) {
  std::string s;
  for (int b : v) s.push_back(static_cast<char>(b));
  return s;
}

std::string Hex(std::string_view s, size_t from, size_t count) {
  static const char* digits = "0123456789abcdef";
  std::string h;
  for (size_t k = from; k < s.size() && k < from + count; ++k) {
    const unsigned char c = static_cast<unsigned char>(s[k]);
    h += digits[c >> 4];
    h += digits[c & 15];
    h += ' ';
  }
  return h;
}

// Equality of two byte strings, reporting the first difference only.
testing::AssertionResult SameBytes(std::string_view got, std::string_view want) {
  if (got == want) return testing::AssertionSuccess();
  size_t k = 0;
  while (k < got.size() && k < want.size() && got[k] == want[k]) ++k;
  const size_t from = k > 8 ? k - 8 : 0;
  return testing::AssertionFailure() << "sizes " << got.size() << " and " << want.size()
                                     << ", first difference at byte " << k << "\n  got:  "
                                     << Hex(got, from, 24) << "\n  want: " << Hex(want, from, 24);
}

// The encoder matches the reference search byte for byte, and both decoders
// give the input back.
testing::AssertionResult MatchesReference(const std::string& input) {
  const std::string want = kes_reference::Compress(input);
  const std::string got = kes::Compress(input);
  auto same = SameBytes(got, want);
  if (!same) return same << " (compressing " << input.size() << " bytes)";
  auto back = SameBytes(kes::Decompress(got), input);
  if (!back) return back << " (decompressing)";
  auto refBack = SameBytes(kes_reference::Decompress(got), input);
  if (!refBack) return refBack << " (reference decompressing)";
  return testing::AssertionSuccess();
}

// Builds a stream item by item.
class StreamWriter {
 public:
  void Literal(unsigned char b) {
    Open();
    stream_[flagAt_] = static_cast<char>(stream_[flagAt_] | (1 << count_));
    stream_.push_back(static_cast<char>(b));
    ++count_;
  }
  void Reference(unsigned field, unsigned length) {
    Open();
    stream_.push_back(static_cast<char>(field & 0xFF));
    stream_.push_back(static_cast<char>(((length - 3) & 0x0F) | ((field >> 8) << 4)));
    ++count_;
  }
  const std::string& Stream() const { return stream_; }

 private:
  void Open() {
    if (count_ == 8 || stream_.empty()) {
      flagAt_ = stream_.size();
      stream_.push_back(0);
      count_ = 0;
    }
  }
  std::string stream_;
  size_t flagAt_ = 0;
  int count_ = 0;
};

struct Item {
  bool literal;
  unsigned char byte;
  unsigned field;
  unsigned length;
};

std::vector<Item> Items(std::string_view s) {
  std::vector<Item> items;
  size_t i = 0;
  while (i < s.size()) {
    const unsigned flags = static_cast<unsigned char>(s[i++]);
    for (int bit = 0; bit < 8 && i < s.size(); ++bit) {
      if (flags & (1u << bit)) {
        items.push_back({true, static_cast<unsigned char>(s[i]), 0, 1});
        i += 1;
      } else {
        if (i + 1 >= s.size()) return items;
        const unsigned b1 = static_cast<unsigned char>(s[i]);
        const unsigned b2 = static_cast<unsigned char>(s[i + 1]);
        items.push_back({false, 0, b1 | ((b2 & 0xF0u) << 4), (b2 & 0x0Fu) + 3});
        i += 2;
      }
    }
  }
  return items;
}

std::string RandomBytes(std::mt19937& rng, size_t n, unsigned alphabet = 256, unsigned base = 0) {
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(base + rng() % alphabet);
  return s;
}

// Words from a small vocabulary with spaces, punctuation and line breaks.
std::string TextLike(std::mt19937& rng, size_t n) {
  static const char* words[] = {"the",     "of",     "and",      "to",     "in",      "is",
                                "window",  "ring",   "mirror",   "cursor", "compress", "byte",
                                "flag",    "group",  "literal",  "match",  "search",  "position",
                                "Kestrova", "SCRIPT", "REGISTRY", "value",  "a",       "file"};
  std::string s;
  while (s.size() < n) {
    s += words[rng() % (sizeof words / sizeof words[0])];
    const unsigned r = rng() % 16;
    s += r == 0 ? ".\r\n" : r == 1 ? ", " : " ";
  }
  s.resize(n);
  return s;
}

std::string Repeat(const std::string& unit, size_t n) {
  std::string s;
  while (s.size() < n) s += unit;
  s.resize(n);
  return s;
}

}  // namespace

// ---- Exact streams ---------------------------------------------------------

TEST(Compress, AbcIsFlagAndThreeLiterals) {
  EXPECT_EQ(kes::Compress("abc"), Bytes({0x07, 0x61, 0x62, 0x63}));
}

TEST(Compress, EmptyInputGivesEmptyStream) {
  EXPECT_EQ(kes::Compress(""), "");
  EXPECT_EQ(kes::Decompress(""), "");
  EXPECT_EQ(kes_reference::Compress(""), "");
}

TEST(Compress, OneAndTwoBytesAreLiterals) {
  EXPECT_EQ(kes::Compress("a"), Bytes({0x01, 'a'}));
  EXPECT_EQ(kes::Compress("ab"), Bytes({0x03, 'a', 'b'}));
  // Too short for a reference even though spaces fill the window.
  EXPECT_EQ(kes::Compress("  "), Bytes({0x03, ' ', ' '}));
}

TEST(Compress, LeadingSpacesReferToTheInitialWindow) {
  // First occurrence at position 1: field (1 - 16) mod 4096 = 0xFF1.
  EXPECT_EQ(kes::Compress("   "), Bytes({0x00, 0xF1, 0xF0}));
  EXPECT_EQ(kes::Compress(std::string(18, ' ')), Bytes({0x00, 0xF1, 0xFF}));
  EXPECT_EQ(kes::Compress(std::string(19, ' ')), Bytes({0x02, 0xF1, 0xFF, ' '}));
  for (size_t n = 0; n <= 60; ++n) {
    EXPECT_TRUE(MatchesReference(std::string(n, ' '))) << n;
    EXPECT_TRUE(MatchesReference(std::string(n, ' ') + "x  y   z")) << n;
  }
  EXPECT_TRUE(MatchesReference(std::string(5000, ' ')));
  EXPECT_TRUE(MatchesReference(std::string(9000, ' ') + "end"));
}

TEST(Compress, AllShortInputsMatchReference) {
  const char alphabet[] = {' ', 'a', 'b'};
  for (size_t len = 0; len <= 5; ++len) {
    size_t count = 1;
    for (size_t k = 0; k < len; ++k) count *= 3;
    for (size_t v = 0; v < count; ++v) {
      std::string s;
      size_t x = v;
      for (size_t k = 0; k < len; ++k, x /= 3) s.push_back(alphabet[x % 3]);
      EXPECT_TRUE(MatchesReference(s)) << '"' << s << '"';
    }
  }
}

TEST(Compress, MatchFromRingPosition4090ReadsTheMirror) {
  std::mt19937 rng(4090);
  // 4089 filler bytes, then 9 marked bytes at positions 4090..4096, 1, 2.
  std::string input = RandomBytes(rng, 4089, 26, 'a');
  const std::string mark = "ZYXWVUTSR";
  input += mark;
  input += RandomBytes(rng, 100, 26, 'a');
  input += mark;
  ASSERT_TRUE(MatchesReference(input));
  bool found = false;
  for (const Item& it : Items(kes::Compress(input)))
    if (!it.literal && it.field == 4090 - 16 && it.length == 9) found = true;
  EXPECT_TRUE(found);
}

TEST(Compress, OutputGrowsByOneFlagPerEightLiterals) {
  std::mt19937 rng(7);
  for (size_t n : {1u, 7u, 8u, 9u, 1000u}) {
    const std::string input = RandomBytes(rng, n, 256);
    const std::string c = kes::Compress(input);
    EXPECT_LE(c.size(), n + (n + 7) / 8);
    EXPECT_TRUE(MatchesReference(input));
  }
}

// ---- Byte-identical to the reference search -------------------------------

TEST(Compress, MatchesReferenceOnRandomBytes) {
  std::mt19937 rng(1);
  for (size_t n = 1; n <= 64; ++n) EXPECT_TRUE(MatchesReference(RandomBytes(rng, n))) << n;
  EXPECT_TRUE(MatchesReference(RandomBytes(rng, 9000)));
}

TEST(Compress, MatchesReferenceOnSmallAlphabets) {
  std::mt19937 rng(2);
  for (unsigned alphabet : {1u, 2u, 3u, 4u, 16u}) {
    EXPECT_TRUE(MatchesReference(RandomBytes(rng, 10000, alphabet, 'a'))) << alphabet;
    EXPECT_TRUE(MatchesReference(RandomBytes(rng, 3000, alphabet, ' '))) << alphabet;
  }
}

TEST(Compress, MatchesReferenceOnTextLikeData) {
  std::mt19937 rng(3);
  EXPECT_TRUE(MatchesReference(TextLike(rng, 30000)));
}

TEST(Compress, MatchesReferenceOnStructuredBinary) {
  // Fixed-size records with counters and zero padding, as in executables.
  std::string s;
  for (uint32_t k = 0; s.size() < 20000; ++k) {
    const uint32_t v = k * 2654435761u;
    s.append(reinterpret_cast<const char*>(&k), 4);
    s.append(std::string(k % 13, '\0'));
    s.append(reinterpret_cast<const char*>(&v), 2);
    s += "\xFF\xFF";
  }
  EXPECT_TRUE(MatchesReference(s));
}

TEST(Compress, MatchesReferenceOnOneByteRuns) {
  for (char c : {'a', '\0', '\xFF'}) {
    for (size_t n = 1; n <= 40; ++n) EXPECT_TRUE(MatchesReference(std::string(n, c))) << n;
    for (size_t n : {4095u, 4096u, 4097u, 4113u, 8191u, 8192u, 8193u, 20000u})
      EXPECT_TRUE(MatchesReference(std::string(n, c))) << n;
  }
}

TEST(Compress, MatchesReferenceOnPeriodicPatterns) {
  std::mt19937 rng(5);
  for (size_t period = 1; period <= 40; ++period) {
    EXPECT_TRUE(MatchesReference(Repeat(RandomBytes(rng, period, 256), 3000))) << period;
    EXPECT_TRUE(MatchesReference(Repeat(RandomBytes(rng, period, 2, 'a'), 3000))) << period;
  }
  for (size_t period : {63u, 64u, 65u, 1000u, 4094u, 4095u, 4096u, 4097u, 4111u, 4112u})
    EXPECT_TRUE(MatchesReference(Repeat(RandomBytes(rng, period, 256), 2 * period + 3000)))
        << period;
}

TEST(Compress, MatchesReferenceOnRunsAcrossTheWindowWrap) {
  std::mt19937 rng(6);
  for (size_t filler : {4080u, 4086u, 4089u, 4090u, 4093u, 4095u, 4096u, 4097u, 4100u}) {
    std::string s = RandomBytes(rng, filler, 200, 40);
    s += std::string(40, 'q') + "xyz" + std::string(30, 'q');
    s += RandomBytes(rng, 50, 200, 40) + std::string(25, 'q') + "qqxyzqq";
    EXPECT_TRUE(MatchesReference(s)) << filler;
  }
  // A pattern written across the wrap and found again through the mirror.
  for (size_t filler : {4085u, 4089u, 4090u, 4091u, 4094u, 4096u}) {
    std::string s = RandomBytes(rng, filler, 200, 40);
    const std::string mark = "0123456789ABCDEFGHIJ";
    s += mark + RandomBytes(rng, 30, 200, 40) + mark + mark.substr(3, 9);
    EXPECT_TRUE(MatchesReference(s)) << filler;
  }
}

TEST(Compress, MatchesReferenceOnRunsBrokenByNewBytes) {
  // Long runs of one byte ended by a byte not seen lately: many candidates of
  // equal length, and matches that stop short of 18.
  for (size_t run : {2u, 3u, 4u, 5u, 6u, 17u, 18u, 19u, 35u}) {
    std::string s;
    for (unsigned k = 0; s.size() < 12000; ++k) {
      s += std::string(run, 'a');
      s.push_back(static_cast<char>('b' + k % 150));
    }
    EXPECT_TRUE(MatchesReference(s)) << run;
  }
}

TEST(Compress, MatchesReferenceOnMixedInputLargerThanTheWindow) {
  std::mt19937 rng(8);
  std::string s;
  while (s.size() < 40000) {
    switch (rng() % 5) {
      case 0: s += RandomBytes(rng, rng() % 300, 256); break;
      case 1: s += TextLike(rng, rng() % 600); break;
      case 2: s += std::string(rng() % 100, static_cast<char>(rng())); break;
      case 3: s += Repeat(RandomBytes(rng, 1 + rng() % 7, 256), rng() % 200); break;
      default:
        if (s.size() > 100) s += s.substr(rng() % (s.size() - 50), 1 + rng() % 40);
    }
  }
  EXPECT_TRUE(MatchesReference(s));
}

TEST(Compress, MatchesReferenceWhileTheSearchChangesItsBuckets) {
  // Data over two letters makes the encoder keep a second set of buckets,
  // which it drops again after about 64 KB and builds anew from the window
  // when such data comes back: the output never depends on it.
  std::mt19937 rng(11);
  std::string s = RandomBytes(rng, 20000, 2, 'a');
  s += TextLike(rng, 70000);
  s += RandomBytes(rng, 5000, 2, ' ');
  for (int k = 0; k < 1500; ++k) s += "abc" + RandomBytes(rng, 1, 256);  // one 3-byte start in four
  s += RandomBytes(rng, 9000, 4, 'x');
  EXPECT_TRUE(MatchesReference(s));
}

// ---- Round trips without the reference -------------------------------------

TEST(Compress, RoundTripsLargeMixedData) {
  std::mt19937 rng(9);
  std::string s;
  while (s.size() < (1u << 20)) {
    s += TextLike(rng, 2000);
    s += RandomBytes(rng, 500, 256);
    s += std::string(rng() % 3000, 'z');
  }
  const std::string c = kes::Compress(s);
  EXPECT_LT(c.size(), s.size());
  EXPECT_TRUE(SameBytes(kes::Decompress(c), s));
}

TEST(Compress, ProgressAtGroupStartsThatAreMultiplesOf64) {
  std::mt19937 rng(10);
  const std::string input = TextLike(rng, 20000);
  std::vector<size_t> starts;
  kes_reference::Compress(input, &starts);
  std::vector<size_t> want;
  for (size_t p : starts)
    if (p % 64 == 0) want.push_back(p);
  ASSERT_FALSE(want.empty());
  std::vector<size_t> got;
  kes::Compress(input, [&](size_t pos, size_t total) {
    EXPECT_EQ(total, input.size());
    got.push_back(pos);
  });
  EXPECT_EQ(got, want);
}

// ---- Decoder -----------------------------------------------------------------

TEST(Decompress, ReferenceToPosition4111ReadsUpTo4128) {
  StreamWriter w;
  std::string written;
  for (int k = 0; k < 40; ++k) {
    w.Literal(static_cast<unsigned char>('A' + k));
    written.push_back(static_cast<char>('A' + k));
  }
  w.Reference(4095, 18);  // position 4095 + 16 = 4111 = mirror of ring 15
  const std::string want = written + written.substr(14, 18);
  EXPECT_EQ(w.Stream().substr(w.Stream().size() - 2), Bytes({0xFF, 0xFF}));
  EXPECT_EQ(kes::Decompress(w.Stream()), want);
  EXPECT_EQ(kes_reference::Decompress(w.Stream()), want);
}

TEST(Decompress, ReferenceFromRingPosition4090OverTheWrap) {
  StreamWriter w;
  std::string written;
  for (int k = 0; k < 4098; ++k) {
    const unsigned char b = static_cast<unsigned char>((k * 7) % 251);
    w.Literal(b);
    written.push_back(static_cast<char>(b));
  }
  // Position 4090, nine bytes: ring 4090..4096 then 1 and 2 (holding the
  // bytes written 4097th and 4098th).
  w.Reference(4090 - 16, 9);
  const std::string want = written + written.substr(4089, 7) + written.substr(4096, 2);
  EXPECT_EQ(kes::Decompress(w.Stream()), want);
  EXPECT_EQ(kes_reference::Decompress(w.Stream()), want);
}

TEST(Decompress, SliceIsCopiedBeforeItIsOverwritten) {
  StreamWriter w;
  for (char c : std::string("ABCDEFGH")) w.Literal(static_cast<unsigned char>(c));
  w.Reference((8 + 4096 - 16) % 4096, 5);  // position 8, the last byte written
  // A byte-by-byte copy would repeat the H; the slice holds the old spaces.
  EXPECT_EQ(kes::Decompress(w.Stream()), "ABCDEFGHH    ");
  EXPECT_EQ(kes_reference::Decompress(w.Stream()), "ABCDEFGHH    ");
}

TEST(Decompress, InitialWindowIsSpaces) {
  StreamWriter w;
  w.Reference(0, 18);     // position 16
  w.Reference(4080, 18);  // position 4096
  EXPECT_EQ(kes::Decompress(w.Stream()), std::string(36, ' '));
}

TEST(Decompress, StreamEndingInsideAReferenceKeepsWholeItems) {
  EXPECT_EQ(kes::Decompress(Bytes({0x00})), "");
  EXPECT_EQ(kes::Decompress(Bytes({0x00, 0xF1})), "");
  EXPECT_EQ(kes::Decompress(Bytes({0x00, 0xF1, 0xF0})), "   ");
  EXPECT_EQ(kes::Decompress(Bytes({0x01, 'a', 0xF1})), "a");
  EXPECT_EQ(kes::Decompress(Bytes({0xFF, 'a'})), "a");
  // The reference reads position 1, where the 'a' now is.
  EXPECT_EQ(kes::Decompress(Bytes({0x01, 'a', 0xF1, 0xF0, 0xF1})), "aa  ");
  // Every prefix of a real stream decodes to a prefix of the input.
  std::mt19937 rng(11);
  const std::string input = TextLike(rng, 3000);
  const std::string c = kes::Compress(input);
  size_t previous = 0;
  for (size_t cut = 0; cut <= c.size(); ++cut) {
    const std::string got = kes::Decompress(std::string_view(c).substr(0, cut));
    ASSERT_EQ(got, kes_reference::Decompress(std::string_view(c).substr(0, cut))) << cut;
    ASSERT_EQ(got, input.substr(0, got.size())) << cut;
    ASSERT_GE(got.size(), previous);
    previous = got.size();
  }
  EXPECT_EQ(previous, input.size());
}

TEST(Decompress, RandomStreamsMatchTheReferenceDecoder) {
  std::mt19937 rng(12);
  for (int k = 0; k < 2000; ++k) {
    const std::string s = RandomBytes(rng, rng() % 400);
    ASSERT_TRUE(SameBytes(kes::Decompress(s), kes_reference::Decompress(s))) << k;
  }
  const std::string big = RandomBytes(rng, 200000);
  const std::string out = kes::Decompress(big);
  EXPECT_LE(out.size(), big.size() / 2 * 18);
  EXPECT_TRUE(SameBytes(out, kes_reference::Decompress(big)));
}

TEST(Decompress, OutputCapStopsAtTheLimit) {
  std::mt19937 rng(13);
  const std::string input = TextLike(rng, 10000) + std::string(500, ' ');
  const std::string c = kes::Compress(input);
  for (size_t cap : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, size_t{17}, size_t{18}, size_t{19},
                     size_t{100}, size_t{4097}, input.size() - 1, input.size(), input.size() + 1}) {
    bool truncated = false;
    const std::string got = kes::Decompress(c, cap, &truncated);
    EXPECT_EQ(got, input.substr(0, cap)) << cap;
    EXPECT_EQ(truncated, cap < input.size()) << cap;
  }
  bool truncated = true;
  EXPECT_EQ(kes::Decompress(c, SIZE_MAX, &truncated), input);
  EXPECT_FALSE(truncated);
  // The limit reached exactly with only a cut reference left is not a cut.
  truncated = true;
  EXPECT_EQ(kes::Decompress(Bytes({0x00, 0xF1, 0xF0, 0xF1}), 3, &truncated), "   ");
  EXPECT_FALSE(truncated);
  EXPECT_EQ(kes::Decompress(Bytes({0x00, 0xF1, 0xF0, 0xF1, 0xF0}), 4, &truncated), "    ");
  EXPECT_TRUE(truncated);
}

TEST(Decompress, OutputCapBoundsAHostileStream) {
  // Zero bytes: every group is eight references of 3 bytes, 17 -> 24 bytes;
  // 0x0F as flag and field makes references of 18 bytes.
  const std::string zeros(100000, '\0');
  bool truncated = false;
  EXPECT_EQ(kes::Decompress(zeros, 1000, &truncated).size(), 1000u);
  EXPECT_TRUE(truncated);
  const std::string longRefs(100000, '\x0F');
  const std::string all = kes::Decompress(longRefs);
  EXPECT_TRUE(SameBytes(all, kes_reference::Decompress(longRefs)));
  EXPECT_EQ(kes::Decompress(longRefs, 12345, &truncated), all.substr(0, 12345));
  EXPECT_TRUE(truncated);
}

// ---- More adversarial inputs against the reference -------------------------

TEST(Compress, FirstOccurrenceAtEveryRingPositionNearTheWrap) {
  // A marked pattern written from ring position f + 1 is found again there,
  // through the mirror when it runs over position 4096.
  std::mt19937 rng(14);
  for (size_t f = 4075; f <= 4100; ++f) {
    for (size_t len : {3u, 18u}) {
      std::string s = RandomBytes(rng, f, 64, 'a');  // no byte of the mark below
      std::string mark;
      for (size_t k = 0; k < len; ++k) mark.push_back(static_cast<char>(0xC0 + k));
      s += mark;
      s += RandomBytes(rng, 20, 64, 'a');
      s += '\xBF';  // occurs nowhere before: no item runs into the mark
      s += mark;
      if (f % 4 == 0 || (f >= 4088 && f <= 4096 && len == 18)) ASSERT_TRUE(MatchesReference(s)) << f << " " << len;
      else ASSERT_EQ(kes::Decompress(kes::Compress(s)), s);
      const size_t position = (f % 4096) + 1;
      const unsigned field = static_cast<unsigned>((position + 4096 - 16) % 4096);
      bool found = false;
      for (const Item& it : Items(kes::Compress(s)))
        if (!it.literal && it.field == field && it.length == len) found = true;
      EXPECT_TRUE(found) << f << " " << len;
    }
  }
}

TEST(Compress, MatchesReferenceOnManySmallMixedInputs) {
  // Many short inputs of every kind; each crosses the window size a little
  // so that the wrap, the mirror and stale bytes behind the cursor all matter.
  std::mt19937 rng(15);
  for (int round = 0; round < 60; ++round) {
    std::string s;
    const size_t target = 100 + rng() % 9000;
    while (s.size() < target) {
      switch (rng() % 7) {
        case 0: s += RandomBytes(rng, rng() % 50, 256); break;
        case 1: s += RandomBytes(rng, rng() % 300, 1 + rng() % 4, 'a'); break;
        case 2: s += std::string(rng() % 60, static_cast<char>(" a\0"[rng() % 3])); break;
        case 3: s += Repeat(RandomBytes(rng, 1 + rng() % 20, 3, 'x'), rng() % 100); break;
        case 4: s += TextLike(rng, rng() % 200); break;
        case 5:
          // a copy of bytes about one window back
          if (s.size() > 4200) s += s.substr(s.size() - 4096 - rng() % 40, 1 + rng() % 30);
          break;
        default:
          if (s.size() > 30) s += s.substr(rng() % (s.size() - 20), 1 + rng() % 20);
      }
    }
    ASSERT_TRUE(MatchesReference(s)) << round;
  }
}

TEST(Compress, MatchesReferenceWhenTheInputEndsInsideAMatch) {
  // The search is cut by the end of the input: the last items are shorter.
  std::mt19937 rng(16);
  const std::string base = TextLike(rng, 5000);
  for (size_t cut = 4990; cut <= 5000; ++cut) ASSERT_TRUE(MatchesReference(base.substr(0, cut))) << cut;
  for (size_t n = 1; n <= 25; ++n) {
    ASSERT_TRUE(MatchesReference(std::string(4096, 'q') + std::string(n, 'q'))) << n;
    ASSERT_TRUE(MatchesReference(std::string(4096 - n, 'q') + std::string(n, ' '))) << n;
  }
}

TEST(Decompress, EveryFieldAndLengthMatchesTheReferenceDecoder) {
  std::mt19937 rng(17);
  StreamWriter w;
  // Fill the ring partly, then references to every field value.
  for (int k = 0; k < 3000; ++k) w.Literal(static_cast<unsigned char>(rng()));
  for (unsigned field = 0; field < 4096; ++field) w.Reference(field, 3 + field % 16);
  for (unsigned field = 0; field < 4096; field += 7) w.Reference(field, 18);
  EXPECT_TRUE(SameBytes(kes::Decompress(w.Stream()), kes_reference::Decompress(w.Stream())));
  // The same before the first wrap of the cursor, where spaces are still read.
  StreamWriter early;
  for (int k = 0; k < 20; ++k) early.Literal(static_cast<unsigned char>('A' + k));
  for (unsigned field = 4070; field < 4096; ++field) early.Reference(field, 18);
  for (unsigned field = 0; field < 40; ++field) early.Reference(field, 18);
  EXPECT_TRUE(SameBytes(kes::Decompress(early.Stream()), kes_reference::Decompress(early.Stream())));
}

TEST(Decompress, ReferencesOverlappingTheCursorCopyTheOldBytes) {
  // Sources that start just behind the cursor or run over it, at every distance.
  for (unsigned distance = 1; distance <= 20; ++distance) {
    StreamWriter w;
    for (int k = 0; k < 100; ++k) w.Literal(static_cast<unsigned char>('a' + k % 26));
    // Position 101 - distance (1-based) is `distance` bytes behind the cursor.
    const unsigned position = 101 - distance;
    w.Reference((position + 4096 - 16) % 4096, 18);
    w.Reference((position + 4096 - 16) % 4096, 18);
    ASSERT_TRUE(SameBytes(kes::Decompress(w.Stream()), kes_reference::Decompress(w.Stream()))) << distance;
  }
}
