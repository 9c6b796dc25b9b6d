#include "net/reply_channel.h"

#include <windows.h>

#include "net/http_wire.h"

namespace kes {

int ReplyChannel::Open(const std::string& host, uint16_t port, uint32_t timeoutMs) {
  reader_.Clear();
  return tcp_.Open(host, port, timeoutMs);
}

bool ReplyChannel::Send(std::string_view command) {
  std::string line(command);
  line += "\r\n";
  if (tcp_.Send(line)) return true;
  Close();
  return false;
}

bool ReplyChannel::SendRaw(std::string_view bytes) {
  if (tcp_.Send(bytes)) return true;
  Close();
  return false;
}

bool ReplyChannel::Read(ServerReply& reply, uint32_t timeoutMs) {
  // The budget of the whole reply, with the time-out split of every wait.
  const uint64_t budgetMs = TimeoutMicros(timeoutMs) / 1000;
  const DWORD start = GetTickCount();
  std::string chunk;
  for (;;) {
    const ReplyReader::Status s = reader_.Take(reply);
    if (s == ReplyReader::Status::Complete) return true;
    const uint64_t spent = GetTickCount() - start;
    if (s == ReplyReader::Status::TooLong || !tcp_.IsOpen() || spent >= budgetMs) break;
    chunk.clear();
    if (tcp_.Receive(chunk, 8192, static_cast<uint32_t>(budgetMs - spent)) != TcpConnection::Got::Data) break;
    reader_.Feed(chunk);
  }
  Close();
  return false;
}

bool ReplyChannel::Ask(std::string_view command, ServerReply& reply, uint32_t timeoutMs) {
  return Send(command) && Read(reply, timeoutMs);
}

void ReplyChannel::Close() {
  tcp_.Close();
  reader_.Clear();
}

}  // namespace kes
