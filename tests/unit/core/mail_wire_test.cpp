#include "net/mail_wire.h"

#include <gtest/gtest.h>

#include <string>

namespace kes {
namespace {

TEST(MailWire, ParametersAsTheVariablesGiveThem) {
  const MailParameters p = MailParametersFrom(" html ", " a@x ", " b@y;c@z ", " Subj ", " body ", " acc ", " pw ",
                                              " \"C:\\my dir\\f.txt\" ", " server ");
  EXPECT_TRUE(p.Html());
  EXPECT_TRUE(p.Multipart());
  EXPECT_EQ(p.from, "a@x");
  EXPECT_EQ(p.to, "b@y;c@z");
  EXPECT_EQ(p.subject, " Subj ");
  EXPECT_EQ(p.body, " body ");
  EXPECT_EQ(p.account, "acc");
  EXPECT_EQ(p.password, "pw");
  EXPECT_EQ(p.join, "C:\\my dir\\f.txt");
  EXPECT_EQ(p.server, " server ");
  EXPECT_FALSE(MailParametersFrom("text", "", "", "", "", "", "", "", "").Multipart());
  EXPECT_TRUE(MailParametersFrom("", "", "", "", "", "", "", "f", "").Multipart());
}

TEST(MailWire, BoundaryRecipientsAndMarker) {
  EXPECT_EQ(MailBoundary(2026, 12, 6, 18, 45, 12), ".12062026.184512.");
  EXPECT_EQ(MailBoundary(2026, 1, 2, 3, 4, 5), ".01022026.030405.");
  EXPECT_EQ(MailRecipients("a@x;b@y"), (std::vector<std::string>{"a@x", "b@y"}));
  EXPECT_EQ(MailEndOfData("354 End data with <CR><LF>.<CR><LF>"), "\r\n.\r\n");
  EXPECT_EQ(MailEndOfData("354 end with <cr><lf>"), "\r\n.\r\n");
  EXPECT_EQ(MailEndOfData("354 Start mail input; end with ."), ".");
}

TEST(MailWire, PlainHeadHasNoMimeHeaders) {
  const MailParameters p = MailParametersFrom("", "a@x", "b@y", "Hi", "", "", "", "", "");
  EXPECT_EQ(MailHead(p, ".b."), "FROM: a@x\r\nTO: b@y\r\nSUBJECT: Hi\r\n\r\n");
}

TEST(MailWire, MultipartHeadExactCase) {
  MailParameters p = MailParametersFrom("HTML", "a@x", "b@y", "Hi", "", "", "", "", "");
  EXPECT_EQ(MailHead(p, ".12062026.184512."),
            "FROM: a@x\r\nTO: b@y\r\nSUBJECT: Hi\r\nMIME-VERSION: 1.0\r\nContent-TYPE: multipart/mixed;\r\n"
            "\tboundary=\".12062026.184512.\"\r\n\r\n--.12062026.184512.\r\n"
            "Content-TYPE: TEXT/html;charset=\"Windows-1252\"\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n");
  p = MailParametersFrom("", "a@x", "b@y", "Hi", "", "", "", "f.bin", "");
  EXPECT_EQ(MailHead(p, ".b."),
            "FROM: a@x\r\nTO: b@y\r\nSUBJECT: Hi\r\nMIME-VERSION: 1.0\r\nContent-TYPE: multipart/mixed;\r\n"
            "\tboundary=\".b.\"\r\n\r\n--.b.\r\n"
            "Content-TYPE: TEXT/plain;charset=\"iso-8859-1\"\r\nContent-Transfer-Encoding: 8bit\r\n\r\n");
}

TEST(MailWire, BodyLinesDotsAndEquals) {
  EXPECT_EQ(MailBody("one\r\n.two\r\nthree", false), "one\r\n..two\r\nthree\r\n");
  EXPECT_EQ(MailBody("a=b\r\n", false), "a=b\r\n\r\n");
  EXPECT_EQ(MailBody("a=b\r\n", true), "a=3Db\r\n\r\n");
  EXPECT_EQ(MailBody("", false), "\r\n");
  // a lone CR or LF ends a line too, so "." after it is stuffed as well
  EXPECT_EQ(MailBody("x\r.\ny\n.", false), "x\r\n..\r\ny\r\n..\r\n");
}

TEST(MailWire, AttachmentInLinesOf76) {
  EXPECT_EQ(MailAttachmentHead(".b.", "f.bin", "\""),
            "\r\n--.b.\r\nContent-TYPE: application/x-msdownload;\r\n\tNAME=\"f.bin\"\r\n"
            "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment;\r\n\tFILENAME=\"f.bin\"\r\n\r\n\r\n");
  // the closing quote is the quote character
  EXPECT_EQ(MailAttachmentHead(".b.", "f", "'").find("\tNAME=\"f'\r\n") != std::string::npos, true);
  std::string lines;
  AppendBase64Lines(lines, std::string(100, 'x'));
  const size_t cut = lines.find("\r\n");
  EXPECT_EQ(cut, 76u);
  EXPECT_EQ(lines.size() - cut - 2, 60u + 2u);
  EXPECT_EQ(lines.substr(lines.size() - 3), "=\r\n");
  EXPECT_EQ(MailClosing(".b."), "\r\n--.b.--\r\n\r\n");
}

}  // namespace
}  // namespace kes
