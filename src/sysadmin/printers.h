// Printers through the spooler, and the printers the network print
// provider has recorded in the registry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sysadmin/nettext.h"

namespace kes {

// The spooler's enumeration flags used by the commands.
inline constexpr uint32_t kPrintersLocalAndConnections = 6;
inline constexpr uint32_t kPrintersNetwork = 64;

// The names of the printers an enumeration (flags, name to browse; empty:
// none) lists; 0 or the spooler's code.
int32_t PrinterNames(uint32_t flags, const std::string& name, std::vector<std::string>& names);
// The local printers and connections with their ports and attributes.
int32_t PrinterEntries(std::vector<PrinterEntry>& printers);
// The ports with their monitors and descriptions.
int32_t PortEntries(std::vector<PortEntry>& ports);
// The NETLIST lines of the printers the network print provider recorded
// (server\PRINTERS\printer keys with their "SHARE NAME"); none when the
// keys cannot be opened.
void ProviderPrinterLines(std::string_view sep, std::vector<std::string>& lines);

}  // namespace kes
