#include "net/http.h"

#include <windows.h>

#include <algorithm>

#include "boxes/boxes.h"
#include "interp/errors.h"
#include "interp/text.h"
#include "interp/workfile.h"
#include "net/http_wire.h"
#include "net/tcp.h"

namespace kes {

namespace {

constexpr size_t kFirstReceive = 1024;  // the first answer to a GET or DELETE
constexpr size_t kReceive = 8192;       // every other receive, and the upload pieces
// The body of a download is taken in larger pieces: under Wine every receive
// costs a round trip to the server process, and 8,192-byte pieces would
// make a download several times slower than other clients. The wire is the
// same; no receive reaches past the announced length.
constexpr size_t kBodyReceive = 262144;
constexpr size_t kMaxHeader = 64 * 1024;  // a longer header block is refused
constexpr int kIncomplete = kErrUsage;    // a body cut short, a time-out
constexpr int kBadResponse = 400;         // no status line, no end of the header block

void AppendToFile(const std::string& path, std::string_view bytes) {
  HANDLE h =
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  SetFilePointer(h, 0, nullptr, FILE_END);
  DWORD w = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &w, nullptr);
  CloseHandle(h);
}

// One connection of a request, with the log records of the HTTP log file.
class Exchange {
 public:
  Exchange(Interp& in, const HttpTarget& t) : in_(in), t_(t), timeout_(in.http.timeoutMs) {}
  ~Exchange() { Close(); }

  bool Open() {
    Close();
    Log("CONNECTION", OpenLogText(t_.port, t_.connectHost, timeout_));
    const int e = c_.Open(t_.connectHost, t_.port, timeout_);
    if (e) Log("CONNECTION", "ERROR" + BlankNumber(e));
    return e == 0;
  }
  bool Send(std::string_view text, bool log = true) {
    if (log) Log("SEND", text);
    return c_.Send(text);
  }
  TcpConnection::Got Receive(std::string& out, size_t max, bool log = true) {
    const size_t old = out.size();
    const TcpConnection::Got g = c_.Receive(out, max, timeout_);
    if (log && out.size() > old) Log("RECV", std::string_view(out).substr(old));
    return g;
  }
  // The first answer to a request, and its status.
  int Answer(std::string& got, size_t max) {
    got.clear();
    Receive(got, max);
    return ResponseStatus(got);
  }
  void Close() {
    if (!c_.IsOpen()) return;
    c_.Close();
    Log("CONNECTION", CloseLogText(t_.port, t_.connectHost));
  }

 private:
  void Log(std::string_view label, std::string_view text) {
    if (!in_.http.logFile.empty()) AppendToFile(in_.http.logFile, HttpLogRecord(label, text));
  }
  Interp& in_;
  const HttpTarget& t_;
  uint32_t timeout_;
  TcpConnection c_;
};

std::string Credentials(Interp& in, bool proxy) {
  return AuthorizationLine(GetVariable(in, "HTTPACCOUNT"), GetVariable(in, "HTTPPASSWORD"), proxy);
}

// The transfer gauge of HTTP GAUGE: opened at the first progress, updated
// when the shown percentage changes, closed at the end when asked for.
class Progress {
 public:
  explicit Progress(Interp& in) : in_(in) {}
  ~Progress() {
    if (open_ && in_.http.gaugeCloses) GaugeUpdate(in_, "OFF");
  }
  void Show(uint64_t done, uint64_t total) {
    if (!in_.http.gauge) return;
    if (!open_) {
      GaugeOpen(in_, in_.http.gaugeCaption, in_.http.gaugeText);
      open_ = true;
    }
    // total 0 (unknown length): one update per megabyte
    const uint64_t step = total ? done * 100 / total : done >> 20;
    if (step == lastStep_) return;
    lastStep_ = step;
    GaugeUpdate(in_, IntText(static_cast<int64_t>(done)) + "," + IntText(static_cast<int64_t>(total)) + ",%");
  }

