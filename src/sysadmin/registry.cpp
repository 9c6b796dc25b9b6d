#include "sysadmin/registry.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kes {

// Allocated on first use: a static array would be stored in the executable
// file, which the packager needs to keep small.
char* TransferBuffer() {
  static char* buffer = new char[kTransferBufferSize];
  return buffer;
}

KeyPath SplitKeyPath(std::string_view path) {
  KeyPath k;
  const size_t bs = path.find('\\');
  k.root = Upper(TrimView(path.substr(0, bs)));
  if (bs != std::string_view::npos) k.subkey.assign(path.substr(bs + 1));
  return k;
}

RegHandle RootHandle(std::string_view u) {
  if (u == "HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
  if (u == "HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
  if (u == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
  if (u == "HKEY_USERS") return HKEY_USERS;
  return nullptr;
}

void RegKey::Close() {
  if (key_) RegCloseKey(key_);
  if (remoteRoot_) RegCloseKey(remoteRoot_);
  key_ = nullptr;
  remoteRoot_ = nullptr;
}

void RegKey::Reset(RegHandle key, RegHandle remoteRoot) {
  Close();
  key_ = key;
  remoteRoot_ = remoteRoot;
}

int32_t OpenKey(const RegistryState& state, const KeyPath& path, bool create, uint32_t access, RegKey& out,
                const OpenOptions& opt) {
  out.Close();
  HKEY root = RootHandle(path.root);
  HKEY remote = nullptr;
  const std::string& computer = state.remoteComputer;
  if (opt.useRemote && !computer.empty()) {
    if (root == HKEY_CLASSES_ROOT || root == HKEY_CURRENT_USER) return kErrNotAccessible;
    if (root) {
      // The documented form of the machine name is "\\name".
      const std::string unc = "\\\\" + computer;
      const LONG rc = RegConnectRegistryA(unc.c_str(), root, &remote);
      if (rc != ERROR_SUCCESS) return rc;
      root = remote;
    }
  }
  HKEY h = nullptr;
  LONG rc = ERROR_SUCCESS;
  if (!create) rc = RegOpenKeyExA(root, path.subkey.c_str(), 0, access, &h);
  if (create || (rc != ERROR_SUCCESS && opt.createFallback)) {
    h = nullptr;
    SECURITY_DESCRIPTOR sd;
    SECURITY_ATTRIBUTES sa;
    SECURITY_ATTRIBUTES* psa = nullptr;
    if (state.openSecurity && InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE)) {
      sa.nLength = sizeof sa;
      sa.lpSecurityDescriptor = &sd;
      sa.bInheritHandle = FALSE;
      psa = &sa;
    }
    DWORD disposition = 0;
    rc = RegCreateKeyExA(root, path.subkey.c_str(), 0, nullptr, 0, KEY_WRITE, psa, &h, &disposition);
  }
  if (rc != ERROR_SUCCESS) {
    if (remote) RegCloseKey(remote);
    return rc;
  }
  out.Reset(h, remote);
  return 0;
}

namespace {

// Reads a value whose size is known into bytes, growing when it changed.
LONG QueryInto(HKEY h, const char* name, DWORD& type, std::vector<BYTE>& data, DWORD size) {
  for (int tries = 0; tries < 4; ++tries) {
    data.assign(size + 2, 0);
    DWORD got = size;
    const LONG rc = RegQueryValueExA(h, name, nullptr, &type, data.data(), &got);
    if (rc == ERROR_MORE_DATA) {
      size = got > size ? got : size * 2 + 16;
      continue;
    }
    if (rc == ERROR_SUCCESS) data.resize(got);
    return rc;
  }
  return ERROR_MORE_DATA;
}

}  // namespace

RegValueText RegistryGetValue(const RegistryState& state, std::string_view keyPath, std::string_view valueName,
                              std::string_view sep, const OpenOptions& opt) {
  RegValueText r;
  RegKey key;
  r.code = OpenKey(state, SplitKeyPath(keyPath), false, KEY_READ, key, opt);
  if (r.code) return r;
  std::string name(valueName);
  if (EqualsNoCase(name, "DEFAULT")) name.clear();
  DWORD type = 0, size = 0;
  // Learns the type and size; a missing value leaves the type 0.
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) type = 0;
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_MULTI_SZ: {
      // Read whole, whatever its size: the transfer buffer limits only what
      // is written, and a value another program stored larger than that is
      // still answered in full.
      std::vector<BYTE> data;
      DWORD t = type;
      const LONG rc = QueryInto(key.get(), name.c_str(), t, data, size);
      if (rc != ERROR_SUCCESS) {
        r.code = rc;
        return r;
      }
      std::string s(reinterpret_cast<const char*>(data.data()), data.size());
      if (type == REG_MULTI_SZ) {
        // The list ends with an empty string: drop its NUL, then the NUL
        // of the last string, each only where present, so data written
        // without the final terminator keeps its last character.
        if (!s.empty() && s.back() == '\0') s.pop_back();
        if (!s.empty() && s.back() == '\0') s.pop_back();
        std::string joined;
        joined.reserve(s.size());
        for (char ch : s) {
          if (ch == '\0') joined.append(sep);
          else joined += ch;
        }
        r.text = std::move(joined);
        r.typeName = "REG_MULTI_SZ";
      } else {
        // The terminating NUL is dropped only where it was stored.
        if (!s.empty() && s.back() == '\0') s.pop_back();
        r.text = std::move(s);
        r.typeName = type == REG_SZ ? "REG_SZ" : "REG_EXPAND_SZ";
      }
      return r;
    }
    case REG_BINARY: {
      std::vector<BYTE> data;
      const LONG rc = QueryInto(key.get(), name.c_str(), type, data, size);
      if (rc != ERROR_SUCCESS) {
        r.code = rc;
        return r;
      }
      static const char kHex[] = "0123456789ABCDEF";
      r.text.reserve(data.size() * 3);
      for (BYTE b : data) {
        r.text += kHex[b >> 4];
        r.text += kHex[b & 15];
        r.text += ' ';
      }
      r.typeName = "REG_BINARY";
      return r;
    }
    case REG_DWORD: {
      DWORD v = 0, got = sizeof v;
      const LONG rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&v), &got);
      if (rc != ERROR_SUCCESS) {
        r.code = rc;
        return r;
      }
      r.text = IntText(static_cast<int32_t>(v));
      r.typeName = "REG_DWORD";
      return r;
    }
    default:
      r.code = kErrUsage;
      return r;
  }
}

