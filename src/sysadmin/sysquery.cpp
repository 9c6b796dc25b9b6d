#include "sysadmin/sysquery.h"

#include <winsock2.h>
#include <windows.h>
#include <lm.h>
#include <winspool.h>

#include <cstdio>
#include <vector>

#include "interp/text.h"
#include "sysadmin/fileops.h"
#include "sysadmin/netapi.h"

namespace kes {

namespace {

HANDLE OpenEntry(const std::string& path, bool write) {
  std::string p = path;
  // A trailing "\" names the folder itself; CreateFile wants it without.
  while (p.size() > 3 && p.back() == '\\') p.pop_back();
  return CreateFileA(p.c_str(), write ? FILE_WRITE_ATTRIBUTES : GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

bool GetFileTimeText(const std::string& path, FileTimeKind kind, std::string& text) {
  HANDLE h = OpenEntry(path, false);
  if (h == INVALID_HANDLE_VALUE) return false;
  FILETIME c{}, a{}, w{};
  const BOOL ok = GetFileTime(h, &c, &a, &w);
  CloseHandle(h);
  if (!ok) return false;
  const FILETIME& ft = kind == FileTimeKind::Create ? c : kind == FileTimeKind::Access ? a : w;
  text = FileTimeText(ft.dwLowDateTime, ft.dwHighDateTime);
  return !text.empty();
}

int SetFileTimeText(const std::string& path, FileTimeKind kind, std::string_view value) {
  std::string v = Trim(value);
  ReplaceAll(v, "-", "/");
  if (v.size() == 10) v += "_00:00:00";
  if (v.size() < 19 || v[4] != '/' || v[7] != '/' || v[13] != ':' || v[16] != ':') return kErrUsage;
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(ValInt(v.substr(0, 4)));
  st.wMonth = static_cast<WORD>(ValInt(v.substr(5, 2)));
  st.wDay = static_cast<WORD>(ValInt(v.substr(8, 2)));
  st.wHour = static_cast<WORD>(ValInt(v.substr(11, 2)));
  st.wMinute = static_cast<WORD>(ValInt(v.substr(14, 2)));
  st.wSecond = static_cast<WORD>(ValInt(v.substr(17, 2)));
  FILETIME local{}, ft{};
  if (!SystemTimeToFileTime(&st, &local) || !LocalFileTimeToFileTime(&local, &ft)) return kErrUsage;
  if (!PathExists(path)) return kErrNotFound;
  HANDLE h = OpenEntry(path, true);
  if (h == INVALID_HANDLE_VALUE) return kErrNotAccessible;
  const BOOL ok = SetFileTime(h, kind == FileTimeKind::Create ? &ft : nullptr, kind == FileTimeKind::Access ? &ft : nullptr,
                              kind == FileTimeKind::Write ? &ft : nullptr);
  CloseHandle(h);
  return ok ? 0 : kErrNotAccessible;
}

bool PathExists(const std::string& path) {
  if (path.empty()) return false;
  if (path.back() == '\\') {
    std::string p = path;
    while (p.size() > 3 && p.back() == '\\') p.pop_back();
    const DWORD a = GetFileAttributesA(p.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
  }
  if (path.find_first_of("*?") != std::string::npos) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(path.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    return true;
  }
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ResolveWildcardFile(const std::string& pattern, std::string& path) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      found = true;
      break;
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  if (!found) return false;
  const size_t slash = pattern.find_last_of("\\:");
  path = (slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1)) + fd.cFileName;
  return true;
}

bool DiskSpace(const std::string& drive, bool total, uint64_t& bytes) {
  bytes = 0;
  std::string root = Trim(drive);
  if (root.empty()) return false;
  if (root.size() == 1) root += ':';
  // "C:" means the root, not that drive's current folder; a UNC name needs
  // its trailing "\"
  if (root.back() != '\\') root += '\\';
  // Windows 95 before OSR2 has only GetDiskFreeSpaceA (2 GB at most).
  using FreeEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  static const auto freeEx =
      reinterpret_cast<FreeEx>(GetProcAddress(GetModuleHandleA("Kernel32.dll"), "GetDiskFreeSpaceExA"));
  if (freeEx) {
    ULARGE_INTEGER avail, size, freeAll;
    if (!freeEx(root.c_str(), &avail, &size, &freeAll)) return false;
    bytes = total ? size.QuadPart : freeAll.QuadPart;
  } else {
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
    if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) return false;
    bytes = uint64_t{bytesPerSector} * sectorsPerCluster * (total ? clusters : freeClusters);
  }
  return true;
}

std::vector<std::string> HostAddresses(const std::string& name, size_t max) {
  static bool started = false;
  std::vector<std::string> out;
  if (!started) {
    WSADATA d;
    started = WSAStartup(MAKEWORD(1, 1), &d) == 0;
    if (!started) return out;
  }
  const hostent* h = gethostbyname(name.c_str());
  if (!h || h->h_addrtype != AF_INET || h->h_length != 4 || !h->h_addr_list) return out;
  for (size_t i = 0; i < max && h->h_addr_list[i]; ++i) {
    const unsigned char* a = reinterpret_cast<const unsigned char*>(h->h_addr_list[i]);
    char buf[20];
    snprintf(buf, sizeof buf, "%u.%u.%u.%u", a[0], a[1], a[2], a[3]);
    out.push_back(buf);
  }
  return out;
}

std::string ResolveHost(const std::string& name) {
  const std::string n = Trim(name);
  if (n.empty()) return std::string();
  std::vector<std::string> a = HostAddresses(n, 1);
  return a.empty() ? std::string() : a.front();
}

bool PrinterKnown(const std::string& name) {
  if (name.empty()) return false;
  DWORD needed = 0, count = 0;
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  EnumPrintersA(flags, nullptr, 4, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::vector<BYTE> buf(needed);
  if (!EnumPrintersA(flags, nullptr, 4, buf.data(), needed, &needed, &count)) return false;
  const auto* p = reinterpret_cast<const PRINTER_INFO_4A*>(buf.data());
  for (DWORD i = 0; i < count; ++i)
    if (p[i].pPrinterName && EqualsNoCase(p[i].pPrinterName, name)) return true;
  return false;
}

bool ServerReachable(const std::string& name) {
  std::string n = Trim(name);
  while (!n.empty() && n[0] == '\\') n.erase(0, 1);
  if (n.empty()) return false;
  std::wstring w = WideFromAnsi("\\\\" + n);
  LPBYTE info = nullptr;
  const NET_API_STATUS st = NetServerGetInfo(const_cast<LPWSTR>(w.c_str()), 100, &info);
  if (info) NetApiBufferFree(info);
  return st == NERR_Success;
}

bool ShareReachable(const std::string& name) {
  // \\server\share: ask the server for the share.
  std::string n = Trim(name);
  while (!n.empty() && n.back() == '\\') n.pop_back();
  if (n.size() < 3 || n[0] != '\\' || n[1] != '\\') return false;
  const size_t sep = n.find('\\', 2);
  if (sep == std::string::npos) return false;
  const std::wstring server = WideFromAnsi(n.substr(0, sep));
  const std::wstring share = WideFromAnsi(n.substr(sep + 1));
  LPBYTE info = nullptr;
  const NET_API_STATUS st =
      NetShareGetInfo(const_cast<LPWSTR>(server.c_str()), const_cast<LPWSTR>(share.c_str()), 1, &info);
  if (info) NetApiBufferFree(info);
  if (st == NERR_Success) return true;
  const DWORD a = GetFileAttributesA(n.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace kes
