#include "sysadmin/nettext.h"

#include <cstdio>

#include "interp/text.h"

namespace kes {

// ---- NET

namespace {

// Removes the first occurrence of word (any case); true when there was one.
bool TakeWord(std::string& text, std::string_view word) {
  const size_t p = FindNoCase(text, word);
  if (p == std::string::npos) return false;
  text.erase(p, word.size());
  return true;
}

}  // namespace

NetArgs ParseNetArgs(std::string_view text) {
  NetArgs a;
  std::string t(text);
  // One word at a time, "NOPERSISTENT" (which holds "PERSISTENT") first: a
  // removal can join the letters around it into another word.
  bool temporary = false, persistent = false;
  for (;;) {
    if (TakeWord(t, "NOPERSISTENT")) temporary = true;
    else if (TakeWord(t, "PERSISTENT")) persistent = true;
    else break;
  }
  a.persistent = persistent && !temporary;
  if (t.find(',') != std::string::npos) {
    for (const std::string& f : SplitPlain(t, ",")) a.fields.push_back(Trim(f));
  } else {
    for (const std::string& f : SplitPlain(Trim(t), " "))
      if (!f.empty()) a.fields.push_back(f);
  }
  if (a.fields.empty()) a.fields.emplace_back();
  UpperInPlace(a.fields[0]);
  return a;
}

const std::string& NetField(const NetArgs& a, size_t n) {
  static const std::string empty;
  return n >= 1 && n <= a.fields.size() ? a.fields[n - 1] : empty;
}

bool IsDriveForm(std::string_view name) { return name.size() >= 2 && name[1] == ':'; }

bool IsPortForm(std::string_view name) { return StartsWithNoCase(name, "LPT"); }

bool IsDriveLetterName(std::string_view name) {
  if (name.size() != 2 || name[1] != ':') return false;
  const char c = UpperChar(name[0]);
  return c >= 'A' && c <= 'Z';
}

std::vector<std::string> AllLocalNames() {
  std::vector<std::string> names;
  for (char c = 'A'; c <= 'Z'; ++c) names.push_back(std::string{c, ':'});
  for (char d = '1'; d <= '9'; ++d) names.push_back(std::string("LPT") + d + ":");
  return names;
}

bool RemoteBeginsName(std::string_view remote, std::string_view wanted) {
  if (remote.empty()) return false;
  const std::string w = Upper(RTrimView(wanted));
  return Upper(remote) == std::string_view(w).substr(0, remote.size());
}

std::string ServerUncName(std::string_view name) {
  std::string s(name);
  RemoveChar(s, '\\');
  return "\\\\" + Trim(s);
}

// ---- NETINFO RESOURCE

namespace {

void BrowseLevel(ResourceSource& source, const NetRecord* parent, const std::string& parentPath, int depth,
                 std::vector<std::string>& paths) {
  const std::vector<NetRecord> records = source.Children(parent);
  const size_t n = records.size() < kMaxResourceRecords ? records.size() : kMaxResourceRecords;
  for (size_t i = 0; i < n; ++i) {
    const NetRecord& r = records[i];
    if (r.remoteName.empty()) continue;
    const std::string path = parent ? parentPath + ";" + r.remoteName : r.remoteName;
    paths.push_back(path);
    if (r.container && depth < kMaxResourceDepth) BrowseLevel(source, &r, path, depth + 1, paths);
  }
}

}  // namespace

void BrowseResources(ResourceSource& source, std::vector<std::string>& paths) {
  BrowseLevel(source, nullptr, std::string(), 1, paths);
}

// ---- accounts

std::string KeepNonZeroBytes(const char16_t* name) {
  std::string s;
  if (!name) return s;
  for (; *name; ++name) {
    const unsigned u = *name;
    if (u & 0xFF) s += static_cast<char>(u & 0xFF);
    if (u >> 8) s += static_cast<char>(u >> 8);
  }
  return s;
}

bool FilterAccount(std::string_view name, AccountFilter filter, std::string& entry) {
  const bool machine = name.find('$') != std::string_view::npos;
  entry.assign(name);
  switch (filter) {
    case AccountFilter::Users: return !machine;
    case AccountFilter::Computers: RemoveChar(entry, '$'); return machine;
    case AccountFilter::All: break;
  }
  return true;
}

AccountTarget ClassifyTarget(std::string_view target, std::string_view computerName) {
  if (StartsWith(target, "\\\\")) return AccountTarget::Server;
  if (EqualsNoCase(target, computerName)) return AccountTarget::Local;
  return AccountTarget::Domain;
}

std::string GroupListEntry(std::string_view target, AccountTarget kind, std::string_view group) {
  if (kind == AccountTarget::Server) return std::string(group);
  std::string prefix(target);
  RemoveChar(prefix, '\\');
  return prefix + "\\" + std::string(group);
}

bool NamesFromRecords(const char16_t* const* records, size_t count, std::string (*convert)(const char16_t*),
                      std::vector<std::string>& names) {
  if (count && !records) return false;
  for (size_t i = 0; i < count; ++i) {
    if (!records[i]) return false;
    names.push_back(convert(records[i]));
  }
  return true;
}

MemberOperand SplitMemberOperand(std::string_view operand) {
  MemberOperand m;
  const size_t bs = operand.find('\\');
  if (bs != std::string_view::npos) {
    m.domain = Upper(Trim(operand.substr(0, bs)));
    operand.remove_prefix(bs + 1);
  }
  m.group = Upper(Trim(operand));
  return m;
}

// ---- NETLIST

std::string NetUseLine(std::string_view local, std::string_view remote) {
  return "NET USE " + std::string(local) + " " + Upper(remote);
}

std::string PrinterLine(std::string_view text) { return "PRINTER = " + std::string(text); }

std::string LocalPrinterLine(const PrinterEntry& printer, const std::vector<PortEntry>& ports, std::string_view sep) {
  std::string portText(sep);
  for (const PortEntry& p : ports) {
    if (p.name == printer.port) {
      portText = std::string(sep) + p.monitor + std::string(sep) + p.description;
      break;
    }
  }
  if (printer.attributes & kPrinterShared) portText += std::string(sep) + "shared";
  return PrinterLine(printer.name + std::string(sep) + printer.port + portText);
}

std::string ProviderPrinterLine(std::string_view printerKey, std::string_view server, std::string_view shareName,
                                std::string_view sep) {
  return PrinterLine(std::string(printerKey) + std::string(sep) + "\\\\" + std::string(server) + "\\" +
                     std::string(shareName));
}

// ---- DEFAULTPRINTER

std::string DefaultPrinterOf(std::string_view device) { return std::string(device.substr(0, device.find(','))); }

bool DeviceSetting(std::string_view printer, std::string_view printerPorts, std::string& device) {
  if (printerPorts.empty()) return false;
  const std::vector<std::string> parts = SplitPlain(printerPorts, ",");
  device = std::string(printer) + "," + parts[0] + "," + (parts.size() > 1 ? parts[1] : std::string());
  return true;
}

// ---- OWNER and SID

std::string OwnerText(std::string_view domain, std::string_view account) {
  return "\\\\" + std::string(domain) + "\\" + std::string(account);
}

bool ProfileBelongsTo(std::string_view profilePath, std::string_view account) {
  while (!profilePath.empty() && profilePath.back() == '\\') profilePath.remove_suffix(1);
  const size_t bs = profilePath.find_last_of("\\:");
  const std::string_view last = bs == std::string_view::npos ? profilePath : profilePath.substr(bs + 1);
  return !last.empty() && Upper(last) == Upper(account);
}

// ---- NET TIME

bool ClockFromTimeOfDay(const TimeOfDay& t, ClockTime& c) {
  if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.weekday > 6 || t.day < 1 || t.day > 31 ||
      t.hours > 23 || t.minutes > 59 || t.seconds > 59 || t.hundredths > 99)
    return false;
  c.year = static_cast<uint16_t>(t.year);
  c.month = static_cast<uint16_t>(t.month);
  c.weekday = static_cast<uint16_t>(t.weekday);
  c.day = static_cast<uint16_t>(t.day);
  c.hour = static_cast<uint16_t>(t.hours);
  c.minute = static_cast<uint16_t>(t.minutes);
  c.second = static_cast<uint16_t>(t.seconds);
  c.millis = static_cast<uint16_t>(t.hundredths * 10);
  return true;
}

std::string ClockText(const ClockTime& c) {
  char b[64];
  snprintf(b, sizeof b, "%04u/%02u/%02u_%02u:%02u:%02u.%03u", c.year, c.month, c.day, c.hour, c.minute, c.second,
           c.millis);
  return b;
}

}  // namespace kes
