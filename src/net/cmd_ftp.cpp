// FTPOPEN, FTPCLOSE, FTPSERVER, FTPGET, FTPPUT, FTPDIR, FTPLIST: the FTP
// client. Passive mode only; files move in binary (TYPE I). Without FTPOPEN
// every command logs in before and quits after.
#include "interp/args.h"
#include "interp/commands.h"
#include "interp/workfile.h"
#include "net/ftp_wire.h"
#include "net/reply_channel.h"
#include "net/tcp.h"
#include "sysadmin/fileops.h"

namespace kes {

namespace {

constexpr uint16_t kFtpPort = 21;
constexpr uint32_t kDataTimeoutMs = 60000;
// Data moves in pieces of this size: under Wine every receive or send is a
// round trip to the Wine server, so small pieces cost most of the time.
constexpr size_t kPiece = 256 * 1024;
// A listing larger than this is not held in memory.
constexpr size_t kMaxListing = 64u * 1024u * 1024u;

// Logs in with the server record; false when the connection, the greeting
// (220 on every line that carries a code) or the final reply (230) fails.
bool Login(FtpState& f) {
  f.Control().Close();
  f.host = f.server;
  if (f.Control().Open(f.host, kFtpPort, f.timeoutMs) != 0) return false;
  ServerReply r;
  bool ok = f.Control().Read(r, f.timeoutMs);
  for (size_t i = 0; ok && i < r.lines.size(); ++i)
    if (HasReplyCode(r.lines[i]) && ReplyCode(r.lines[i]) != 220) ok = false;
  ok = ok && f.Control().Ask("USER " + f.user, r, f.timeoutMs);
  if (ok && r.code == 331) ok = f.Control().Ask("PASS " + f.password, r, f.timeoutMs);
  if (ok && r.code == 230) return true;
  f.Control().Close();
  return false;
}

void Quit(FtpState& f) {
  ServerReply r;
  if (f.Control().IsOpen()) f.Control().Ask("QUIT", r, f.timeoutMs);
  f.Control().Close();
}

// PASV, the data connection to the control host (the address of the reply is
// not used), the folder change, TYPE I and the command: 0, 5 no data
// connection, 76 no such folder, 55 command refused.
int OpenData(FtpState& f, std::string_view word, std::string_view path, TcpConnection& data) {
  ServerReply r;
  uint16_t port = 0;
  if (!f.Control().Ask("PASV", r, f.timeoutMs) || r.code != 227 || !PassivePort(r.Last(), port)) return kErrRefused;
  if (data.Open(f.host, port, kDataTimeoutMs) != 0) return kErrRefused;
  std::string name(path);
  RemoteSplit s = SplitRemotePath(path, '\\');
  if (s.found) {
    // "folder\name" first; when the server refuses that folder, "folder/name"
    if (!f.Control().Ask("CWD " + s.folder, r, f.timeoutMs)) return kErrNotReachable;
    if (r.code != 250) {
      s = SplitRemotePath(path, '/');
      if (!s.found || !f.Control().Ask("CWD " + s.folder, r, f.timeoutMs) || r.code != 250) return kErrNotReachable;
    }
    name = s.name;
  }
  f.Control().Ask("TYPE I", r, f.timeoutMs);  // the reply is not checked
  if (!f.Control().Ask(std::string(word) + " " + name, r, f.timeoutMs) || (r.code != 150 && r.code != 125))
    return kErrFtpRefused;
  return 0;
}

// The server's reply once the data connection has ended: 226 (250 from some
// servers) when the transfer is complete. Reading it here keeps a control
// connection that stays open in step with the next command.
bool TransferCompleted(FtpState& f) {
  ServerReply r;
  return f.Control().Read(r, f.timeoutMs) && (r.code == 226 || r.code == 250);
}

// Receives a data connection to its end: true when the server closed it;
// false when it broke, stalled for the data time-out, or `sink` refused a
// piece. The connection is closed (with a reset when broken off).
template <typename Sink>
bool ReceiveAll(TcpConnection& data, Sink sink) {
  std::string piece;
  for (;;) {
    piece.clear();
    const TcpConnection::Got g = data.Receive(piece, kPiece, kDataTimeoutMs);
    if (g == TcpConnection::Got::Closed) {
      data.Close();
      return true;
    }
    if (g != TcpConnection::Got::Data || !sink(piece)) {
      data.Abort();
      return false;
    }
  }
}

// FTPGET: the local file is deleted first; the download arrives in a work
// file beside it, which takes its name only once the server has confirmed
// the whole transfer. After a failure there is no local file, and never a
// partial one.
int Get(FtpState& f, const std::string& remote, const std::string& local) {
  WorkFileWriter file;
  if (local.empty() || CheckUsablePath(local) != 0 || file.Open(local) != 0) return kErrLocalFile;
  file.DeleteTarget();
  TcpConnection data;
  if (const int e = OpenData(f, "RETR", remote, data)) return e;
  bool written = true;
  const bool received = ReceiveAll(data, [&](const std::string& piece) { return written = file.Write(piece); });
  const bool completed = TransferCompleted(f);
  if (!written) return kErrLocalFile;
  if (!received || !completed) return kErrTransferInterrupted;
  return file.Commit() == 0 ? 0 : kErrLocalFile;
}

// FTPPUT: 53 missing file, 52 unreadable, 67 when the upload breaks off or
// the server does not confirm it.
int Put(FtpState& f, const std::string& local, const std::string& remote) {
  if (local.empty() || !FileExists(local)) return kErrNotFound;
  FileReader file;
  if (CheckUsablePath(local) != 0 || file.Open(local) != 0) return kErrLocalFile;
  TcpConnection data;
  if (const int e = OpenData(f, "STOR", remote, data)) return e;
  std::string piece;
  bool sent = true;
  for (;;) {
    piece.clear();
    if (!file.Read(piece, kPiece) || (!piece.empty() && !data.Send(piece, kDataTimeoutMs))) {
      sent = false;
      break;
    }
    if (piece.empty()) break;
  }
  if (sent) {
    data.Close();
  } else {
    data.Abort();
  }
  const bool completed = TransferCompleted(f);
  return sent && completed ? 0 : kErrUploadInterrupted;
}

// The listing of a remote path (LIST) as one text.
int Listing(FtpState& f, const std::string& path, std::string& text) {
  TcpConnection data;
  if (const int e = OpenData(f, "LIST", path, data)) return e;
  const bool received = ReceiveAll(data, [&](const std::string& piece) {
    if (text.size() + piece.size() > kMaxListing) return false;
    text += piece;
    return true;
  });
  const bool completed = TransferCompleted(f);
  return received && completed ? 0 : kErrTransferInterrupted;
}

// The first name (and the second) of a transfer command.
void Names(const Interp& in, std::string& first, std::string& second) {
  TransferNames(Trim(in.line.args), in.Sep(), in.sep.quote, first, second);
}

void FillList(Interp& in, SysList id, std::vector<std::string> entries) {
  auto& list = in.vars.Sys(id);
  list = std::move(entries);
  in.line.result = IntText(static_cast<int64_t>(list.size()));
  in.line.secondResult = true;
}

}  // namespace

ReplyChannel& FtpState::Control() {
  if (!control) control = {new ReplyChannel, [](ReplyChannel* c) { delete c; }};
  return *control;
}

// FTPOPEN: logs in (unless logged in already) and keeps the connection open
// for the commands that follow, up to FTPCLOSE.
void CmdFtpOpen(Interp& in, Ctx&) {
  FtpState& f = in.ftp;
  f.keepOpen = true;
  if (!f.Control().IsOpen() && !Login(f)) in.err.code = kErrNotReachable;
}

// FTPCLOSE: quits the open connection.
void CmdFtpClose(Interp& in, Ctx&) {
  FtpState& f = in.ftp;
  f.keepOpen = false;
  if (f.Control().IsOpen()) Quit(f);
}

// FTPSERVER server, user, password; FTPGET remote local; FTPPUT local remote;
// FTPDIR path; FTPLIST path. Each logs in first when no connection is open,
// and quits at the end unless FTPOPEN keeps the connection.
void CmdFtp(Interp& in, Ctx& c) {
  FtpState& f = in.ftp;
  const FtpWord word = c.Word<FtpWord>();
  if (word == FtpWord::Server) {
    f.server = FieldUnquoted(in, 1);
    f.user = FieldUnquoted(in, 2);
    f.password = FieldUnquoted(in, 3);
  } else if (word == FtpWord::Dir || word == FtpWord::List) {
    FillList(in, word == FtpWord::Dir ? SysList::FTPDIR : SysList::FTPLIST, {});
  }
  if (!f.Control().IsOpen() && !Login(f)) {
    in.err.code = kErrNotReachable;
    return;
  }
  std::string first, second, text;
  switch (word) {
    case FtpWord::Server:
      break;
    case FtpWord::Get:
      Names(in, first, second);
      in.err.code = Get(f, first, second);
      break;
    case FtpWord::Put:
      Names(in, first, second);
      in.err.code = Put(f, first, second);
      break;
    case FtpWord::Dir: {
      Names(in, first, second);
      const DirRequest r = DirRequestOf(first);
      in.err.code = Listing(f, r.folder, text);
      if (in.err.code == 0) FillList(in, SysList::FTPDIR, DirNames(text, r));
      break;
    }
    case FtpWord::List:
      Names(in, first, second);
      in.err.code = Listing(f, first, text);
      if (in.err.code == 0) FillList(in, SysList::FTPLIST, ListLines(text));
      break;
  }
  if (!f.keepOpen) Quit(f);
}

}  // namespace kes