 private:
  Interp& in_;
  bool open_ = false;
  uint64_t lastStep_ = ~static_cast<uint64_t>(0);
};

// ---- stamps of the cache copies (universal time, as Last-Modified)

std::string FileStampUtc(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  SYSTEMTIME st;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d) ||
      (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !FileTimeToSystemTime(&d.ftLastWriteTime, &st))
    return {};
  StampParts p;
  p.year = st.wYear;
  p.month = st.wMonth;
  p.day = st.wDay;
  p.hour = st.wHour;
  p.minute = st.wMinute;
  p.second = st.wSecond;
  return StampText(p);
}

void SetFileStampUtc(const std::string& path, std::string_view stamp) {
  StampParts p;
  if (!ParseStamp(stamp, p)) return;
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(p.year);
  st.wMonth = static_cast<WORD>(p.month);
  st.wDay = static_cast<WORD>(p.day);
  st.wHour = static_cast<WORD>(p.hour);
  st.wMinute = static_cast<WORD>(p.minute);
  st.wSecond = static_cast<WORD>(std::min(p.second, 59));
  FILETIME ft;
  if (!SystemTimeToFileTime(&st, &ft)) return;
  HANDLE h =
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  SetFileTime(h, nullptr, nullptr, &ft);
  CloseHandle(h);
}

// Copies a file through a work file beside the target: 0 or the error code.
int CopyThroughWorkFile(const std::string& from, const std::string& to) {
  HANDLE h =
      CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LanguageError(GetLastError(), WinErrorUse::Open);
  WorkFileWriter w;
  int e = w.Open(to);
  std::string block(256 * 1024, '\0');
  while (!e) {
    DWORD got = 0;
    if (!ReadFile(h, block.data(), static_cast<DWORD>(block.size()), &got, nullptr)) e = kErrNotAccessible;
    else if (got == 0) break;
    else if (!w.Write(std::string_view(block.data(), got))) e = kErrNotAccessible;
  }
  CloseHandle(h);
  return e ? e : w.Commit();
}

// Where the body of a download goes: memory, the local file, the cache copy.
class BodySink {
 public:
  BodySink(Interp& in, HttpGetRequest& r) : r_(r), progress_(in) {}
  int Open(bool toCache) {
    if (!r_.localFile.empty()) {
      const int e = file_.Open(r_.localFile);
      if (e) return e;
    }
    // The cache copy is written beside the transfer; a cache that cannot be
    // written leaves the download as it is.
    if (toCache && cache_.Open(r_.cacheFile) != 0) cache_.Abandon();
    return 0;
  }
  bool Put(std::string_view bytes) {
    if (bytes.empty()) return true;
    if (r_.keepBody) r_.body.append(bytes.data(), bytes.size());
    if (file_.IsOpen() && !file_.Write(bytes)) return false;
    if (cache_.IsOpen() && !cache_.Write(bytes)) cache_.Abandon();
    received_ += bytes.size();
    progress_.Show(received_, r_.contentLength);
    return true;
  }
  uint64_t Received() const { return received_; }
  int Commit() {
    const int e = file_.IsOpen() ? file_.Commit() : 0;
    if (e) {
      cache_.Abandon();
      return e;
    }
    if (cache_.IsOpen() && cache_.Commit() == 0) SetFileStampUtc(r_.cacheFile, r_.stamp);
    return 0;
  }

 private:
  HttpGetRequest& r_;
  WorkFileWriter file_, cache_;
  Progress progress_;
  uint64_t received_ = 0;
};