int32_t WriteStringValue(RegHandle key, const std::string& name, unsigned long type, std::string_view data,
                         size_t extraNuls) {
  const size_t total = data.size() + extraNuls;
  if (total > kTransferBufferSize) return kRegTooLong;
  char* buf = TransferBuffer();
  std::memcpy(buf, data.data(), data.size());
  std::memset(buf + data.size(), 0, extraNuls);
  return RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(buf), static_cast<DWORD>(total));
}

int32_t RegistryWriteString(const RegistryState& state, std::string_view keyPath, const std::string& valueName,
                            std::string_view data, const OpenOptions& opt) {
  RegKey key;
  const int32_t code = OpenKey(state, SplitKeyPath(keyPath), false, KEY_WRITE, key, opt);
  return code ? code : WriteStringValue(key.get(), valueName, REG_SZ, data, 1);
}

std::string RegistryReadString(Interp& in, std::string_view key, std::string_view value) {
  // Read as REGKEYGET reads it (REGKEYTYPE is left alone).
  return RegistryGetValue(in.registry, key, value, ",").text;
}

bool RegistryCanOpenSecurity() {
  // Whether the key opens: never created, always the local registry.
  RegKey key;
  OpenOptions opt;
  opt.createFallback = false;
  opt.useRemote = false;
  return OpenKey(RegistryState{}, KeyPath{"HKEY_LOCAL_MACHINE", "SECURITY"}, false, READ_CONTROL, key, opt) == 0;
}

// ---- scheduled runs

std::vector<AtRunEntry> AtRunEntries(int32_t* code) {
  std::vector<AtRunEntry> out;
  if (code) *code = 0;
  RegKey key;
  OpenOptions opt;
  opt.createFallback = false;  // reading the list never creates the key
  opt.useRemote = false;
  const int32_t rc = OpenKey(RegistryState{}, SplitKeyPath(kAtRunKey), false, KEY_QUERY_VALUE, key, opt);
  if (rc) {
    // A machine without the key simply has no entries.
    if (code && rc != ERROR_FILE_NOT_FOUND) *code = rc;
    return out;
  }
  const size_t plen = std::char_traits<char>::length(kAtRunPrefix);
  std::vector<char> name(kValueNameBuffer + 1);
  for (DWORD i = 0;; ++i) {
    DWORD nlen = kValueNameBuffer;
    const LONG e = RegEnumValueA(key.get(), i, name.data(), &nlen, nullptr, nullptr, nullptr, nullptr);
    if (e == ERROR_NO_MORE_ITEMS) break;
    if (e != ERROR_SUCCESS) {
      if (code) *code = e;
      break;
    }
    const std::string n(name.data(), nlen);
    if (n.size() <= plen || !StartsWithNoCase(n, kAtRunPrefix) || !AllDigits(std::string_view(n).substr(plen)) ||
        n.size() - plen > 9)
      continue;
    AtRunEntry a;
    a.number = std::strtol(n.c_str() + plen, nullptr, 10);
    a.valueName = n;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), n.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
      std::vector<BYTE> data;
      if (QueryInto(key.get(), n.c_str(), type, data, size) == ERROR_SUCCESS) {
        a.command.assign(reinterpret_cast<const char*>(data.data()), data.size());
        if (!a.command.empty() && a.command.back() == '\0') a.command.pop_back();
      }
    }
    out.push_back(std::move(a));
  }
  std::sort(out.begin(), out.end(), [](const AtRunEntry& x, const AtRunEntry& y) { return x.number < y.number; });
  return out;
}

const std::vector<std::string>* AtRunList() {
  static std::vector<std::string> list;
  list.clear();
  for (auto& e : AtRunEntries()) list.push_back(std::move(e.command));
  return &list;
}

}  // namespace kes
