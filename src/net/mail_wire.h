// The mail sender's texts, free of any system call: the parameters as the
// MAIL... variables give them, the recipients, the end-of-data marker, and
// the message itself, line by line as it goes on the wire (CR LF after every
// line).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kes {

// The parameters of one message, after their treatment: MAILTYPE, MAILFROM,
// MAILTO, MAILACCOUNT and MAILPASSWORD trimmed, MAILJOIN trimmed without its
// double quotes, the others as they are.
struct MailParameters {
  std::string type, from, to, subject, body, account, password, join, server;
  bool Html() const;
  // multipart/mixed when a file is attached or the body is HTML; otherwise
  // the message has no MIME headers at all
  bool Multipart() const { return !join.empty() || Html(); }
};
MailParameters MailParametersFrom(std::string_view type, std::string_view from, std::string_view to,
                                  std::string_view subject, std::string_view body, std::string_view account,
                                  std::string_view password, std::string_view join, std::string_view server);

// "." + mmddyyyy + "." + hhmmss + ".", e.g. ".12062026.184512.".
std::string MailBoundary(int year, int month, int day, int hour, int minute, int second);
// MAILTO cut at each ";", every piece as it is.
std::vector<std::string> MailRecipients(std::string_view to);
// The end-of-data marker for the reply to DATA: CR LF "." CR LF when the
// reply, upper-cased, holds "CR", else "." alone (the line end follows it
// like every line).
std::string MailEndOfData(std::string_view dataReply);

// The header block: FROM, TO, SUBJECT, the MIME headers of a multipart
// message, and the empty line that ends the block.
std::string MailHead(const MailParameters& p, std::string_view boundary);
// The body: line by line, HTML "=" written "=3D", a line that begins with
// "." sent with one more "." in front.
std::string MailBody(std::string_view body, bool html);
// The part headers of an attachment, up to the empty lines before its data.
std::string MailAttachmentHead(std::string_view boundary, std::string_view fileName, std::string_view quote);
// Base64 lines of an attachment: each block of 57 bytes is one line of 76
// characters; the last block may be shorter (padded with "=").
inline constexpr size_t kMailBlock = 57;
void AppendBase64Lines(std::string& out, std::string_view bytes);
// The end of a multipart message: an empty line, the closing boundary, an
// empty line.
std::string MailClosing(std::string_view boundary);

}  // namespace kes
