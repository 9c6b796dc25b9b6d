// Registry commands (REGKEYGET, REGKEYSET, REGKEYNEW, REGKEYDEL, the three
// list commands, REGCONNECT, REG) and the scheduled-run entries (ATRUN,
// ATDELETE).
#include <winsock2.h>
#include <windows.h>

#include <cmath>
#include <cstring>

#include "interp/commands.h"
#include "sysadmin/registry.h"

namespace kes {

namespace {

// Longest key name plus its NUL, with room to spare.
constexpr DWORD kKeyNameBuffer = 1024;

// The argument text cut into the fields of a key argument. Quotes never
// protect a separator: for the commands that read or write values the quote
// character is removed from the whole text first, and double quotes are
// removed again from the key path and the value name.
struct KeyArgs {
  std::vector<std::string> fields;  // untrimmed
  std::string keyPath;              // trimmed, without double quotes
  std::string valueName;            // trimmed, without double quotes
  bool hasSeparator = false;
};

KeyArgs ParseKeyArgs(const Interp& in, bool removeQuoteChar) {
  KeyArgs s;
  std::string text = in.line.args;
  if (removeQuoteChar && !in.sep.quote.empty()) ReplaceAll(text, in.sep.quote, "");
  const std::string& sep = in.Sep();
  s.hasSeparator = !sep.empty() && text.find(sep) != std::string::npos;
  s.fields = s.hasSeparator ? SplitPlain(text, sep) : std::vector<std::string>{text};
  s.keyPath = s.fields[0];
  RemoveChar(s.keyPath, '"');
  s.keyPath = Trim(s.keyPath);
  if (s.fields.size() > 1) {
    s.valueName = s.fields[1];
    RemoveChar(s.valueName, '"');
    s.valueName = Trim(s.valueName);
  }
  return s;
}

// A pending stop ends the list walks early; messages are handled now and
// then so that a stop asked for from a window can arrive.
bool StopPending(Interp& in, size_t count) {
  if ((count & 255) == 255) PumpMessages();
  return in.run.stopRequested || in.run.abort;
}

void AnswerCount(Interp& in, SysList list) {
  in.line.result = std::to_string(in.vars.Sys(list).size());
  in.line.secondResult = true;
}

// The path with the backslashes that end it removed.
std::string WithoutTrailingBackslashes(std::string_view s) {
  while (!s.empty() && s.back() == '\\') s.remove_suffix(1);
  return std::string(s);
}

bool IsTypeName(std::string_view u) {
  return u == "REG_SZ" || u == "REG_EXPAND_SZ" || u == "REG_BINARY" || u == "REG_DWORD" || u == "REG_MULTI_SZ";
}

// REG_BINARY data: after trimming, pairs at positions 1, 4, 7, ... until a
// pair holds a blank; each pair is read as "&H" + pair (not hexadecimal: 0).
std::vector<BYTE> ParseBinary(std::string_view data) {
  std::vector<BYTE> bytes;
  const std::string t = Trim(data);
  for (size_t p = 0; p < t.size(); p += 3) {
    const std::string pair = t.substr(p, 2);
    if (pair.find(' ') != std::string::npos) break;
    const Num v = Val("&H" + pair);
    bytes.push_back(static_cast<BYTE>(static_cast<int>(v) & 0xFF));
  }
  return bytes;
}

// gethostbyname through the Winsock start-up and clean-up pair.
bool HostResolves(const std::string& name) {
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(1, 1), &wsa) != 0) return false;
  const bool ok = gethostbyname(name.c_str()) != nullptr;
  WSACleanup();
  return ok;
}

}  // namespace

// ---- REGKEYGET key,value

void CmdRegKeyGet(Interp& in, Ctx&) {
  const KeyArgs s = ParseKeyArgs(in, true);
  const RegValueText v = RegistryGetValue(in.registry, s.keyPath, s.valueName, in.Sep());
  in.err.code = v.code;
  in.line.result = v.text;
  SetVariable(in, "REGKEYTYPE", v.typeName);
}

// ---- REGKEYSET key,value,data,type and REGKEYNEW key

