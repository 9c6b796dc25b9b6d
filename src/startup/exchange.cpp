#include "startup/exchange.h"

namespace kes {

namespace {

constexpr std::string_view kMagic = "KESX1";
constexpr char kEscape = '\x01', kFieldEnd = '\x02', kRecordEnd = '\x03';

constexpr char kHex[] = "0123456789ABCDEF";

// Control bytes used by the format and every byte outside plain ASCII are
// written as the escape and two hexadecimal digits: the text stays ASCII,
// which every window text carries unchanged whatever the code pages.
void PutField(std::string& out, std::string_view v) {
  for (const char ch : v) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c <= static_cast<unsigned char>(kRecordEnd) || c >= 0x7F) {
      out += kEscape;
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  out += kFieldEnd;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the fields of one record; false at a malformed escape or a missing
// record end.
bool ReadRecord(std::string_view t, size_t& p, std::vector<std::string>& fields) {
  fields.clear();
  std::string cur;
  while (p < t.size()) {
    const char c = t[p++];
    if (c == kRecordEnd) return true;
    if (c == kFieldEnd) {
      fields.push_back(std::move(cur));
      cur.clear();
    } else if (c == kEscape) {
      if (t.size() - p < 2 || HexDigit(t[p]) < 0 || HexDigit(t[p + 1]) < 0) return false;
      cur += static_cast<char>(HexDigit(t[p]) << 4 | HexDigit(t[p + 1]));
      p += 2;
    } else {
      cur += c;
    }
  }
  return false;
}

}  // namespace

std::string PackExchange(const ExchangeState& s) {
  std::string out(kMagic);
  out += s.direction;
  if (s.hasErrors) {
    out += 'E';
    PutField(out, std::to_string(s.error));
    PutField(out, std::to_string(s.errorlevel));
    out += kRecordEnd;
  }
  for (const auto& [name, value] : s.vars) {
    out += 'V';
    PutField(out, name);
    PutField(out, value);
    out += kRecordEnd;
  }
  for (const auto& [name, elements] : s.lists) {
    out += 'L';
    PutField(out, name);
    for (const auto& e : elements) PutField(out, e);
    out += kRecordEnd;
  }
  if (!s.lines.empty()) {
    out += 'B';
    PutField(out, s.lines);
    out += kRecordEnd;
  }
  return out;
}

bool UnpackExchange(std::string_view t, ExchangeState& s) {
  s = ExchangeState();
  if (t.size() < kMagic.size() + 1 || t.substr(0, kMagic.size()) != kMagic) return false;
  s.direction = t[kMagic.size()];
  if (s.direction != '>' && s.direction != '<') return false;
  size_t p = kMagic.size() + 1;
  std::vector<std::string> f;
  auto number = [](const std::string& v, int32_t& out) {
    long long n = 0;
    size_t i = 0;
    const bool neg = !v.empty() && v[0] == '-';
    if (neg) i = 1;
    if (i >= v.size() || v.size() - i > 10) return false;
    for (; i < v.size(); ++i) {
      if (v[i] < '0' || v[i] > '9') return false;
      n = n * 10 + (v[i] - '0');
    }
    if (neg) n = -n;
    if (n < INT32_MIN || n > INT32_MAX) return false;
    out = static_cast<int32_t>(n);
    return true;
  };
  while (p < t.size()) {
    const char kind = t[p++];
    if (!ReadRecord(t, p, f)) return false;
    switch (kind) {
      case 'E':
        if (f.size() < 2 || !number(f[0], s.error) || !number(f[1], s.errorlevel)) return false;
        s.hasErrors = true;
        break;
      case 'V':
        if (f.size() < 2) return false;
        s.vars.emplace_back(std::move(f[0]), std::move(f[1]));
        break;
      case 'L':
        if (f.empty()) return false;
        s.lists.emplace_back(std::move(f[0]), std::vector<std::string>(std::make_move_iterator(f.begin() + 1),
                                                                       std::make_move_iterator(f.end())));
        break;
      case 'B':
        if (f.empty()) return false;
        s.lines = std::move(f[0]);
        break;
      default: break;
    }
  }
  return true;
}

}  // namespace kes
