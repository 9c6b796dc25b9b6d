#include "net/ftp_wire.h"

#include <gtest/gtest.h>

#include <string>

#include "net/server_reply.h"

namespace kes {
namespace {

std::vector<std::string> Replies(ReplyReader& r, ReplyReader::Status* last = nullptr) {
  std::vector<std::string> out;
  ServerReply reply;
  ReplyReader::Status s;
  while ((s = r.Take(reply)) == ReplyReader::Status::Complete) {
    std::string joined = std::to_string(reply.code) + ":";
    for (const std::string& l : reply.lines) joined += "[" + l + "]";
    out.push_back(joined);
  }
  if (last) *last = s;
  return out;
}

TEST(ServerReply, SingleAndMultiLineReplies) {
  ReplyReader r;
  r.Feed("220 ready\r\n230-Welcome\r\n230-to the\r\n230 server\r\n");
  EXPECT_EQ(Replies(r), (std::vector<std::string>{"220:[220 ready]", "230:[230-Welcome][230-to the][230 server]"}));
  EXPECT_TRUE(r.Idle());
  // free text inside a long reply does not end it; a bare LF ends a line too
  r.Feed("211-Features:\r\n EPRT\nabc\r\n211 End\r\n");
  EXPECT_EQ(Replies(r), (std::vector<std::string>{"211:[211-Features:][ EPRT][abc][211 End]"}));
  // any code without "-" ends a reply begun with another code
  r.Feed("220-hello\r\n421 going away\r\n");
  EXPECT_EQ(Replies(r), (std::vector<std::string>{"421:[220-hello][421 going away]"}));
  EXPECT_EQ(ReplyCode("25x"), 25);
  EXPECT_EQ(ReplyCode("x250"), 0);
  EXPECT_TRUE(HasReplyCode("123"));
  EXPECT_FALSE(HasReplyCode("12 3"));
}

TEST(ServerReply, PiecesAndWhatFollows) {
  ReplyReader r;
  ReplyReader::Status s;
  r.Feed("150 Opening (12");
  EXPECT_TRUE(Replies(r, &s).empty());
  EXPECT_EQ(s, ReplyReader::Status::NeedMore);
  r.Feed("34 bytes)\r\n22");
  EXPECT_EQ(Replies(r), (std::vector<std::string>{"150:[150 Opening (1234 bytes)]"}));
  EXPECT_FALSE(r.Idle());
  r.Feed("6 done\r\n");
  EXPECT_EQ(Replies(r), (std::vector<std::string>{"226:[226 done]"}));
}

TEST(ServerReply, LimitsEndAReplyInsteadOfWaiting) {
  ReplyReader r;
  ReplyReader::Status s;
  r.Feed("220 " + std::string(ReplyReader::kMaxLine, 'x'));
  EXPECT_TRUE(Replies(r, &s).empty());
  EXPECT_EQ(s, ReplyReader::Status::TooLong);
  r.Clear();
  // a line that fits passes; the one past the limit is refused even with its end
  r.Feed("220 " + std::string(ReplyReader::kMaxLine - 4, 'x') + "\r\n");
  EXPECT_EQ(Replies(r).size(), 1u);
  r.Feed("220 " + std::string(ReplyReader::kMaxLine, 'x') + "\r\n");
  Replies(r, &s);
  EXPECT_EQ(s, ReplyReader::Status::TooLong);
  r.Clear();
  // a reply that never ends is refused once it passes kMaxReply
  std::string endless;
  while (endless.size() <= ReplyReader::kMaxReply) endless += "230-more and more\r\n";
  r.Feed(endless);
  Replies(r, &s);
  EXPECT_EQ(s, ReplyReader::Status::TooLong);
}

TEST(FtpWire, PassivePort) {
  uint16_t port = 0;
  EXPECT_TRUE(PassivePort("227 Entering Passive Mode (127,0,0,1,195,80).", port));
  EXPECT_EQ(port, 195 * 256 + 80);
  // the address fields are not looked at
  EXPECT_TRUE(PassivePort("227 =(0,0,0,0, 4 ,1)", port));
  EXPECT_EQ(port, 1025);
  EXPECT_FALSE(PassivePort("227 Entering Passive Mode 127,0,0,1,195,80", port));
  EXPECT_FALSE(PassivePort("227 (127,0,0,1,195)", port));
  EXPECT_FALSE(PassivePort("227 (127,0,0,1,256,1)", port));
  EXPECT_FALSE(PassivePort("227 (127,0,0,1,0,0)", port));
  EXPECT_FALSE(PassivePort("227 (127,0,0,1,-1,80)", port));
  EXPECT_FALSE(PassivePort("227 (a,b,c,d,e,f)", port));
}

TEST(FtpWire, TransferNames) {
  std::string a, b;
  TransferNames("remote.txt C:\\local.txt", ",", "\"", a, b);
  EXPECT_EQ(a, "remote.txt");
  EXPECT_EQ(b, "C:\\local.txt");
  TransferNames("remote.txt,local.txt,extra", ",", "\"", a, b);
  EXPECT_EQ(a, "remote.txt");
  EXPECT_EQ(b, "local.txt");
  // names with blanks are quoted; the text outside the quotes does not count
  TransferNames("\"my file.txt\" , \"C:\\my dir\\f.txt\"", ",", "\"", a, b);
  EXPECT_EQ(a, "my file.txt");
  EXPECT_EQ(b, "C:\\my dir\\f.txt");
  TransferNames("\"only one\" second", ",", "\"", a, b);
  EXPECT_EQ(a, "only one");
  EXPECT_EQ(b, "");
  // every blank is a separator: two blanks leave the second field empty
  TransferNames("a  b", ",", "\"", a, b);
  EXPECT_EQ(a, "a");
  EXPECT_EQ(b, "");
  TransferNames("a;b", ";", "'", a, b);
  EXPECT_EQ(b, "b");
}

TEST(FtpWire, RemotePathSplit) {
  RemoteSplit s = SplitRemotePath("pub\\sub/file.txt", '\\');
  EXPECT_TRUE(s.found);
  EXPECT_EQ(s.folder, "pub");
  EXPECT_EQ(s.name, "sub/file.txt");
  s = SplitRemotePath(" pub\\sub /file.txt", '/');
  EXPECT_EQ(s.folder, "pub\\sub");
  EXPECT_EQ(s.name, "file.txt");
  s = SplitRemotePath("file.txt", '\\');
  EXPECT_FALSE(s.found);
  EXPECT_EQ(s.name, "file.txt");
}

const char kListing[] =
    "drwxr-xr-x   2 root     root         4096 Jan 01 12:00 .\r\n"
    "drwxr-xr-x   2 root     root         4096 Jan 01 12:00 ..\r\n"
    "drwxr-xr-x   2 root     root         4096 Jan 01 12:00 Sub Folder\r\n"
    "-rw-r--r--   1 root     root            5 Jan 01 12:00 a.txt\r\n"
    "-rw-r--r--   1 root     root            5 Jan 01 12:00 B.TXT\r\n"
    "-rw-r--r--   1 root     root            5 Jan 01 12:00 c.bin\r\n"
    "total 3\r\n";

TEST(FtpWire, DirNamesFromColumn56) {
  DirRequest r = DirRequestOf("pub/*.txt");
  EXPECT_EQ(r.folder, "pub");
  EXPECT_EQ(r.pattern, "*.txt");
  EXPECT_FALSE(r.folders);
  EXPECT_EQ(DirNames(kListing, r), (std::vector<std::string>{"a.txt", "B.TXT"}));
  r = DirRequestOf("pub\\x\\");
  EXPECT_EQ(r.folder, "pub\\x");
  EXPECT_TRUE(r.folders);
  EXPECT_EQ(DirNames(kListing, r), (std::vector<std::string>{"Sub Folder"}));
  // the last "\" cuts even when "/" ends the path: the pattern is "x/"
  r = DirRequestOf("pub\\x/");
  EXPECT_EQ(r.folder, "pub");
  EXPECT_EQ(r.pattern, "x/");
  EXPECT_TRUE(r.folders);
  EXPECT_TRUE(DirNames(kListing, r).empty());
  r = DirRequestOf("*");
  EXPECT_EQ(r.folder, "");
  EXPECT_EQ(DirNames(kListing, r), (std::vector<std::string>{"a.txt", "B.TXT", "c.bin"}));
  r = DirRequestOf("/c.*");
  EXPECT_EQ(r.folder, "/");
  EXPECT_EQ(DirNames(kListing, r), (std::vector<std::string>{"c.bin"}));
}

TEST(FtpWire, ListLinesKeepEveryPiece) {
  EXPECT_EQ(ListLines("a\r\nb\r\n"), (std::vector<std::string>{"a", "b", ""}));
  EXPECT_EQ(ListLines("a\nb"), (std::vector<std::string>{"a\nb"}));
}

}  // namespace
}  // namespace kes
