#include "automation/keystring.h"

#include "interp/text.h"

namespace kes::keys {

namespace {

struct NamedKey {
  uint8_t code;
  const char* name;
};

// The key-name table, in code order, so the first match of a name is the
// lowest code: "shift", "ctrl" and "alt" at 201, 202 and 204 are never
// found by name. Codes not listed have no name.
constexpr NamedKey kNamed[] = {
    {8, "bs"},         {9, "tab"},      {12, "clear"},  {13, "enter"},  {16, "shift"},
    {17, "ctrl"},      {18, "alt"},     {19, "break"},  {20, "capslock"}, {27, "esc"},
    {32, "space"},     {33, "pgup"},    {34, "pgdn"},   {35, "end"},    {36, "home"},
    {37, "left"},      {38, "up"},      {39, "right"},  {40, "down"},   {44, "prtsc"},
    {45, "insert"},    {46, "del"},     {47, "help"},   {112, "f1"},    {113, "f2"},
    {114, "f3"},       {115, "f4"},     {116, "f5"},    {117, "f6"},    {118, "f7"},
    {119, "f8"},       {120, "f9"},     {121, "f10"},   {122, "f11"},   {123, "f12"},
    {124, "f13"},      {125, "f14"},    {126, "f15"},   {144, "numlock"}, {145, "scrolllock"},
    {201, "shift"},    {202, "ctrl"},   {204, "alt"},   {206, "altgr"},
};

constexpr uint8_t kEnter = 13;

// The count after the blank of "{name n}": digits only, 0 or none as 1.
uint32_t RepeatCount(std::string_view s) {
  s = TrimView(s);
  uint32_t n = 0;
  size_t i = 0;
  if (i < s.size() && s[i] == '+') ++i;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    n = n * 10 + static_cast<uint32_t>(s[i] - '0');
    if (n > kMaxRepeat) return kMaxRepeat;
  }
  return n == 0 ? 1 : n;
}

}  // namespace

std::string_view KeyName(unsigned code) {
  for (const auto& k : kNamed)
    if (k.code == code) return k.name;
  return {};
}

unsigned KeyCode(std::string_view lowerName) {
  for (const auto& k : kNamed)
    if (lowerName == k.name) return k.code;
  return 255;
}

bool IsKeySpecial(char c) { return c == '+' || c == '^' || c == '#' || c == '~' || c == '{'; }

HeldModifiers ModifiersFor(const KeyStroke& k) {
  const unsigned a = k.layoutShift, b = k.modifiers;
  HeldModifiers h;
  h.shift = a == 1 || b == 1;
  h.ctrl = a == 2 || a == 6 || b == 2 || b == 6;
  h.alt = a == 4 || a == 6 || b == 4 || b == 6;
  return h;
}

bool ParseKeyString(std::string_view text, KeySink& sink) {
  unsigned pending = 0;  // the prefix sum
  auto layoutKey = [&](char c) {
    const uint16_t v = sink.Layout(static_cast<unsigned char>(c));
    KeyStroke k;
    k.vk = static_cast<uint8_t>(v & 0xFF);
    k.layoutShift = static_cast<uint8_t>(v >> 8);
    return k;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    KeyStroke k;
    if (IsKeySpecial(c) && i + 1 < text.size() && text[i + 1] == c) {
      k = layoutKey(c);
      ++i;
    } else if (c == '+' || c == '^' || c == '#') {
      pending += c == '+' ? 1 : c == '^' ? 2 : 4;
      continue;
    } else if (c == '~') {
      k.vk = kEnter;
    } else if (c == '{') {
      const size_t close = text.find('}', i + 1);
      if (close == std::string_view::npos) return false;
      std::string inner = Lower(text.substr(i + 1, close - i - 1));
      i = close;
      const size_t blank = inner.find(' ');
      if (blank != std::string::npos) {
        k.repeat = RepeatCount(std::string_view(inner).substr(blank + 1));
        inner.resize(blank);
      }
      const unsigned code = KeyCode(inner);
      if (code > 200 && code != 255) {
        // altgr: a modifier for the next key (Ctrl and Alt), no key of its own
        pending += code - 200;
        continue;
      }
      k.vk = static_cast<uint8_t>(code);
    } else {
      k = layoutKey(c);
    }
    k.modifiers = static_cast<uint8_t>(pending > 255 ? 255 : pending);
    sink.Key(k);
    pending = 0;
  }
  return true;
}

std::string KeyAnswer(unsigned vk, std::string_view produced, bool shift, bool ctrl, bool alt) {
  std::string body;
  const std::string_view name = KeyName(vk);
  if (!name.empty()) {
    body = "{";
    body += name;
    body += "}";
  } else {
    body = produced;
    if (body.size() == 1 && IsKeySpecial(body[0])) body += body[0];
  }
  if (alt) body.insert(0, "#");
  if (ctrl) body.insert(0, "^");
  if (shift) body.insert(0, "+");
  return body;
}

}  // namespace kes::keys
