// Stands in for libFuzzer where the compiler has none: runs every file of the
// corpus folders given, then random mutations of them until
// -max_total_time=SECONDS has passed (default 10). No coverage guidance.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  double seconds = 10;
  std::vector<std::string> corpus;
  for (int k = 1; k < argc; ++k) {
    const std::string a = argv[k];
    if (a.rfind("-max_total_time=", 0) == 0) {
      seconds = std::atof(a.c_str() + 16);
    } else if (a[0] == '-') {
      continue;  // other libFuzzer options
    } else if (std::filesystem::is_directory(a)) {
      for (const auto& e : std::filesystem::directory_iterator(a)) {
        std::ifstream f(e.path(), std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        corpus.push_back(ss.str());
      }
    }
  }
  if (corpus.empty()) corpus.emplace_back();
  for (const std::string& c : corpus) LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(c.data()), c.size());
  std::mt19937 rng(12345);
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  size_t runs = 0;
  while (std::chrono::steady_clock::now() < end) {
    std::string s = corpus[rng() % corpus.size()];
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits; ++e) {
      switch (rng() % 4) {
        case 0: if (!s.empty()) s[rng() % s.size()] = static_cast<char>(rng()); break;
        case 1: s.insert(s.begin() + (s.empty() ? 0 : rng() % s.size()), static_cast<char>(rng())); break;
        case 2: if (!s.empty()) s.erase(rng() % s.size(), 1 + rng() % 4); break;
        default: if (!s.empty()) s += s.substr(rng() % s.size(), 1 + rng() % 64);
      }
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    ++runs;
  }
  std::printf("standalone driver: %zu corpus files, %zu random runs\n", corpus.size(), runs);
  return 0;
}