// Reads the rest of a body after its first bytes: up to Content-Length, to the
// last chunk of a chunked body, or, without either, until the server closes
// the connection. 0 or kIncomplete.
int ReceiveBody(Interp& in, Exchange& x, std::string_view header, std::string_view first, BodySink& sink) {
  uint64_t length = 0;
  const bool chunked = IsChunked(header);
  const bool hasLength = !chunked && ParseContentLength(HeaderValue(header, "content-length:"), length);
  ChunkDecoder chunks;
  std::string decoded;
  auto feed = [&](std::string_view bytes) {
    if (chunked) {
      decoded.clear();
      return chunks.Feed(bytes, decoded) && sink.Put(decoded);
    }
    if (hasLength)
      bytes = bytes.substr(0, static_cast<size_t>(std::min<uint64_t>(bytes.size(), length - sink.Received())));
    return sink.Put(bytes);
  };
  auto complete = [&] { return chunked ? chunks.Done() : hasLength && sink.Received() >= length; };
  if (!feed(first)) return kIncomplete;
  std::string piece;
  while (!complete()) {
    if (in.run.stopRequested || in.run.abort) return kIncomplete;
    const size_t want =
        hasLength ? static_cast<size_t>(std::min<uint64_t>(kBodyReceive, length - sink.Received())) : kBodyReceive;
    piece.clear();
    const TcpConnection::Got g = x.Receive(piece, want, false);
    if (g == TcpConnection::Got::Data) {
      if (!feed(piece)) return kIncomplete;
      continue;
    }
    // Without a length the body ends where the server closes the connection.
    if (g == TcpConnection::Got::Closed && !chunked && !hasLength) return 0;
    return kIncomplete;
  }
  return 0;
}

// A download whose cache copy is current: the copy is the body.
int BodyFromCache(HttpGetRequest& r) {
  if (r.keepBody) {
    const int e = ReadFileBytes(r.cacheFile, r.body, true);
    if (e) return e;
  }
  return r.localFile.empty() ? 0 : CopyThroughWorkFile(r.cacheFile, r.localFile);
}

}  // namespace

std::string CacheCopyName(const Interp& in, std::string_view address) {
  return in.mach.cacheFolder + "\\" + CacheFileKey(address);
}

int HttpGet(Interp& in, HttpGetRequest& r) {
  r.body.clear();
  r.contentLength = 0;
  r.stamp.clear();
  r.downloaded = true;
  r.cacheFile = CacheCopyName(in, r.address);
  const HttpTarget t = ParseHttpAddress(r.address, in.http.proxyPrefix);
  Exchange x(in, t);
  std::string got, auth;
  int status = 0;
  for (int attempt = 0;; ++attempt) {
    if (!x.Open()) return kErrNotReachable;
    x.Send(GetRequest(t, auth));
    status = x.Answer(got, kFirstReceive);
    if (attempt > 0 || (status != 401 && status != 407)) break;
    x.Close();
    auth = Credentials(in, status == 407);
  }
  if (status != 200) return status;
  // The header block may be longer than the first receive.
  size_t bodyAt = BodyStart(got);
  while (bodyAt == std::string::npos) {
    if (got.size() > kMaxHeader || x.Receive(got, kReceive) != TcpConnection::Got::Data) return kBadResponse;
    bodyAt = BodyStart(got);
  }
  const std::string_view header = std::string_view(got).substr(0, bodyAt);
  uint64_t length = 0;
  if (!IsChunked(header) && ParseContentLength(HeaderValue(header, "content-length:"), length))
    r.contentLength = length;
  r.stamp = LastModifiedStamp(HeaderValue(header, "last-modified:"));
  if (in.http.cache && StampsMatch(FileStampUtc(r.cacheFile), r.stamp)) r.downloaded = false;
  if (r.headersOnly) return 0;
  if (!r.downloaded) {
    x.Close();
    return BodyFromCache(r);
  }
  BodySink sink(in, r);
  int e = sink.Open(in.http.cache);
  if (!e) e = ReceiveBody(in, x, header, std::string_view(got).substr(bodyAt), sink);
  x.Close();
  if (!e) e = sink.Commit();
  if (e) r.body.clear();
  return e;
}

