// Network connections through the Windows networking (WNet) interface and
// the spooler, the browse of the network neighbourhood, and the clock set
// from a server's time of day. Every function answers 0 or the failing
// call's code (a WNet, spooler or network management code).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sysadmin/nettext.h"

namespace kes {

// The remote name a local name ("X:", "LPT1:") is connected to, read with a
// buffer of bufferSize characters.
int32_t GetConnection(const std::string& local, std::string& remote, unsigned long bufferSize = 256);

// NET USE local,remote[,user[,password]]: connects unless the local name is
// already connected there; 52, 85 and 1201 count as success.
int32_t NetUseConnect(const std::string& local, const std::string& remote, const std::string& user,
                      const std::string& password, bool persistent);
// NET USE name /D: a printer connection, "*" (every drive and port), one
// drive or port, or every local name connected to a remote name.
int32_t NetUseDisconnect(const std::string& name);

// CONNECT server[,user,password]: a connection to "\\server" without a
// local name; CONNECT server,OFF cancels it (forced).
int32_t ConnectServer(const std::string& server, const std::string& user, const std::string& password);
int32_t DisconnectServer(const std::string& server);

// NETREQUEST: the first drive connected to a remote name that begins the
// UNC name; the first drive after `drive` that is neither in use nor
// connected; empty when none.
std::string DriveConnectedTo(const std::string& unc);
std::string NextFreeDrive(const std::string& drive);

// NETINFO RESOURCE: the connected resources, or every resource of the
// network with all, as depth-first paths. Answers the code of the top
// level's enumeration.
int32_t BrowseNetwork(bool all, std::vector<std::string>& paths);

// NET TIME: sets the clock (UTC) from the server's time of day through
// NetRemoteTOD ("NetApi32.dll") or, on Windows 95/98, NetRemoteTODA
// ("Radmin32.dll"). 53 when the library is missing. Under the test switch
// "time" a made-up time of day is used and `wouldSet` receives the clock
// setting instead of the clock being set.
int32_t SetClockFromServer(bool nt, const std::string& server, std::string& wouldSet);
// The time of day held by a TIME_OF_DAY_INFO record.
TimeOfDay TimeOfDayFromRecord(const void* timeOfDayInfo);

}  // namespace kes
