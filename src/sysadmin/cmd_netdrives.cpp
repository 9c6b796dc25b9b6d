// Network connections: NET (USE, TIME), CONNECT, NETREQUEST, and NETLIST,
// the current connections written as the command lines that make them.
#include "interp/commands.h"
#include "sysadmin/netdrives.h"
#include "sysadmin/printers.h"

namespace kes {

// ---- NET USE local,remote[,user[,password]] [PERSISTENT|NOPERSISTENT]
//      NET USE name,/D    NET TIME server    CONNECT server[,user,password]

namespace {

void Connect(Interp& in) {
  const std::string first = FieldUnquoted(in, 1), second = FieldUnquoted(in, 2);
  if (Upper(first) == "OFF" || Upper(second) == "OFF") {
    const std::string& server = Upper(first) == "OFF" ? second : first;
    in.err.code = server.empty() ? kErrNotFound : DisconnectServer(server);
    return;
  }
  in.err.code = first.empty() ? kErrNotFound : ConnectServer(first, second, FieldUnquoted(in, 3));
}

}  // namespace

void CmdNet(Interp& in, Ctx& c) {
  if (c.Word<NetWord>() == NetWord::Connect) return Connect(in);
  const NetArgs a = ParseNetArgs(in.line.args);
  const std::string& sub = NetField(a, 1);
  if (sub == "USE") {
    const std::string& local = NetField(a, 2);
    const std::string& remote = NetField(a, 3);
    if (EqualsNoCase(remote, "/D")) {
      // An empty name would match every connection.
      in.err.code = local.empty() ? kErrNotFound : NetUseDisconnect(local);
      return;
    }
    in.err.code = NetUseConnect(local, remote, NetField(a, 4), NetField(a, 5), a.persistent);
  } else if (sub == "TIME") {
    std::string wouldSet;
    in.err.code = SetClockFromServer(in.mach.isNT, NetField(a, 2), wouldSet);
    if (!wouldSet.empty()) in.line.result = wouldSet;
  } else {
    in.err.code = kErrUsage;
  }
}

// ---- NETREQUEST \\server\share...  |  X:,>  |  X:

void CmdNetRequest(Interp& in, Ctx&) {
  const std::string first = FieldUnquoted(in, 1);
  if (StartsWith(first, "\\\\")) {
    in.line.result = DriveConnectedTo(first);
  } else if (IsDriveLetterName(first) && Field(in, 2) == ">") {
    in.line.result = NextFreeDrive(first);
  } else if (IsDriveLetterName(first)) {
    std::string remote;
    in.err.code = GetConnection(Upper(first), remote);
    in.line.result = remote;
  } else {
    in.err.code = kErrUsage;
  }
}

// ---- NETLIST

void CmdNetList(Interp& in, Ctx&) {
  std::vector<std::string>& list = in.vars.Sys(SysList::NETLIST);
  list.clear();
  std::string remote;
  for (char c = 'A'; c <= 'Z'; ++c) {
    const std::string drive{c, ':'};
    if (GetConnection(drive, remote) == 0 && !remote.empty()) list.push_back(NetUseLine(drive, remote));
  }
  for (char d = '1'; d <= '9'; ++d) {
    const std::string port = std::string("LPT") + d;
    if (GetConnection(port + ":", remote) == 0 && !remote.empty()) list.push_back(NetUseLine(port, remote));
  }
  std::vector<std::string> names;
  PrinterNames(kPrintersLocalAndConnections, FieldUnquoted(in, 2), names);
  for (const std::string& n : names)
    if (StartsWith(n, "\\\\")) list.push_back(PrinterLine(n));
  std::vector<PortEntry> ports;
  std::vector<PrinterEntry> printers;
  PortEntries(ports);
  PrinterEntries(printers);
  for (const PrinterEntry& p : printers) list.push_back(LocalPrinterLine(p, ports, in.Sep()));
  ProviderPrinterLines(in.Sep(), list);
  in.line.result = std::to_string(list.size());
  in.line.secondResult = true;
}

}  // namespace kes
