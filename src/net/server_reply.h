// The numbered replies of FTP and SMTP servers, cut out of the bytes a
// control connection receives. A reply is one line "ddd text", or several
// lines when the first has "-" as its fourth character ("ddd-text"): it then
// ends at the first line that begins with a three-digit code not followed by
// "-". Lines that do not begin with a code (the free text some servers put
// inside a long reply) never end it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kes {

// The number formed by the leading digits of the first three characters of
// a reply line ("250 OK" is 250, "25x" is 25); 0 when it has none.
int ReplyCode(std::string_view line);
// True when the line begins with three digits.
bool HasReplyCode(std::string_view line);

struct ServerReply {
  std::vector<std::string> lines;  // without their CR LF
  int code = 0;                    // the code of the last line
  const std::string& Last() const { return lines.back(); }
};

class ReplyReader {
 public:
  // A reply line longer than this, or a reply longer than kMaxReply, is
  // refused rather than collected without end.
  static constexpr size_t kMaxLine = 8192;
  static constexpr size_t kMaxReply = 65536;

  enum class Status { Complete, NeedMore, TooLong };
  // Appends received bytes.
  void Feed(std::string_view bytes);
  // Takes the next complete reply out of the bytes received; the bytes after
  // it stay for the next call. NeedMore: the reply is not complete yet (the
  // lines read so far are kept). TooLong: a line or the reply passed its
  // limit; the reader must be cleared before it is used again.
  Status Take(ServerReply& reply);
  void Clear();
  // True when no byte is waiting and no reply is begun.
  bool Idle() const { return pos_ == buf_.size() && partial_.lines.empty(); }

 private:
  std::string buf_;
  size_t pos_ = 0;      // the first byte not read yet
  size_t scanned_ = 0;  // bytes before this hold no line end past pos_
  ServerReply partial_;
  size_t partialBytes_ = 0;
};

}  // namespace kes