void CmdRegKeySet(Interp& in, Ctx& c) {
  const KeyArgs s = ParseKeyArgs(in, true);
  RegKey key;
  // The opener creates the key when it cannot be opened.
  in.err.code = OpenKey(in.registry, SplitKeyPath(s.keyPath), false, KEY_WRITE, key);
  if (c.Word<RegKeySetWord>() == RegKeySetWord::RegKeyNew || in.err.code) return;

  // Data is field 3 and the type field 4. When more fields follow and the
  // last one names a type, the data runs up to it, so data may hold the
  // separator (a multi-string of several strings, a text with commas).
  const auto& f = s.fields;
  std::string data, type;
  if (f.size() > 4 && IsTypeName(Upper(Trim(f.back())))) {
    type = Upper(Trim(f.back()));
    for (size_t i = 2; i + 1 < f.size(); ++i) {
      if (i > 2) data += in.Sep();
      data += f[i];
    }
  } else {
    if (f.size() > 2) data = f[2];
    if (f.size() > 3) type = Upper(Trim(f[3]));
  }
  std::string name = s.valueName;
  if (EqualsNoCase(name, "DEFAULT")) name.clear();

  LONG rc;
  if (type == "REG_SZ") {
    rc = WriteStringValue(key.get(), name, REG_SZ, data, 1);
    // Empty data removes the value.
    if (rc == ERROR_SUCCESS && data.empty()) rc = RegDeleteValueA(key.get(), name.c_str());
  } else if (type == "REG_EXPAND_SZ") {
    rc = WriteStringValue(key.get(), name, REG_EXPAND_SZ, data, 1);
  } else if (type == "REG_MULTI_SZ") {
    ReplaceAll(data, in.Sep(), std::string(1, '\0'));
    rc = WriteStringValue(key.get(), name, REG_MULTI_SZ, data, 2);
  } else if (type == "REG_BINARY") {
    const std::vector<BYTE> bytes = ParseBinary(data);
    static const BYTE none = 0;
    rc = RegSetValueExA(key.get(), name.c_str(), 0, REG_BINARY, bytes.empty() ? &none : bytes.data(),
                        static_cast<DWORD>(bytes.size()));
  } else if (type == "REG_DWORD") {
    // Signed or unsigned 32-bit values; anything outside both is refused
    // rather than silently cut.
    const Num v = std::nearbyint(Val(Trim(data)));
    if (!(v >= -2147483648.0L && v <= 4294967295.0L)) {
      rc = 1;
    } else {
      const DWORD d = static_cast<DWORD>(static_cast<int64_t>(v));
      rc = RegSetValueExA(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d), sizeof d);
    }
  } else {
    rc = 1;
  }
  in.err.code = rc;
}

// ---- REGKEYDEL key  (the key itself) / key,value (a value)

void CmdRegKeyDel(Interp& in, Ctx&) {
  const KeyArgs s = ParseKeyArgs(in, true);
  std::string keyPath = s.keyPath;
  std::string subName;
  if (!s.hasSeparator) {
    // The last element of the path names the key to delete. Trailing
    // backslashes do not count, so the platform is never asked to delete an
    // empty name (what that does is not defined); a root alone is refused.
    keyPath = WithoutTrailingBackslashes(keyPath);
    const size_t bs = keyPath.rfind('\\');
    if (bs == std::string::npos || bs + 1 >= keyPath.size()) {
      in.err.code = kErrUsage;
      return;
    }
    subName = keyPath.substr(bs + 1);
    keyPath.resize(bs);
  }
  RegKey key;
  in.err.code = OpenKey(in.registry, SplitKeyPath(keyPath), false, KEY_WRITE, key);
  if (in.err.code) return;
  if (!s.hasSeparator) in.err.code = RegDeleteKeyA(key.get(), subName.c_str());
  else in.err.code = RegDeleteValueA(key.get(), s.valueName.c_str());
}

// ---- REGKEYLIST key: the names of the direct subkeys

