// The HTTP client's texts: addresses, requests, responses, proxy settings,
// log records and cache names. No system calls here, so the parsing can be
// unit-tested and fuzzed natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kes {

// ---- addresses

// Where a request goes. Without a proxy the host part of the address is the
// host (a ":port" written in the address stays part of the host name) and the
// port is 80; with a proxy prefix "proxyhost:port:" the connection goes to the
// proxy and the request target is the whole address.
struct HttpTarget {
  std::string connectHost;
  uint16_t port = 80;
  std::string host;    // the Host header
  std::string target;  // "/path" or "http://host/path"
  bool viaProxy = false;
};
HttpTarget ParseHttpAddress(std::string_view address, std::string_view proxyPrefix);

// The address without "http://" (any case).
std::string_view WithoutScheme(std::string_view address);

// ---- requests (every line ends with CR LF; an empty line ends the block)

// "Authorization: Basic " + Base64(account:password), or the
// "Proxy-Authorization" form for a proxy that asked (407).
std::string AuthorizationLine(std::string_view account, std::string_view password, bool proxy);
std::string GetRequest(const HttpTarget& t, std::string_view authLine);
std::string DeleteRequest(const HttpTarget& t, std::string_view authLine);
// The request for the folder of the target (up to its last "/").
std::string FolderPutRequest(const HttpTarget& t);
// The header block of a file upload of `length` bytes.
std::string FilePutRequest(const HttpTarget& t, uint64_t length, std::string_view authLine);

// ---- responses

// The status of a response: the number in characters 9 to 12 ("HTTP/1.1 200
// OK" gives 200), 400 when no number stands there; 403 when a later status
// line of the header blocks reads "HTTP/1.1 403" (a refusal after an interim
// "100 Continue").
int ResponseStatus(std::string_view received);
// The status of the first response that is not interim (1xx), 400 when the
// text holds no status line; -1 while only interim blocks (or nothing) have
// arrived.
int FinalStatus(std::string_view received);
// Where the body starts: after the first empty line (CR LF CR LF); npos while
// the header block is not complete.
size_t BodyStart(std::string_view received);
// Where the header text of the final response ends: interim (1xx) blocks are
// passed over. The whole text while a block is incomplete.
size_t HeaderExtent(std::string_view received);
// The value of a header line ("content-length:" ...) whose name, compared
// without regard to case, starts a line of the header text: the rest of the
// line, trimmed. Empty when absent.
std::string HeaderValue(std::string_view header, std::string_view name);
// A Content-Length value: digits only (blanks around them allowed).
bool ParseContentLength(std::string_view value, uint64_t& length);
// "Transfer-Encoding: chunked" in the header text.
bool IsChunked(std::string_view header);

// "Sun, 06 Nov 1994 08:49:37 GMT" gives "1994/11/06_08:49:37"; empty when the
// date is not in that form.
std::string LastModifiedStamp(std::string_view value);
// The parts of a stamp "YYYY/MM/DD_HH:MM:SS"; false when it is not one.
struct StampParts {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
bool ParseStamp(std::string_view stamp, StampParts& p);
std::string StampText(const StampParts& p);
// The cache copy is current when the two stamps agree in their first 18
// characters (the last digit of the seconds is not compared: some file
// systems keep times in steps of two seconds).
bool StampsMatch(std::string_view fileStamp, std::string_view serverStamp);

// A chunked body ("Transfer-Encoding: chunked"), decoded as it arrives in
// pieces of any size.
class ChunkDecoder {
 public:
  // Appends the data bytes of `in` to out. False once the encoding is broken.
  bool Feed(std::string_view in, std::string& out);
  bool Done() const { return state_ == State::Done; }
  bool Failed() const { return state_ == State::Failed; }

 private:
  enum class State { Size, Extension, SizeLf, Data, DataCr, DataLf, TrailerStart, Trailer, TrailerLf, Done, Failed };
  State state_ = State::Size;
  uint64_t remaining_ = 0;
  int digits_ = 0;
};

// ---- time-out

// The time-out of a wait in milliseconds, split as select() receives it:
// seconds = ms / 1,024 and microseconds = (ms mod 1,024) x 1,024.
void SplitTimeout(uint32_t ms, long& seconds, long& micros);
// The same wait as one count of microseconds.
uint64_t TimeoutMicros(uint32_t ms);
// A time-out variable (HTTPTIMEOUT, FTPTIMEOUT, PINGTIMEOUT): milliseconds;
// the fallback (10,000 unless said) when empty or not a positive number.
uint32_t NetTimeoutValue(std::string_view text, uint32_t fallback = 10000);

// ---- proxy

// The proxy prefix "host:port:" from a ProxyServer setting ("proxy:8080", or
// "http=proxy:8080;ftp=other:21"); empty when no entry is usable.
std::string ProxyPrefixFromSetting(std::string_view proxyServer);

// ---- log

// One log record: a line break, the label ("CONNECTION", "SEND", "RECV")
// followed by 128 asterisks, then the text.
std::string HttpLogRecord(std::string_view label, std::string_view text);
// "OPEN 80 host TIMEOUT 10000" and "CLOSE 80 host".
std::string OpenLogText(uint16_t port, std::string_view host, uint32_t timeoutMs);
std::string CloseLogText(uint16_t port, std::string_view host);
// A number as the language's number-to-text conversion writes it: a blank
// before a non-negative number.
std::string BlankNumber(int64_t v);

// ---- cache names

// CACHENAME: the checksum of an address (host and path, without "http://")
// as 8 upper-case hexadecimal digits.
std::string CacheNameChecksum(std::string_view address);
// The name of the HTTP cache's copy of an address inside the cache folder:
// a CRC-32 of the upper-cased host, "/" and the path, as 8 hexadecimal
// digits.
std::string CacheFileKey(std::string_view address);

// ---- settings files (DYNAMIC)

struct Setting {
  std::string name, value;
};
// The NAME=value lines of a settings file, in order: names and values trimmed,
// empty lines, lines without "=" or without a name, and comment lines (";")
// skipped. With a section, only the lines under "[section]" (compared without
// regard to case); without, the lines of every section.
std::vector<Setting> SettingsFromText(std::string_view text, std::string_view section);

}  // namespace kes
