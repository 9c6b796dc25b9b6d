// Throughput of the compressor and the decoder.
//
//   bench_compress FILE...       compresses and decompresses the concatenated
//                                files (the mixed corpus), checks the round
//                                trip and prints sizes, times and MB/s
//   bench_compress --adversarial synthetic inputs that are hard for a match
//                                search (one byte, periodic, random, ...) and
//                                the slowest rate among them
//   bench_compress --check FILE... [--adversarial]
//                                no timing: compares the encoder's output with
//                                the plain transcription of the greedy search
//                                (slow) on each file or synthetic input
//
// Each measurement is the best of a few runs. The output is one line per
// measurement, "name bytes seconds MB/s", easy to read by the bench script.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

#include "../tests/unit/core/compress_reference.h"
#include "packaging/compress.h"

namespace {

// Processor time of the calling thread, in seconds: on a busy machine it
// says more than the wall clock.
double ThreadSeconds() {
#ifdef _WIN32
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  auto t = [](const FILETIME& f) { return (static_cast<uint64_t>(f.dwHighDateTime) << 32 | f.dwLowDateTime) * 1e-7; };
  return t(kernel) + t(user);
#else
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
#endif
}

double lastCpu = 0;  // mean processor time of the runs of the last Seconds()

// Best wall time of a few runs; lastCpu gets the mean processor time (the
// processor clock may tick in 10 or 16 ms steps, so one run says little).
double Seconds(const std::function<void()>& f, int runs) {
  double best = 1e30;
  const double c0 = ThreadSeconds();
  for (int r = 0; r < runs; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
  }
  lastCpu = (ThreadSeconds() - c0) / runs;
  return best;
}

double Rate(size_t bytes, double s) { return s > 1e-6 ? bytes / s / 1e6 : 0; }

bool ReadFile(const char* path, std::string& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::ostringstream ss;
  ss << f.rdbuf();
  out += ss.str();
  return true;
}

std::string RandomBytes(std::mt19937& rng, size_t n, unsigned alphabet, unsigned base) {
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(base + rng() % alphabet);
  return s;
}

std::string Repeat(const std::string& unit, size_t n) {
  std::string s;
  s.reserve(n + unit.size());
  while (s.size() < n) s += unit;
  s.resize(n);
  return s;
}

std::string TextLike(std::mt19937& rng, size_t n) {
  static const char* words[] = {"the", "of", "and", "to", "in", "is", "window", "ring", "mirror",
                                "cursor", "compress", "byte", "flag", "group", "literal", "match",
                                "search", "position", "SCRIPT", "REGISTRY", "value", "a", "file"};
  std::string s;
  while (s.size() < n) {
    s += words[rng() % (sizeof words / sizeof words[0])];
    s += rng() % 12 == 0 ? "\r\n" : " ";
  }
  s.resize(n);
  return s;
}

int Corpus(int argc, char** argv, int runs) {
  std::string data;
  for (int k = 1; k < argc; ++k) {
    if (!ReadFile(argv[k], data)) {
      std::fprintf(stderr, "cannot read %s\n", argv[k]);
      return 2;
    }
  }
  std::string packed, back;
  const double tc = Seconds([&] { packed = kes::Compress(data); }, runs);
  const double cc = lastCpu;
  const double td = Seconds([&] { back = kes::Decompress(packed); }, runs);
  const double cd = lastCpu;
  if (back != data) {
    std::fprintf(stderr, "round trip failed\n");
    return 1;
  }
  std::printf("input %zu bytes, compressed %zu bytes (%.1f%%)\n", data.size(), packed.size(),
              data.empty() ? 0.0 : 100.0 * packed.size() / data.size());
  // name, bytes, best wall seconds, MB/s, then processor seconds and MB/s
  std::printf("compress %zu %.4f %.1f %.4f %.1f\n", data.size(), tc, Rate(data.size(), tc), cc, Rate(data.size(), cc));
  std::printf("decompress %zu %.4f %.1f %.4f %.1f\n", data.size(), td, Rate(data.size(), td), cd,
              Rate(data.size(), cd));
  return 0;
}

bool check = false;  // --check: compare with the reference instead of timing

// 0 when the encoder gives the reference's bytes.
int Check(const char* name, const std::string& data) {
  const std::string got = kes::Compress(data);
  const std::string want = kes_reference::Compress(data);
  size_t k = 0;
  while (k < got.size() && k < want.size() && got[k] == want[k]) ++k;
  const bool same = got == want && kes::Decompress(got) == data;
  std::printf("%-18s %8zu bytes: %s", name, data.size(), same ? "same bytes as the reference\n" : "DIFFERENT");
  if (!same) std::printf(" from stream byte %zu\n", k);
  return same ? 0 : 1;
}

int Adversarial(int runs, size_t n) {
  std::mt19937 rng(2026);
  struct Case {
    const char* name;
    std::string data;
  };
  std::vector<Case> cases;
  cases.push_back({"spaces", std::string(n, ' ')});
  cases.push_back({"zeros", std::string(n, '\0')});
  cases.push_back({"random", RandomBytes(rng, n, 256, 0)});
  cases.push_back({"two-letters", RandomBytes(rng, n, 2, 'a')});
  cases.push_back({"four-letters", RandomBytes(rng, n, 4, 'a')});
  cases.push_back({"16-letters", RandomBytes(rng, n, 16, 'a')});
  cases.push_back({"64-letters", RandomBytes(rng, n, 64, '0')});
  cases.push_back({"spaces-and-x", RandomBytes(rng, n, 2, ' ' )});
  cases.push_back({"period-2", Repeat("ab", n)});
  cases.push_back({"period-17", Repeat(RandomBytes(rng, 17, 256, 0), n)});
  cases.push_back({"period-19", Repeat(RandomBytes(rng, 19, 256, 0), n)});
  cases.push_back({"period-4095", Repeat(RandomBytes(rng, 4095, 256, 0), n)});
  cases.push_back({"period-4097", Repeat(RandomBytes(rng, 4097, 256, 0), n)});
  cases.push_back({"period-5000", Repeat(RandomBytes(rng, 5000, 256, 0), n)});
  cases.push_back({"text", TextLike(rng, n)});
  {
    // Runs of one byte broken by a byte not seen lately: many equal
    // candidates and matches cut short.
    std::string s;
    for (unsigned k = 0; s.size() < n; ++k) {
      s += std::string(2 + k % 5, 'a');
      s.push_back(static_cast<char>('b' + k % 150));
    }
    s.resize(n);
    cases.push_back({"broken-runs", s});
  }
  {
    // Almost one byte: a rare different byte keeps long matches failing late.
    std::string s(n, 'a');
    for (size_t k = 17; k < n; k += 19) s[k] = 'b';
    cases.push_back({"rare-byte-19", s});
  }
  {
    std::string s(n, 'a');
    for (size_t k = 0; k < n; k += 4096 + 3) s[k] = static_cast<char>(rng());
    cases.push_back({"one-byte-marked", s});
  }
  {
    // One 3-byte start in four: a large bucket whose starts agree on three
    // bytes and rarely on more.
    std::string s;
    while (s.size() < n) s += "abc" + RandomBytes(rng, 1, 256, 0);
    s.resize(n);
    cases.push_back({"abc-and-a-byte", s});
  }
  {
    // A de Bruijn-like sequence over two letters: every short pattern occurs,
    // few long ones repeat.
    std::string s;
    uint32_t lfsr = 0xACE1u;
    while (s.size() < n) {
      const uint32_t bit = ((lfsr >> 0) ^ (lfsr >> 2) ^ (lfsr >> 3) ^ (lfsr >> 5)) & 1u;
      lfsr = (lfsr >> 1) | (bit << 15);
      s.push_back(bit ? 'x' : 'y');
    }
    cases.push_back({"lfsr-two-letters", s});
  }
  if (check) {
    int bad = 0;
    for (const Case& c : cases) bad |= Check(c.name, c.data);
    return bad;
  }
  double slowest = 1e30;
  const char* slowestName = "";
  for (const Case& c : cases) {
    std::string packed, back;
    const double tc = Seconds([&] { packed = kes::Compress(c.data); }, runs);
    const double cc = lastCpu;
    const double td = Seconds([&] { back = kes::Decompress(packed); }, runs);
    if (back != c.data) {
      std::fprintf(stderr, "round trip failed on %s\n", c.name);
      return 1;
    }
    const double rc = Rate(c.data.size(), tc);
    std::printf("%-18s %8zu -> %8zu  compress %8.1f MB/s (processor %6.1f)  decompress %8.1f MB/s\n", c.name,
                c.data.size(), packed.size(), rc, Rate(c.data.size(), cc), Rate(c.data.size(), td));
    if (rc < slowest) {
      slowest = rc;
      slowestName = c.name;
    }
  }
  std::printf("slowest compress %.1f MB/s (%s)\n", slowest, slowestName);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  if (argc >= 2 && std::strcmp(argv[1], "--check") == 0) {
    check = true;
    int bad = 0;
    for (int k = 2; k < argc; ++k) {
      if (std::strcmp(argv[k], "--adversarial") == 0) {
        bad |= Adversarial(1, 1u << 20);
        continue;
      }
      std::string data;
      if (!ReadFile(argv[k], data)) {
        std::fprintf(stderr, "cannot read %s\n", argv[k]);
        return 2;
      }
      bad |= Check(argv[k], data);
    }
    return bad;
  }
  if (argc >= 2 && std::strcmp(argv[1], "--adversarial") == 0) {
    const size_t n = argc >= 3 ? static_cast<size_t>(std::atol(argv[2])) : (1u << 20);
    return Adversarial(runs, n);
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_compress FILE... | --adversarial [BYTES]\n");
    return 2;
  }
  return Corpus(argc, argv, runs);
}