void CmdRegKeyList(Interp& in, Ctx&) {
  auto& list = in.vars.Sys(SysList::REGKEYLIST);
  list.clear();
  const KeyArgs s = ParseKeyArgs(in, false);
  RegKey key;
  in.err.code = OpenKey(in.registry, SplitKeyPath(s.keyPath), false, KEY_READ, key);
  if (!in.err.code) {
    char name[kKeyNameBuffer];
    for (DWORD i = 0;; ++i) {
      if (StopPending(in, i)) break;
      const LONG rc = RegEnumKeyA(key.get(), i, name, sizeof name);
      if (rc != ERROR_SUCCESS) {
        if (rc != ERROR_NO_MORE_ITEMS) in.err.code = rc;
        break;
      }
      list.emplace_back(name);
    }
  }
  AnswerCount(in, SysList::REGKEYLIST);
}

// ---- REGVALUELIST key: the names of the key's values

void CmdRegValueList(Interp& in, Ctx&) {
  auto& list = in.vars.Sys(SysList::REGVALUELIST);
  list.clear();
  const KeyArgs s = ParseKeyArgs(in, false);
  RegKey key;
  in.err.code = OpenKey(in.registry, SplitKeyPath(s.keyPath), false, KEY_QUERY_VALUE, key);
  if (!in.err.code) {
    // Room for the longest value name the platform allows (16,383).
    std::vector<char> name(kValueNameBuffer + 1);
    for (DWORD i = 0;; ++i) {
      if (StopPending(in, i)) break;
      DWORD len = kValueNameBuffer;
      const LONG rc = RegEnumValueA(key.get(), i, name.data(), &len, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_NO_MORE_ITEMS) break;
      if (rc == ERROR_MORE_DATA) continue;  // a name beyond the limit: skipped
      if (rc != ERROR_SUCCESS) {
        // Another failure would repeat at every index (a key deleted under
        // the walk): it ends the walk and is reported.
        in.err.code = rc;
        break;
      }
      list.emplace_back(name.data(), len);
    }
  }
  AnswerCount(in, SysList::REGVALUELIST);
}

// ---- REGKEYXLIST key: the full paths of all subkeys at every depth
// A key's direct children come before the descendants of its first child,
// then those of its second child, and so on. The walk keeps its own stack
// of open keys, one per level, and opens each child under its parent by its
// name alone: the depth of the tree cannot exhaust the program's stack, and
// no full path has to pass the platform's limit on path length.

namespace {

struct WalkLevel {
  HKEY key;
  std::string path;  // under the root, without trailing backslash
  std::vector<std::string> children;
  size_t next = 0;
};

// Lists the children of a level: appended to the list and kept for the walk.
void ListChildren(Interp& in, const std::string& root, WalkLevel& level, std::vector<std::string>& list) {
  char name[kKeyNameBuffer];
  const std::string prefix = root + "\\" + (level.path.empty() ? std::string() : level.path + "\\");
  for (DWORD i = 0;; ++i) {
    if (StopPending(in, list.size())) return;
    const LONG rc = RegEnumKeyA(level.key, i, name, sizeof name);
    if (rc != ERROR_SUCCESS) {
      if (rc != ERROR_NO_MORE_ITEMS) in.err.code = rc;
      return;
    }
    list.push_back(prefix + name);
    level.children.emplace_back(name);
  }
}

}  // namespace

void CmdRegKeyXList(Interp& in, Ctx&) {
  auto& list = in.vars.Sys(SysList::REGKEYXLIST);
  list.clear();
  const KeyArgs s = ParseKeyArgs(in, false);
  const KeyPath top = SplitKeyPath(s.keyPath);
  RegKey first;
  in.err.code = OpenKey(in.registry, top, false, KEY_READ, first);
  if (!in.err.code) {
    std::vector<WalkLevel> stack;
    stack.push_back(WalkLevel{first.get(), WithoutTrailingBackslashes(top.subkey), {}, 0});
    ListChildren(in, top.root, stack.back(), list);
    while (!stack.empty() && !StopPending(in, list.size())) {
      WalkLevel& level = stack.back();
      if (level.next >= level.children.size()) {
        if (stack.size() > 1) RegCloseKey(level.key);  // the first is closed by its owner
        stack.pop_back();
        continue;
      }
      const std::string& child = level.children[level.next++];
      HKEY h = nullptr;
      const LONG rc = RegOpenKeyExA(level.key, child.c_str(), 0, KEY_READ, &h);
      if (rc != ERROR_SUCCESS) {
        // A subkey the account may not read: reported, the walk goes on.
        in.err.code = rc;
        continue;
      }
      std::string path = level.path.empty() ? child : level.path + "\\" + child;
      stack.push_back(WalkLevel{h, std::move(path), {}, 0});
      ListChildren(in, top.root, stack.back(), list);
    }
    for (size_t i = 1; i < stack.size(); ++i) RegCloseKey(stack[i].key);
  }
  AnswerCount(in, SysList::REGKEYXLIST);
}

