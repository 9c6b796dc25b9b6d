#include "net/http_wire.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "interp/text.h"
#include "net/base64.h"

namespace kes {

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view TrimSpaceTab(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The number in characters 9 to 12 of a status line; -1 when none.
int StatusNumber(std::string_view block) {
  if (block.size() <= 8) return -1;
  const std::string_view w = block.substr(8, 4);
  size_t i = 0;
  while (i < w.size() && w[i] == ' ') ++i;
  if (i == w.size() || !IsDigit(w[i])) return -1;
  int v = 0;
  for (; i < w.size() && IsDigit(w[i]); ++i) v = v * 10 + (w[i] - '0');
  return v;
}

std::string Hex8(uint32_t v) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string s(8, '0');
  for (int i = 7; i >= 0; --i, v >>= 4) s[static_cast<size_t>(i)] = kHex[v & 15];
  return s;
}

void AppendLine(std::string& out, std::string_view a, std::string_view b = {}) {
  out += a;
  out += b;
  out += kCrLf;
}

// The header lines every request starts with, and the end of the block.
std::string RequestStart(std::string_view method, std::string_view target, std::string_view host) {
  std::string r;
  r.reserve(256);
  r += method;
  r += ' ';
  r += target;
  AppendLine(r, " HTTP/1.1");
  AppendLine(r, "Host: ", host);
  return r;
}

void EndRequest(std::string& r, std::string_view authLine) {
  if (!authLine.empty()) AppendLine(r, authLine);
  r += kCrLf;
}

constexpr const char* kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

}  // namespace

// ---------------------------------------------------------------------------
// addresses

std::string_view WithoutScheme(std::string_view address) {
  return StartsWithNoCase(address, "http://") ? address.substr(7) : address;
}

HttpTarget ParseHttpAddress(std::string_view address, std::string_view proxyPrefix) {
  std::string u(proxyPrefix);
  u += WithoutScheme(address);
  const size_t slash = u.find('/');
  const std::string hostPart = u.substr(0, slash);
  const std::string path = slash == std::string::npos ? std::string() : u.substr(slash + 1);
  HttpTarget t;
  const std::vector<std::string> f = SplitPlain(hostPart, ":");
  if (f.size() == 3) {
    t.connectHost = f[0];
    const int64_t port = ValInt64(f[1]);
    t.port = port >= 1 && port <= 65535 ? static_cast<uint16_t>(port) : 0;
    t.host = f[2];
    t.target = "http://" + t.host + "/" + path;
    t.viaProxy = true;
  } else {
    t.connectHost = hostPart;
    t.host = hostPart;
    t.target = "/" + path;
  }
  return t;
}

// ---------------------------------------------------------------------------
// requests

std::string AuthorizationLine(std::string_view account, std::string_view password, bool proxy) {
  std::string credentials(account);
  credentials += ':';
  credentials += password;
  return std::string(proxy ? "Proxy-" : "") + "Authorization: Basic " + Base64Encode(credentials);
}

std::string GetRequest(const HttpTarget& t, std::string_view authLine) {
  std::string r = RequestStart("GET", t.target, t.host);
  if (t.viaProxy) {
    AppendLine(r, "Proxy-connection: Keep-Alive");
    AppendLine(r, "Pragma: no-cache");
  }
  AppendLine(r, "Accept: */*");
  AppendLine(r, "Accept-Language: en-us");
  EndRequest(r, authLine);
  return r;
}

std::string DeleteRequest(const HttpTarget& t, std::string_view authLine) {
  std::string r = RequestStart("DELETE", t.target, t.host);
  EndRequest(r, authLine);
  return r;
}

std::string FolderPutRequest(const HttpTarget& t) {
  const size_t slash = t.target.rfind('/');
  std::string r = RequestStart("PUT", std::string_view(t.target).substr(0, slash + 1), t.host);
  AppendLine(r, "Content-Type: text/html");
  AppendLine(r, "Content-Length: 0");
  EndRequest(r, {});
  return r;
}

