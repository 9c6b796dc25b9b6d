// Any bytes taken as a passive-mode reply, a listing and the arguments of a
// transfer command: the port is 1 to 65,535 and agrees with the two last
// numbers between the parentheses; the listing and path parsers stay inside
// their buffers (the sanitizers watch) and keep their promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/ftp_wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  uint16_t port = 0;
  if (kes::PassivePort(in, port)) {
    if (port == 0) std::abort();
    // The same numbers written again give the same port.
    const std::string again = "227 x (1,2,3,4," + std::to_string(port / 256) + "," + std::to_string(port % 256) + ")";
    uint16_t back = 0;
    if (!kes::PassivePort(again, back) || back != port) std::abort();
  }
  const kes::DirRequest r = kes::DirRequestOf(in);
  for (const std::string& name : kes::DirNames(in, r))
    if (name.empty() || name.find("\r\n") != std::string::npos) std::abort();
  size_t pieces = 0, bytes = 0;
  for (const std::string& line : kes::ListLines(in)) {
    ++pieces;
    bytes += line.size();
  }
  if (bytes + 2 * (pieces - 1) != in.size()) std::abort();
  std::string a, b;
  kes::TransferNames(in, ",", "\"", a, b);
  if (a.size() > in.size() || b.size() > in.size()) std::abort();
  for (char at : {'\\', '/'}) {
    const kes::RemoteSplit s = kes::SplitRemotePath(in, at);
    if (s.name.size() > in.size() || s.folder.size() > in.size()) std::abort();
  }
  return 0;
}
