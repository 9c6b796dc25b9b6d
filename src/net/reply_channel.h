// A TCP connection to a server that answers every command with a numbered
// reply: the FTP control connection and the SMTP dialogue.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "net/server_reply.h"
#include "net/tcp.h"

namespace kes {

class ReplyChannel {
 public:
  // 0, or the Winsock error of the connection.
  int Open(const std::string& host, uint16_t port, uint32_t timeoutMs);
  bool IsOpen() const { return tcp_.IsOpen(); }
  // Sends the command followed by CR LF; false (and the connection closed)
  // when it cannot be sent.
  bool Send(std::string_view command);
  // Sends bytes as they are (lines already ended); false as for Send.
  bool SendRaw(std::string_view bytes);
  // Reads the next whole reply. The time-out limits the whole reply, so a
  // server that never ends one, or sends a line longer than the reader takes,
  // fails like a silent one: false, and the connection is closed.
  bool Read(ServerReply& reply, uint32_t timeoutMs);
  // Sends a command and reads its reply; false as for Send and Read.
  bool Ask(std::string_view command, ServerReply& reply, uint32_t timeoutMs);
  void Close();

 private:
  TcpConnection tcp_;
  ReplyReader reader_;
};

}  // namespace kes