// ---- REGCONNECT ON,computer / OFF; SERVICECONNECT the same for services

void CmdRegConnect(Interp& in, Ctx& c) {
  std::string& target =
      c.Word<RegConnectWord>() == RegConnectWord::ServiceConnect ? in.services.computer : in.registry.remoteComputer;
  in.err.code = 0;
  if (!IsOnWord(Field(in, 1))) {
    target.clear();
    return;
  }
  // "\\NAME" and "NAME" are the same computer.
  std::string name = Field(in, 2);
  RemoveChar(name, '\\');
  name = Trim(name);
  target = name;
  if (name.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (!HostResolves(name)) in.err.code = kErrNotReachable;
}

// ---- REG IMPERSONATE,ON / OFF

void CmdReg(Interp& in, Ctx&) {
  in.err.code = kErrUsage;
  std::string opt = Upper(Field(in, 1)), value = Upper(Field(in, 2));
  if (FieldCount(in) == 1) {
    // "REG IMPERSONATE ON" written with a blank.
    const auto words = SplitPlain(Trim(opt), " ");
    if (words.size() == 2) {
      opt = words[0];
      value = words[1];
    }
  }
  if ((opt == "IMPERSONATE" || opt == "IMPERSONNATE") && (value == "ON" || value == "OFF")) {
    in.registry.openSecurity = value == "ON";
    in.err.code = 0;
  }
}

// ---- ATRUN command line: a run-once entry of the local machine
// The entry is a value KestrovaAtRun<n> of the machine's RunOnce key, so the
// command runs once at the next start-up. A command already waiting there is
// not entered twice.

void CmdAtRun(Interp& in, Ctx&) {
  const std::string command = Trim(in.line.args);
  if (command.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  int32_t code = 0;
  const std::vector<AtRunEntry> entries = AtRunEntries(&code);
  if (code) {
    in.err.code = code;
    return;
  }
  long number = 1;
  for (const auto& e : entries) {
    if (EqualsNoCase(e.command, command)) {
      in.err.code = 0;
      return;
    }
    if (e.number == number) ++number;
  }
  RegKey key;
  OpenOptions opt;
  opt.useRemote = false;
  in.err.code = OpenKey(in.registry, SplitKeyPath(kAtRunKey), false, KEY_WRITE, key, opt);
  if (in.err.code) return;
  const std::string name = kAtRunPrefix + std::to_string(number);
  in.err.code = WriteStringValue(key.get(), name, REG_SZ, command, 1);
}

// ---- ATDELETE [command line]: removes the entries ATRUN made for that
// command, or all of them without an argument; error 1 when none matched.

void CmdAtDelete(Interp& in, Ctx&) {
  const std::string command = Trim(in.line.args);
  int32_t code = 0;
  const std::vector<AtRunEntry> entries = AtRunEntries(&code);
  if (code) {
    in.err.code = code;
    return;
  }
  RegKey key;
  bool matched = false;
  in.err.code = 0;
  for (const auto& e : entries) {
    if (!command.empty() && !EqualsNoCase(e.command, command)) continue;
    matched = true;
    if (!key) {
      OpenOptions opt;
      opt.useRemote = false;
      opt.createFallback = false;
      in.err.code = OpenKey(in.registry, SplitKeyPath(kAtRunKey), false, KEY_WRITE, key, opt);
      if (in.err.code) return;
    }
    const LONG rc = RegDeleteValueA(key.get(), e.valueName.c_str());
    if (rc != ERROR_SUCCESS) in.err.code = rc;
  }
  if (!matched && !command.empty()) in.err.code = kErrUsage;
}

}  // namespace kes
