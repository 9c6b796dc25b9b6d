// Any bytes taken as what a server sends on an FTP control connection (or in
// an SMTP dialogue): the reply reader gives the same replies whether the
// bytes come at once or in pieces of a size taken from the input, never
// holds a line longer than its limit, and every reply has at least one line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "net/server_reply.h"

namespace {

struct Outcome {
  std::vector<std::vector<std::string>> replies;
  kes::ReplyReader::Status last = kes::ReplyReader::Status::NeedMore;
};

void Drain(kes::ReplyReader& r, Outcome& o) {
  for (;;) {
    kes::ServerReply reply;
    o.last = r.Take(reply);
    if (o.last != kes::ReplyReader::Status::Complete) return;
    if (reply.lines.empty()) std::abort();
    if (reply.code < 0 || reply.code > 999 || reply.code != kes::ReplyCode(reply.Last())) std::abort();
    for (const std::string& l : reply.lines)
      if (l.size() > kes::ReplyReader::kMaxLine || l.find('\n') != std::string::npos) std::abort();
    o.replies.push_back(reply.lines);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Repeat short inputs so that the line and reply limits are reached too.
  std::string in(reinterpret_cast<const char*>(data), size);
  if (size && data[0] == 'R') {
    const std::string once = in;
    while (in.size() < 3 * kes::ReplyReader::kMaxLine) in += once;
  }
  Outcome whole, pieces;
  kes::ReplyReader a, b;
  a.Feed(in);
  Drain(a, whole);
  const size_t step = size ? 1 + data[size - 1] % 97 : 1;
  for (size_t i = 0; i < in.size() && pieces.last != kes::ReplyReader::Status::TooLong; i += step) {
    b.Feed(std::string_view(in).substr(i, step));
    Drain(b, pieces);
  }
  if (whole.replies != pieces.replies || whole.last != pieces.last) std::abort();
  return 0;
}
