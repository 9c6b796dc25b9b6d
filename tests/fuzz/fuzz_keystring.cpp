// The key-string parser on any text: no crash, no undefined behaviour, never
// more keys than characters, counts within their limit, the same keys twice.
// The title matcher rides along: a pattern cut from the input, matched
// against the rest, agrees with its own star-padded form.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "automation/keystring.h"
#include "automation/titlematch.h"

namespace {

class Collect : public kes::keys::KeySink {
 public:
  std::vector<kes::keys::KeyStroke> keys;
  uint16_t Layout(unsigned char c) override {
    if (c >= 0xF0) return 0xFFFF;
    return static_cast<uint16_t>(((c & 7) << 8) | c);
  }
  void Key(const kes::keys::KeyStroke& k) override { keys.push_back(k); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Collect a, b;
  const bool okA = kes::keys::ParseKeyString(text, a);
  const bool okB = kes::keys::ParseKeyString(text, b);
  if (okA != okB || a.keys.size() != b.keys.size()) std::abort();
  if (a.keys.size() > size) std::abort();
  for (size_t i = 0; i < a.keys.size(); ++i) {
    const auto& k = a.keys[i];
    if (k.repeat < 1 || k.repeat > kes::keys::kMaxRepeat) std::abort();
    if (k.vk != b.keys[i].vk || k.modifiers != b.keys[i].modifiers || k.repeat != b.keys[i].repeat) std::abort();
  }
  if (!a.keys.empty()) {
    const auto& k = a.keys.back();
    (void)kes::keys::KeyAnswer(k.vk, text.substr(0, 1), k.modifiers & 1, k.modifiers & 2, k.modifiers & 4);
  }

  const size_t cut = size ? data[0] % (size + 1) : 0;
  const std::string pattern = kes::TitlePattern(text.substr(0, cut));
  const std::string_view title = text.substr(cut);
  const bool m = kes::TitleMatch(title, pattern);
  if (m && !kes::TitleMatch(title, "*" + pattern + "*")) std::abort();
  if (kes::TitleMatch(title, pattern) != m) std::abort();
  return 0;
}
