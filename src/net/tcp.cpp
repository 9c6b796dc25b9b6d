#include "net/tcp.h"

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "interp/dispatcher.h"
#include "net/http_wire.h"

namespace kes {

bool NetStartup() {
  static const bool started = [] {
    WSADATA d;
    return WSAStartup(MAKEWORD(1, 1), &d) == 0;
  }();
  return started;
}

namespace {
// Waits are cut into slices so that window messages are handled meanwhile.
constexpr uint64_t kSliceMicros = 100000;
}  // namespace

int TcpConnection::Open(const std::string& host, uint16_t port, uint32_t timeoutMs) {
  Close();
  if (!NetStartup()) return WSASYSNOTREADY;
  if (host.empty()) return WSAHOST_NOT_FOUND;
  unsigned long addr = inet_addr(host.c_str());
  if (addr == INADDR_NONE) {
    const hostent* h = gethostbyname(host.c_str());
    if (!h || h->h_addrtype != AF_INET || !h->h_addr_list[0]) {
      const int e = WSAGetLastError();
      return e ? e : WSAHOST_NOT_FOUND;
    }
    std::memcpy(&addr, h->h_addr_list[0], sizeof addr);
  }
  const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  if (s == INVALID_SOCKET) return WSAGetLastError();
  socket_ = s;
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  sa.sin_addr.s_addr = addr;
  // A non-blocking connect, so that the wait for it has the time-out.
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  if (connect(s, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == SOCKET_ERROR) {
    int e = WSAGetLastError();
    if (e == WSAEWOULDBLOCK) e = Wait(true, TimeoutMicros(timeoutMs));
    if (e == 0) {
      int soError = 0;
      int len = sizeof soError;
      if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &len) == 0 && soError) e = soError;
    }
    if (e) {
      Close();
      return e;
    }
  }
  // The socket stays non-blocking: a receive takes what has arrived and
  // waits with select() only when nothing has (far fewer system calls than a
  // wait before every receive).
  return 0;
}

int TcpConnection::Wait(bool forWrite, uint64_t micros) {
  uint64_t left = micros;
  for (;;) {
    const uint64_t slice = std::min(left, kSliceMicros);
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(static_cast<SOCKET>(socket_), &ready);
    FD_SET(static_cast<SOCKET>(socket_), &failed);
    timeval tv;
    tv.tv_sec = static_cast<long>(slice / 1000000);
    tv.tv_usec = static_cast<long>(slice % 1000000);
    const int r =
        select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr, forWrite ? &failed : nullptr, &tv);
    if (r == SOCKET_ERROR) return WSAGetLastError();
    if (r > 0) return 0;
    left -= slice;
    if (left == 0) return WSAETIMEDOUT;
    PumpMessages();
  }
}

bool TcpConnection::Send(std::string_view data, uint32_t timeoutMs) {
  if (!IsOpen()) return false;
  while (!data.empty()) {
    const int n =
        send(static_cast<SOCKET>(socket_), data.data(), static_cast<int>(std::min<size_t>(data.size(), 1 << 20)), 0);
    if (n > 0) {
      data.remove_prefix(static_cast<size_t>(n));
      continue;
    }
    // A full send buffer: wait until the peer takes more.
    if (n == 0 || WSAGetLastError() != WSAEWOULDBLOCK || Wait(true, TimeoutMicros(timeoutMs)) != 0) return false;
  }
  return true;
}

TcpConnection::Got TcpConnection::Receive(std::string& out, size_t max, uint32_t timeoutMs) {
  if (!pending_.empty()) {
    const size_t n = std::min(max, pending_.size());
    out.append(pending_, 0, n);
    pending_.erase(0, n);
    return Got::Data;
  }
  return ReceiveRaw(out, max, timeoutMs);
}

TcpConnection::Got TcpConnection::ReceiveRaw(std::string& out, size_t max, uint32_t timeoutMs) {
  if (!IsOpen() || max == 0) return Got::Failed;
  const size_t old = out.size();
  out.resize(old + max);
  uint64_t left = TimeoutMicros(timeoutMs);
  for (;;) {
    const int n = recv(static_cast<SOCKET>(socket_), &out[old], static_cast<int>(max), 0);
    if (n > 0) {
      out.resize(old + static_cast<size_t>(n));
      return Got::Data;
    }
    out.resize(old);
    if (n == 0) return Got::Closed;
    if (WSAGetLastError() != WSAEWOULDBLOCK) return Got::Failed;
    // Nothing yet: wait for it, up to the time-out.
    if (left == 0) return Got::TimedOut;
    const DWORD start = GetTickCount();
    const int w = Wait(false, left);
    if (w == WSAETIMEDOUT) return Got::TimedOut;
    if (w) return Got::Failed;
    const uint64_t spent = static_cast<uint64_t>(GetTickCount() - start) * 1000;
    left = spent < left ? left - spent : 0;
    out.resize(old + max);
  }
}

TcpConnection::Got TcpConnection::ReceiveLine(std::string& line, uint32_t timeoutMs) {
  line.clear();
  size_t searched = 0;
  for (;;) {
    const size_t lf = pending_.find('\n', searched);
    if (lf != std::string::npos) {
      line.assign(pending_, 0, lf);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      pending_.erase(0, lf + 1);
      return Got::Data;
    }
    searched = pending_.size();
    const Got g = ReceiveRaw(pending_, 8192, timeoutMs);
    if (g == Got::Data) continue;
    if (g == Got::Closed && !pending_.empty()) {
      line.swap(pending_);  // a last line without its line end
      pending_.clear();
      return Got::Data;
    }
    return g;
  }
}

void TcpConnection::Close() {
  if (socket_ != kNoSocket) closesocket(static_cast<SOCKET>(socket_));
  socket_ = kNoSocket;
  pending_.clear();
}

void TcpConnection::Abort() {
  if (socket_ != kNoSocket) {
    linger l{};
    l.l_onoff = 1;
    l.l_linger = 0;
    setsockopt(static_cast<SOCKET>(socket_), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l);
  }
  Close();
}

std::string LocalHostName() {
  if (!NetStartup()) return {};
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  const hostent* h = gethostbyname(name);
  if (h && h->h_addrtype == AF_INET && h->h_addr_list[0]) {
    const hostent* back = gethostbyaddr(h->h_addr_list[0], 4, AF_INET);
    if (back && back->h_name && *back->h_name) return back->h_name;
  }
  return name;
}

}  // namespace kes