std::string FilePutRequest(const HttpTarget& t, uint64_t length, std::string_view authLine) {
  std::string r = RequestStart("PUT", t.target, t.host);
  AppendLine(r, "Cache-Control: no-cache");
  AppendLine(r, "Accept: application/octet-stream");
  AppendLine(r, "Accept-Charset: ASCII");
  AppendLine(r, "Accept-Encoding: identity");
  AppendLine(r, "Content-Encoding: identity");
  AppendLine(r, "Content-Length: ", BlankNumber(static_cast<int64_t>(length)));
  AppendLine(r, "Content-Type: application/octet-stream");
  AppendLine(r, "Expect: 100-continue");
  EndRequest(r, authLine);
  return r;
}

// ---------------------------------------------------------------------------
// responses

size_t BodyStart(std::string_view received) {
  const size_t p = received.find("\r\n\r\n");
  return p == std::string_view::npos ? p : p + 4;
}

size_t HeaderExtent(std::string_view received) {
  size_t pos = 0;
  for (;;) {
    const size_t end = BodyStart(received.substr(pos));
    if (end == std::string_view::npos) return received.size();
    const int s = StatusNumber(received.substr(pos));
    if (s >= 100 && s <= 199 && pos + end < received.size()) {
      pos += end;
      continue;
    }
    return pos + end;
  }
}

int ResponseStatus(std::string_view received) {
  int status = StatusNumber(received);
  if (status < 0) status = 400;
  if (received.substr(0, HeaderExtent(received)).find("\nHTTP/1.1 403") != std::string_view::npos) status = 403;
  return status;
}

int FinalStatus(std::string_view received) {
  size_t pos = 0;
  for (;;) {
    if (pos >= received.size()) return -1;
    const std::string_view block = received.substr(pos);
    const int s = StatusNumber(block);
    if (s < 0) return block.size() > 12 ? 400 : -1;
    if (s < 100 || s > 199) return s;
    const size_t end = BodyStart(block);
    if (end == std::string_view::npos) return -1;
    pos += end;
  }
}

std::string HeaderValue(std::string_view header, std::string_view name) {
  size_t start = 0;
  while (start < header.size()) {
    size_t end = header.find('\n', start);
    if (end == std::string_view::npos) end = header.size();
    std::string_view line = header.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() >= name.size() && EqualsNoCase(line.substr(0, name.size()), name))
      return std::string(TrimSpaceTab(line.substr(name.size())));
    start = end + 1;
  }
  return {};
}

