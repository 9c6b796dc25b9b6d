// MAILSEND: one message by SMTP, as the MAIL... variables describe it; the
// MIME structure is built here. No TLS.
#include <windows.h>

#include "interp/commands.h"
#include "interp/log.h"
#include "interp/workfile.h"
#include "net/base64.h"
#include "net/mail_wire.h"
#include "net/reply_channel.h"
#include "sysadmin/fileops.h"

namespace kes {

namespace {

constexpr uint16_t kSmtpPort = 25;
constexpr uint32_t kSmtpTimeoutMs = 60000;
// The attachment is read and sent in pieces of whole 57-byte blocks.
constexpr size_t kAttachmentPiece = kMailBlock * 4096;
constexpr size_t kSendPiece = 256 * 1024;

MailParameters ReadMailVariables(Interp& in) {
  auto v = [&](const char* word) { return GetVariable(in, std::string("MAIL") + word); };
  return MailParametersFrom(v("TYPE"), v("FROM"), v("TO"), v("SUBJECT"), v("BODY"), v("ACCOUNT"), v("PASSWORD"),
                            v("JOIN"), v("SERVER"));
}

// The SMTP dialogue: every step sends a line and expects a reply code.
class Dialogue {
 public:
  explicit Dialogue(ReplyChannel& smtp) : smtp_(smtp) {}
  // Reads a reply; true when its code is `code`. Otherwise the reply line is
  // kept for the report.
  bool Expect(int code) {
    ServerReply r;
    if (!smtp_.Read(r, kSmtpTimeoutMs)) return false;
    last_ = r.Last();
    if (r.code == code) return true;
    failedLine_ = last_;
    return false;
  }
  bool Step(std::string_view line, int code) { return smtp_.Send(line) && Expect(code); }
  // AUTH LOGIN: only a server that answers 334 gets the account.
  bool Authenticate(const MailParameters& p) {
    ServerReply r;
    if (!smtp_.Ask("AUTH LOGIN", r, kSmtpTimeoutMs)) return false;
    if (r.code != 334) return true;
    return Step(Base64Encode(p.account), 334) && Step(Base64Encode(p.password), 235);
  }
  // Collects message bytes and sends them in large pieces.
  bool Put(std::string_view bytes) {
    pending_.append(bytes.data(), bytes.size());
    return pending_.size() < kSendPiece || Flush();
  }
  bool Flush() {
    const bool ok = smtp_.SendRaw(pending_);
    pending_.clear();
    return ok;
  }
  const std::string& LastLine() const { return last_; }
  const std::string& FailedLine() const { return failedLine_; }

 private:
  ReplyChannel& smtp_;
  std::string last_, failedLine_;
  std::string pending_;
};

// The attachment in lines of 76 Base64 characters: whole 57-byte blocks as
// they are read, the shorter last block at the end of the file.
bool PutAttachment(Dialogue& d, FileReader& file) {
  std::string data, lines;
  for (;;) {
    const size_t before = data.size();
    if (!file.Read(data, kAttachmentPiece)) return false;
    const bool end = data.size() == before;
    const size_t whole = end ? data.size() : data.size() / kMailBlock * kMailBlock;
    lines.clear();
    AppendBase64Lines(lines, std::string_view(data).substr(0, whole));
    data.erase(0, whole);
    if (!d.Put(lines)) return false;
    if (end) return true;
  }
}

std::string BoundaryNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return MailBoundary(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

}  // namespace

// MAILSEND: 0 once the server has taken the message; 53 when the file to
// attach does not exist; 76 when the server cannot be reached; 1 when a reply
// does not carry the expected code (that reply line is what the log records).
void CmdMailSend(Interp& in, Ctx&) {
  const MailParameters p = ReadMailVariables(in);
  FileReader attachment;
  if (!p.join.empty()) {
    if (!FileExists(p.join)) {
      in.err.code = kErrNotFound;
      return;
    }
    if (const int e = attachment.Open(p.join)) {
      in.err.code = e;
      return;
    }
  }
  PumpMessages();
  const std::string helo = "HELO " + LocalHostName();
  ReplyChannel smtp;
  if (smtp.Open(p.server, kSmtpPort, kSmtpTimeoutMs) != 0) {
    in.err.code = kErrNotReachable;
    return;
  }
  Dialogue d(smtp);
  bool ok = d.Expect(220) && d.Step(helo, 250);
  if (ok && !p.account.empty()) ok = d.Authenticate(p);
  ok = ok && d.Step("MAIL FROM: <" + p.from + ">", 250);
  if (ok) {
    for (const std::string& to : MailRecipients(p.to)) {
      ok = d.Step("RCPT TO: <" + to + ">", 250);
      if (!ok) break;
    }
  }
  ok = ok && d.Step("DATA", 354);
  if (ok) {
    const std::string marker = MailEndOfData(d.LastLine());
    const std::string boundary = BoundaryNow();
    ok = d.Put(MailHead(p, boundary)) && d.Put(MailBody(p.body, p.Html()));
    if (ok && !p.join.empty()) ok = d.Put(MailAttachmentHead(boundary, NamePart(p.join), in.sep.quote));
    if (ok && !p.join.empty() && !PutAttachment(d, attachment)) {
      // The file could not be read to its end: the message is dropped (no
      // end-of-data marker is sent).
      smtp.Close();
      in.err.code = kErrNotAccessible;
      return;
    }
    if (ok && p.Multipart()) ok = d.Put(MailClosing(boundary));
    ok = ok && d.Put(marker + "\r\n") && d.Flush() && d.Expect(250);
  }
  if (ok) {
    smtp.Send("QUIT");
  } else if (in.err.code == 0) {
    in.err.code = kErrUsage;
    if (!d.FailedLine().empty()) {
      in.line.noLog = true;
      WriteLog(in, d.FailedLine());
    }
  }
  smtp.Close();
}

}  // namespace kes
