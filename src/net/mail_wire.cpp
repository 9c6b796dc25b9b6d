#include "net/mail_wire.h"

#include <cstdio>

#include "interp/text.h"
#include "net/base64.h"

namespace kes {

namespace {
constexpr std::string_view kCrLf = "\r\n";

void Line(std::string& out, std::string_view text, std::string_view more = {}, std::string_view end = {}) {
  out.append(text.data(), text.size());
  out.append(more.data(), more.size());
  out.append(end.data(), end.size());
  out += kCrLf;
}
}  // namespace

bool MailParameters::Html() const { return Upper(type) == "HTML"; }

MailParameters MailParametersFrom(std::string_view type, std::string_view from, std::string_view to,
                                  std::string_view subject, std::string_view body, std::string_view account,
                                  std::string_view password, std::string_view join, std::string_view server) {
  MailParameters p;
  p.type = Trim(type);
  p.from = Trim(from);
  p.to = Trim(to);
  p.subject.assign(subject);
  p.body.assign(body);
  p.account = Trim(account);
  p.password = Trim(password);
  std::string j(join);
  RemoveChar(j, '"');
  p.join = Trim(j);
  p.server.assign(server);
  return p;
}

std::string MailBoundary(int year, int month, int day, int hour, int minute, int second) {
  char b[40];
  std::snprintf(b, sizeof b, ".%02d%02d%04d.%02d%02d%02d.", month, day, year, hour, minute, second);
  return b;
}

std::vector<std::string> MailRecipients(std::string_view to) { return SplitPlain(to, ";"); }

std::string MailEndOfData(std::string_view dataReply) {
  return Upper(dataReply).find("CR") != std::string::npos ? "\r\n.\r\n" : ".";
}

std::string MailHead(const MailParameters& p, std::string_view boundary) {
  std::string out;
  Line(out, "FROM: ", p.from);
  Line(out, "TO: ", p.to);
  Line(out, "SUBJECT: ", p.subject);
  if (p.Multipart()) {
    Line(out, "MIME-VERSION: 1.0");
    Line(out, "Content-TYPE: multipart/mixed;");
    Line(out, "\tboundary=\"", boundary, "\"");
    Line(out, "");
    Line(out, "--", boundary);
    Line(out, p.Html() ? "Content-TYPE: TEXT/html;charset=\"Windows-1252\""
                       : "Content-TYPE: TEXT/plain;charset=\"iso-8859-1\"");
    Line(out, p.Html() ? "Content-Transfer-Encoding: quoted-printable" : "Content-Transfer-Encoding: 8bit");
  }
  Line(out, "");
  return out;
}

std::string MailBody(std::string_view body, bool html) {
  std::string out;
  out.reserve(body.size() + body.size() / 16 + 8);
  std::string line;
  auto flush = [&] {
    if (!line.empty() && line[0] == '.') out += '.';
    Line(out, line);
    line.clear();
  };
  for (size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (c == '\r') {
      // CR LF and a lone CR end a line; so does a lone LF, so that every
      // line sent ends with CR LF and none can pass for the end of the data.
      if (i + 1 < body.size() && body[i + 1] == '\n') ++i;
      flush();
    } else if (c == '\n') {
      flush();
    } else if (c == '=' && html) {
      line += "=3D";
    } else {
      line += c;
    }
  }
  flush();
  return out;
}

std::string MailAttachmentHead(std::string_view boundary, std::string_view fileName, std::string_view quote) {
  std::string out;
  Line(out, "");
  Line(out, "--", boundary);
  Line(out, "Content-TYPE: application/x-msdownload;");
  Line(out, "\tNAME=\"", fileName, quote);
  Line(out, "Content-Transfer-Encoding: base64");
  Line(out, "Content-Disposition: attachment;");
  Line(out, "\tFILENAME=\"", fileName, quote);
  Line(out, "");
  Line(out, "");
  return out;
}

void AppendBase64Lines(std::string& out, std::string_view bytes) {
  for (size_t i = 0; i < bytes.size(); i += kMailBlock) Line(out, Base64Encode(bytes.substr(i, kMailBlock)));
}

std::string MailClosing(std::string_view boundary) {
  std::string out;
  Line(out, "");
  Line(out, "--", boundary, "--");
  Line(out, "");
  return out;
}

}  // namespace kes
