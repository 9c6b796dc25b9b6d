#include "net/server_reply.h"

#include <algorithm>

namespace kes {

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool HasReplyCode(std::string_view line) {
  return line.size() >= 3 && IsDigit(line[0]) && IsDigit(line[1]) && IsDigit(line[2]);
}

int ReplyCode(std::string_view line) {
  int code = 0;
  for (size_t i = 0; i < 3 && i < line.size() && IsDigit(line[i]); ++i) code = code * 10 + (line[i] - '0');
  return code;
}

void ReplyReader::Feed(std::string_view bytes) {
  // Drop what was read before appending, so the buffer never grows past
  // what is still unread.
  if (pos_ > 0 && (pos_ == buf_.size() || pos_ >= 65536)) {
    buf_.erase(0, pos_);
    scanned_ = scanned_ > pos_ ? scanned_ - pos_ : 0;
    pos_ = 0;
  }
  buf_.append(bytes.data(), bytes.size());
}

ReplyReader::Status ReplyReader::Take(ServerReply& reply) {
  for (;;) {
    const size_t lf = buf_.find('\n', std::max(pos_, scanned_));
    scanned_ = lf == std::string::npos ? buf_.size() : lf + 1;
    // the limit counts the characters of the line, not its CR LF
    if (lf == std::string::npos) return buf_.size() - pos_ > kMaxLine + 1 ? Status::TooLong : Status::NeedMore;
    size_t end = lf;
    if (end > pos_ && buf_[end - 1] == '\r') --end;
    if (end - pos_ > kMaxLine) return Status::TooLong;
    std::string line = buf_.substr(pos_, end - pos_);
    pos_ = lf + 1;
    partialBytes_ += line.size() + 2;
    if (partialBytes_ > kMaxReply) return Status::TooLong;
    // A first line without "-" is a whole reply.
    bool ends;
    if (partial_.lines.empty()) {
      ends = !(line.size() >= 4 && line[3] == '-');
    } else {
      ends = HasReplyCode(line) && !(line.size() >= 4 && line[3] == '-');
    }
    partial_.lines.push_back(std::move(line));
    if (!ends) continue;
    partial_.code = ReplyCode(partial_.lines.back());
    reply = std::move(partial_);
    partial_ = ServerReply();
    partialBytes_ = 0;
    return Status::Complete;
  }
}

void ReplyReader::Clear() {
  buf_.clear();
  pos_ = 0;
  scanned_ = 0;
  partial_ = ServerReply();
  partialBytes_ = 0;
}

}  // namespace kes
