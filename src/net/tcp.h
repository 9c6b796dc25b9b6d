// A TCP client connection over Winsock 1.1, shared by the HTTP client, the
// FTP client and the mail sender: resolve and connect with a time-out, send,
// receive what arrives within a time-out (select), receive a line, close.
// Waits keep the program's windows responsive.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kes {

// Starts Winsock (version 1.1) once for the process; false when it cannot.
bool NetStartup();

class TcpConnection {
 public:
  TcpConnection() = default;
  TcpConnection(const TcpConnection&) = delete;
  TcpConnection& operator=(const TcpConnection&) = delete;
  ~TcpConnection() { Close(); }

  // Resolves host (a name or a dotted address) and connects to port, waiting
  // at most timeoutMs for the connection. 0, or the Winsock error number
  // (11001 host not found, 10061 refused, 10060 timed out, ...).
  int Open(const std::string& host, uint16_t port, uint32_t timeoutMs);
  bool IsOpen() const { return socket_ != kNoSocket; }
  // Sends every byte; false when the connection fails or the peer takes
  // nothing for the time-out.
  bool Send(std::string_view data, uint32_t timeoutMs = 60000);

  enum class Got { Data, Closed, TimedOut, Failed };
  // Appends at most `max` bytes to out: what arrives first, waiting up to the
  // time-out split as select() takes it (ms / 1,024 seconds and the rest x
  // 1,024 microseconds). Closed: the peer ended the connection; TimedOut:
  // nothing arrived; Failed: the connection broke.
  Got Receive(std::string& out, size_t max, uint32_t timeoutMs);
  // One line without its CR LF (a bare LF also ends it); each wait for more
  // bytes is limited by the time-out. Bytes after the line are kept for the
  // next receive.
  Got ReceiveLine(std::string& line, uint32_t timeoutMs);
  void Close();
  // Closes with a reset instead of an orderly end, so that the peer sees a
  // transfer broken off rather than complete.
  void Abort();

 private:
  static constexpr uintptr_t kNoSocket = ~static_cast<uintptr_t>(0);
  // Waits until the socket is readable (or writable); false on time-out.
  int Wait(bool forWrite, uint64_t micros);
  Got ReceiveRaw(std::string& out, size_t max, uint32_t timeoutMs);
  uintptr_t socket_ = kNoSocket;
  std::string pending_;  // bytes received past a line end
};

// The local host's name as the first address of the host gives it back
// (the mail sender's HELO); the plain host name when that fails.
std::string LocalHostName();

}  // namespace kes