bool ParseContentLength(std::string_view value, uint64_t& length) {
  value = TrimSpaceTab(value);
  if (value.empty() || value.size() > 15) return false;
  uint64_t v = 0;
  for (char c : value) {
    if (!IsDigit(c)) return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  length = v;
  return true;
}

bool IsChunked(std::string_view header) {
  return FindNoCase(HeaderValue(header, "transfer-encoding:"), "chunked") != std::string::npos;
}

std::string LastModifiedStamp(std::string_view value) {
  // Sun, 06 Nov 1994 08:49:37 GMT
  std::vector<std::string_view> w;
  size_t i = 0;
  while (i < value.size() && w.size() < 6) {
    while (i < value.size() && value[i] == ' ') ++i;
    const size_t s = i;
    while (i < value.size() && value[i] != ' ') ++i;
    if (i > s) w.push_back(value.substr(s, i - s));
  }
  if (w.size() < 5) return {};
  const std::string_view day = w[1], mon = w[2], year = w[3], time = w[4];
  if (day.empty() || day.size() > 2 || !AllDigits(day) || year.size() != 4 || !AllDigits(year)) return {};
  if (time.size() != 8 || time[2] != ':' || time[5] != ':') return {};
  for (size_t k : {0, 1, 3, 4, 6, 7})
    if (!IsDigit(time[k])) return {};
  int month = 0;
  for (int m = 0; m < 12; ++m)
    if (EqualsNoCase(mon, kMonths[m])) month = m + 1;
  if (month == 0) return {};
  std::string r(year);
  r += '/';
  r += ZeroPad(month, 2);
  r += '/';
  if (day.size() == 1) r += '0';
  r += day;
  r += '_';
  r += time;
  return r;
}

bool ParseStamp(std::string_view s, StampParts& p) {
  if (s.size() != 19 || s[4] != '/' || s[7] != '/' || s[10] != '_' || s[13] != ':' || s[16] != ':') return false;
  auto num = [&](size_t at, size_t n, int& out) {
    out = 0;
    for (size_t k = at; k < at + n; ++k) {
      if (!IsDigit(s[k])) return false;
      out = out * 10 + (s[k] - '0');
    }
    return true;
  };
  return num(0, 4, p.year) && num(5, 2, p.month) && num(8, 2, p.day) && num(11, 2, p.hour) && num(14, 2, p.minute) &&
         num(17, 2, p.second) && p.month >= 1 && p.month <= 12 && p.day >= 1 && p.day <= 31 && p.hour <= 23 &&
         p.minute <= 59 && p.second <= 60;
}

std::string StampText(const StampParts& p) {
  return ZeroPad(p.year, 4) + "/" + ZeroPad(p.month, 2) + "/" + ZeroPad(p.day, 2) + "_" + ZeroPad(p.hour, 2) + ":" +
         ZeroPad(p.minute, 2) + ":" + ZeroPad(p.second, 2);
}

bool StampsMatch(std::string_view fileStamp, std::string_view serverStamp) {
  return fileStamp.size() >= 18 && serverStamp.size() >= 18 && fileStamp.substr(0, 18) == serverStamp.substr(0, 18);
}

bool ChunkDecoder::Feed(std::string_view in, std::string& out) {
  size_t i = 0;
  while (i < in.size() && state_ != State::Done && state_ != State::Failed) {
    const char c = in[i];
    switch (state_) {
      case State::Size: {
        const int h = HexDigit(c);
        if (h >= 0) {
          if (++digits_ > 15) {
            state_ = State::Failed;
            break;
          }
          remaining_ = remaining_ * 16 + static_cast<uint64_t>(h);
        } else if (digits_ == 0) {
          state_ = State::Failed;
        } else if (c == ';' || c == ' ' || c == '\t') {
          state_ = State::Extension;
        } else if (c == '\r') {
          state_ = State::SizeLf;
        } else if (c == '\n') {
          state_ = remaining_ ? State::Data : State::TrailerStart;
        } else {
          state_ = State::Failed;
        }
        ++i;
        break;
      }
      case State::Extension:
        if (c == '\n') state_ = remaining_ ? State::Data : State::TrailerStart;
        ++i;
        break;
      case State::SizeLf:
        state_ = c == '\n' ? (remaining_ ? State::Data : State::TrailerStart) : State::Failed;
        ++i;
        break;
      case State::Data: {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(remaining_, in.size() - i));
        out.append(in.data() + i, n);
        remaining_ -= n;
        i += n;
        if (remaining_ == 0) state_ = State::DataCr;
        break;
      }
      case State::DataCr:
        if (c == '\r') state_ = State::DataLf;
        else if (c == '\n') state_ = State::Size;
        else state_ = State::Failed;
        digits_ = 0;
        ++i;
        break;
      case State::DataLf:
        state_ = c == '\n' ? State::Size : State::Failed;
        ++i;
        break;
      case State::TrailerStart:
        if (c == '\r') state_ = State::TrailerLf;
        else if (c == '\n') state_ = State::Done;
        else state_ = State::Trailer;
        ++i;
        break;
      case State::Trailer:
        if (c == '\n') state_ = State::TrailerStart;
        ++i;
        break;
      case State::TrailerLf:
        state_ = c == '\n' ? State::Done : State::Failed;
        ++i;
        break;
      case State::Done:
      case State::Failed: break;
    }
  }
  return state_ != State::Failed;
}

// ---------------------------------------------------------------------------
// time-out

void SplitTimeout(uint32_t ms, long& seconds, long& micros) {
  seconds = static_cast<long>(ms / 1024);
  micros = static_cast<long>((ms % 1024) * 1024);
}

uint64_t TimeoutMicros(uint32_t ms) {
  long s = 0, us = 0;
  SplitTimeout(ms, s, us);
  return static_cast<uint64_t>(s) * 1000000u + static_cast<uint64_t>(us);
}