int HttpPut(Interp& in, const std::string& localFile, std::string_view address) {
  const DWORD attr = GetFileAttributesA(localFile.c_str());
  if (localFile.empty() || attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY)) return kErrNotFound;
  HANDLE f = CreateFileA(localFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return LanguageError(GetLastError(), WinErrorUse::Open);
  struct Closer {
    HANDLE h;
    ~Closer() { CloseHandle(h); }
  } closer{f};
  DWORD high = 0;
  const DWORD low = GetFileSize(f, &high);
  const uint64_t size = (static_cast<uint64_t>(high) << 32) | low;

  const HttpTarget t = ParseHttpAddress(address, in.http.proxyPrefix);
  Exchange x(in, t);
  std::string got;
  // The folder first; its refusal ends the upload unless it asks for
  // credentials.
  if (!x.Open()) return kErrNotReachable;
  x.Send(FolderPutRequest(t));
  int status = x.Answer(got, kReceive);
  x.Close();
  if (!((status >= 100 && status <= 299) || status == 401 || status == 403 || status == 407)) return status;
  std::string auth;
  if (status == 401 || status == 403) auth = Credentials(in, false);
  if (status == 407) auth = Credentials(in, true);

  if (!x.Open()) return kErrNotReachable;
  x.Send(FilePutRequest(t, size, auth));
  status = x.Answer(got, kReceive);
  if (status < 100 || status > 299) return status;
  Progress progress(in);
  std::string block(256 * 1024, '\0');
  uint64_t sent = 0;
  while (sent < size) {
    DWORD n = 0;
    if (!ReadFile(f, block.data(), static_cast<DWORD>(std::min<uint64_t>(block.size(), size - sent)), &n, nullptr) ||
        n == 0)
      return kErrUploadInterrupted;
    for (DWORD at = 0; at < n; at += kReceive) {
      const DWORD piece = std::min<DWORD>(kReceive, n - at);
      if (!x.Send(std::string_view(block.data() + at, piece), false)) return kErrUploadInterrupted;
      sent += piece;
      progress.Show(sent, size);
    }
  }
  x.Send("\r\n\r\n");
  // The server's verdict on the content: a refusal at this point is an
  // error, and so is no answer at all.
  got.clear();
  int final = -1;
  while (final < 0 && got.size() < kMaxHeader && x.Receive(got, kReceive) == TcpConnection::Got::Data)
    final = FinalStatus(got);
  x.Close();
  if (final < 0) return kIncomplete;
  return final >= 300 ? final : 0;
}

int HttpDelete(Interp& in, std::string_view address) {
  const HttpTarget t = ParseHttpAddress(address, in.http.proxyPrefix);
  Exchange x(in, t);
  std::string got;
  if (!x.Open()) return kErrNotReachable;
  x.Send(DeleteRequest(t, ""));
  int status = x.Answer(got, kFirstReceive);
  if (status == 401 || status == 407) {
    if (!x.Open()) return kErrNotReachable;
    x.Send(DeleteRequest(t, Credentials(in, status == 407)));
    status = x.Answer(got, kFirstReceive);
  }
  x.Close();
  return status == 100 || (status >= 200 && status <= 299) ? 0 : status;
}

std::string ProxyFromInternetSettings() {
  HKEY k;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", 0,
                    KEY_QUERY_VALUE, &k) != ERROR_SUCCESS)
    return {};
  DWORD enable = 0, type = 0, size = sizeof enable;
  std::string server;
  if (RegQueryValueExA(k, "ProxyEnable", nullptr, &type, reinterpret_cast<BYTE*>(&enable), &size) == ERROR_SUCCESS &&
      size == sizeof enable && enable != 0) {
    size = 0;
    if (RegQueryValueExA(k, "ProxyServer", nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size > 0 &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
      server.resize(size);
      if (RegQueryValueExA(k, "ProxyServer", nullptr, &type, reinterpret_cast<BYTE*>(server.data()), &size) !=
          ERROR_SUCCESS)
        size = 0;
      server.resize(std::min<size_t>(size, server.size()));
      server.resize(std::min(server.size(), server.find('\0')));
    }
  }
  RegCloseKey(k);
  return ProxyPrefixFromSetting(server);
}

bool HttpFetchScript(Interp& in, std::string_view address, std::string& text, std::string& cacheCopy) {
  HttpGetRequest r;
  r.address = std::string(address);
  r.keepBody = true;
  const int e = HttpGet(in, r);
  cacheCopy = r.cacheFile;
  text.swap(r.body);
  return e == 0;
}

bool HttpExists(Interp& in, std::string_view address) {
  HttpGetRequest r;
  r.address = std::string(address);
  r.headersOnly = true;
  return HttpGet(in, r) == 0;
}

void WriteCacheCopy(const std::string& path, std::string_view bytes) { ReplaceThroughWorkFile(path, bytes); }

}  // namespace kes
