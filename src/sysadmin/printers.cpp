#include "sysadmin/printers.h"

#include <windows.h>
#include <winspool.h>

namespace kes {

namespace {

// EnumPrintersA at a level: the size first, then the records. count
// receives the number of records; the answer is 0 or the spooler's code.
int32_t EnumeratePrinters(DWORD flags, const std::string& name, DWORD level, std::vector<BYTE>& buf, DWORD& count) {
  char* n = name.empty() ? nullptr : const_cast<char*>(name.c_str());
  DWORD needed = 0;
  count = 0;
  if (EnumPrintersA(flags, n, level, nullptr, 0, &needed, &count)) return 0;  // none
  const DWORD err = GetLastError();
  if (err != ERROR_INSUFFICIENT_BUFFER || needed == 0) return static_cast<int32_t>(err);
  buf.assign(needed, 0);
  if (!EnumPrintersA(flags, n, level, buf.data(), needed, &needed, &count)) {
    count = 0;
    return static_cast<int32_t>(GetLastError());
  }
  return 0;
}

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

// The names of a key's subkeys (128-character buffer).
std::vector<std::string> SubkeyNames(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  char name[129];
  for (DWORD i = 0; RegEnumKeyA(key, i, name, 128) == ERROR_SUCCESS; ++i) names.emplace_back(name);
  RegCloseKey(key);
  return names;
}

}  // namespace

int32_t PrinterNames(uint32_t flags, const std::string& name, std::vector<std::string>& names) {
  std::vector<BYTE> buf;
  DWORD count = 0;
  const int32_t code = EnumeratePrinters(flags, name, 1, buf, count);
  const auto* p = reinterpret_cast<const PRINTER_INFO_1A*>(buf.data());
  for (DWORD i = 0; i < count; ++i) names.push_back(Text(p[i].pName));
  return code;
}

int32_t PrinterEntries(std::vector<PrinterEntry>& printers) {
  std::vector<BYTE> buf;
  DWORD count = 0;
  const int32_t code = EnumeratePrinters(kPrintersLocalAndConnections, std::string(), 2, buf, count);
  const auto* p = reinterpret_cast<const PRINTER_INFO_2A*>(buf.data());
  for (DWORD i = 0; i < count; ++i)
    printers.push_back({Text(p[i].pPrinterName), Text(p[i].pPortName), p[i].Attributes});
  return code;
}

int32_t PortEntries(std::vector<PortEntry>& ports) {
  DWORD needed = 0, count = 0;
  if (EnumPortsA(nullptr, 2, nullptr, 0, &needed, &count)) return 0;
  const DWORD err = GetLastError();
  if (err != ERROR_INSUFFICIENT_BUFFER || needed == 0) return static_cast<int32_t>(err);
  std::vector<BYTE> buf(needed);
  if (!EnumPortsA(nullptr, 2, buf.data(), needed, &needed, &count)) return static_cast<int32_t>(GetLastError());
  const auto* p = reinterpret_cast<const PORT_INFO_2A*>(buf.data());
  for (DWORD i = 0; i < count; ++i)
    ports.push_back({Text(p[i].pPortName), Text(p[i].pMonitorName), Text(p[i].pDescription)});
  return 0;
}

void ProviderPrinterLines(std::string_view sep, std::vector<std::string>& lines) {
  const std::string servers = "system\\currentcontrolset\\Control\\Print\\Providers\\lanman print services\\servers";
  for (const std::string& server : SubkeyNames(HKEY_LOCAL_MACHINE, servers)) {
    const std::string printersKey = servers + "\\" + server + "\\PRINTERS";
    for (const std::string& printer : SubkeyNames(HKEY_LOCAL_MACHINE, printersKey)) {
      HKEY key;
      if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (printersKey + "\\" + printer).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        continue;
      char share[129] = {};
      DWORD size = 128;
      if (RegQueryValueExA(key, "SHARE NAME", nullptr, nullptr, reinterpret_cast<BYTE*>(share), &size) != ERROR_SUCCESS)
        share[0] = '\0';
      RegCloseKey(key);
      lines.push_back(ProviderPrinterLine(printer, server, share, sep));
    }
  }
}

}  // namespace kes