uint32_t NetTimeoutValue(std::string_view text, uint32_t fallback) {
  const Num v = Val(TrimView(text));
  if (!(v >= 1)) return fallback;
  if (v >= 4294967295.0L) return 4294967295u;
  return static_cast<uint32_t>(v);
}

// ---------------------------------------------------------------------------
// proxy

std::string ProxyPrefixFromSetting(std::string_view proxyServer) {
  const std::vector<std::string> entries = SplitPlain(proxyServer, ";");
  for (const std::string& e : entries) {
    const size_t eq = e.find('=');
    const size_t colon = e.find(':');
    if (colon == std::string::npos || (eq != std::string::npos && eq > colon)) continue;
    const bool taken =
        eq != std::string::npos ? Lower(Trim(std::string_view(e).substr(0, eq))) == "http" : entries.size() == 1;
    if (!taken) continue;
    const size_t hostStart = eq == std::string::npos ? 0 : eq + 1;
    const std::string host = Trim(std::string_view(e).substr(hostStart, colon - hostStart));
    const Num port = std::trunc(Val(std::string_view(e).substr(colon + 1)));
    if (host.empty() || !(port >= 1 && port <= 32767)) continue;
    return host + ":" + IntText(static_cast<int64_t>(port)) + ":";
  }
  return {};
}

// ---------------------------------------------------------------------------
// log

std::string BlankNumber(int64_t v) { return v >= 0 ? " " + IntText(v) : IntText(v); }

std::string HttpLogRecord(std::string_view label, std::string_view text) {
  std::string r(kCrLf);
  r += label;
  r.append(128, '*');
  r += text;
  return r;
}

std::string OpenLogText(uint16_t port, std::string_view host, uint32_t timeoutMs) {
  return "OPEN" + BlankNumber(port) + " " + std::string(host) + " TIMEOUT " + IntText(timeoutMs);
}

std::string CloseLogText(uint16_t port, std::string_view host) {
  return "CLOSE" + BlankNumber(port) + " " + std::string(host);
}

// ---------------------------------------------------------------------------
// cache names

std::string CacheNameChecksum(std::string_view address) {
  const size_t slash = address.find('/');
  std::string text = Upper(address.substr(0, slash));
  text += '/';
  if (slash != std::string_view::npos) text += address.substr(slash + 1);
  uint32_t sum = 0;  // a signed 32-bit sum, kept in its two's-complement bits
  for (size_t i = 1; i <= text.size(); ++i) {
    sum += static_cast<unsigned char>(text[i - 1]);
    if (i % 10 == 0) sum *= 100;
  }
  return Hex8(sum);
}

std::string CacheFileKey(std::string_view address) {
  static const auto table = [] {
    struct T {
      uint32_t v[256];
    } t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t.v[n] = c;
    }
    return t;
  }();
  const std::string_view a = WithoutScheme(address);
  const size_t slash = a.find('/');
  std::string key = Upper(a.substr(0, slash));
  key += '/';
  if (slash != std::string_view::npos) key += a.substr(slash + 1);
  uint32_t crc = 0xFFFFFFFFu;
  for (char ch : key) crc = table.v[(crc ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (crc >> 8);
  return Hex8(crc ^ 0xFFFFFFFFu);
}

// ---------------------------------------------------------------------------
// settings files

std::vector<Setting> SettingsFromText(std::string_view text, std::string_view section) {
  std::vector<Setting> out;
  const std::string wanted = Upper(TrimSpaceTab(section));
  std::string current;
  for (std::string_view line : LinesOf(text)) {
    line = TrimSpaceTab(line);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      current = Upper(TrimSpaceTab(line.substr(1, line.size() - 2)));
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    Setting s{std::string(TrimSpaceTab(line.substr(0, eq))), std::string(TrimSpaceTab(line.substr(eq + 1)))};
    if (s.name.empty() || (!wanted.empty() && current != wanted)) continue;
    out.push_back(std::move(s));
  }
  return out;
}

}  // namespace kes
