#include "sysadmin/registry.h"

#include <windows.h>

namespace kes {

namespace {

HKEY RootKey(std::string_view name) {
  const std::string u = Upper(name);
  if (u == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
  if (u == "HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
  if (u == "HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
  if (u == "HKEY_USERS") return HKEY_USERS;
  if (u == "HKEY_CURRENT_CONFIG") return HKEY_CURRENT_CONFIG;
  return nullptr;
}

}  // namespace

std::string RegistryReadString(Interp&, std::string_view key, std::string_view value) {
  const size_t bs = key.find('\\');
  HKEY root = RootKey(key.substr(0, bs));
  if (!root) return std::string();
  const std::string sub(bs == std::string_view::npos ? std::string_view() : key.substr(bs + 1));
  HKEY h;
  if (RegOpenKeyExA(root, sub.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return std::string();
  char buf[4096];
  DWORD type = 0, size = sizeof buf - 1;
  const std::string vn(value);
  std::string out;
  if (RegQueryValueExA(h, vn.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    buf[size] = 0;
    out.assign(buf);
  }
  RegCloseKey(h);
  return out;
}

bool RegistryCanOpenSecurity() {
  HKEY h;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SECURITY", 0, READ_CONTROL, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

}  // namespace kes
