#include "sysadmin/fileops.h"

#include <windows.h>

#include <cstdio>

#include "interp/text.h"

namespace kes {

bool FileExists(const std::string& p) {
  const DWORD a = GetFileAttributesA(p.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& p) {
  const DWORD a = GetFileAttributesA(p.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolderTree(const std::string& path) {
  std::string p = path;
  while (p.size() > 3 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  if (p.empty()) return false;
  if (FolderExists(p)) return true;
  // Create each missing level from the root down.
  size_t start = 0;
  if (p.size() >= 2 && p[1] == ':') start = 3;
  else if (p.rfind("\\\\", 0) == 0) {
    // \\server\share\ is the root of a UNC path
    const size_t s1 = p.find('\\', 2);
    const size_t s2 = s1 == std::string::npos ? std::string::npos : p.find('\\', s1 + 1);
    start = s2 == std::string::npos ? p.size() : s2 + 1;
  }
  for (size_t i = start; i <= p.size(); ++i) {
    if (i == p.size() || p[i] == '\\' || p[i] == '/') {
      const std::string part = p.substr(0, i);
      if (!part.empty() && !FolderExists(part)) CreateDirectoryA(part.c_str(), nullptr);
    }
  }
  return FolderExists(p);
}

int WriteTextLine(const std::string& path, std::string_view text, bool append) {
  for (int attempt = 0; attempt < 129; ++attempt) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      Sleep(50);
      continue;
    }
    bool ok = true;
    if (append) SetFilePointer(h, 0, nullptr, FILE_END);
    if (!text.empty()) {
      std::string line(text);
      line += "\r\n";
      DWORD w = 0;
      ok = WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &w, nullptr) && w == line.size();
    }
    CloseHandle(h);
    return ok ? 0 : kErrNotAccessible;
  }
  return kErrNotAccessible;
}

bool HasWildcards(std::string_view p) { return p.find_first_of("*?") != std::string_view::npos; }

bool EndsWithSlash(std::string_view p) { return !p.empty() && (p.back() == '\\' || p.back() == '/'); }

bool NamesDevice(std::string_view p) {
  if (StartsWith(p, "\\\\.\\") || StartsWith(p, "//./")) return true;
  std::string name = Upper(NamePart(p));
  // Trailing blanks and dots are ignored by the platform ("NUL ." is NUL).
  while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
  const size_t dot = name.find('.');
  if (dot != std::string::npos) name.resize(dot);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"};
  for (const char* n : kNames)
    if (name == n) return true;
  if (name.size() == 4 && (StartsWith(name, "COM") || StartsWith(name, "LPT")) && name[3] >= '1' && name[3] <= '9')
    return true;
  return false;
}

int CheckUsablePath(std::string_view p) {
  if (p.size() > kMaxPathChars || NamesDevice(p)) return kErrLocalFile;
  return 0;
}

std::string FolderPart(std::string_view p) {
  const size_t s = p.find_last_of("\\/");
  if (s != std::string_view::npos) return std::string(p.substr(0, s + 1));
  if (p.size() >= 2 && p[1] == ':') return std::string(p.substr(0, 2));
  return std::string();
}

std::string NamePart(std::string_view p) { return std::string(p.substr(FolderPart(p).size())); }

std::string FullPathName(const std::string& path) {
  char buf[MAX_PATH * 2];
  char* filePart = nullptr;
  const DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, &filePart);
  if (n == 0 || n >= sizeof buf) return path;
  return std::string(buf, n);
}

bool PathInside(const std::string& child, const std::string& parent) {
  std::string c = Upper(FullPathName(child)), p = Upper(FullPathName(parent));
  ReplaceAll(c, "/", "\\");
  ReplaceAll(p, "/", "\\");
  while (c.size() > 3 && c.back() == '\\') c.pop_back();
  while (p.size() > 3 && p.back() == '\\') p.pop_back();
  if (c == p) return true;
  if (p.empty()) return false;
  if (p.back() != '\\') p += '\\';
  return StartsWith(c, p);
}

namespace {

// Volume serial and file index of an existing file or folder.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  return ok;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  if (GetFileAttributesA(a.c_str()) == INVALID_FILE_ATTRIBUTES ||
      GetFileAttributesA(b.c_str()) == INVALID_FILE_ATTRIBUTES)
    return false;
  if (EqualsNoCase(FullPathName(a), FullPathName(b))) return true;
  BY_HANDLE_FILE_INFORMATION ia{}, ib{};
  if (!FileIdentity(a, ia) || !FileIdentity(b, ib)) return false;
  // Some file systems report no index at all; the names decided above then.
  if (ia.nFileIndexHigh == 0 && ia.nFileIndexLow == 0) return false;
  return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
         ia.nFileIndexLow == ib.nFileIndexLow;
}

std::vector<FoundEntry> FindEntries(const std::string& pattern, bool files, bool folders) {
  std::vector<FoundEntry> out;
  const std::string namePattern = NamePart(pattern);
  const bool wild = HasWildcards(namePattern);
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return out;
  do {
    const std::string_view n = fd.cFileName;
    if (n == "." || n == "..") continue;
    const bool isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder ? !folders : !files) continue;
    if (wild && !NameMatches(n, namePattern)) continue;
    FoundEntry e;
    e.name.assign(n);
    e.attributes = fd.dwFileAttributes;
    e.size = (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    e.writeLow = fd.ftLastWriteTime.dwLowDateTime;
    e.writeHigh = fd.ftLastWriteTime.dwHighDateTime;
    out.push_back(std::move(e));
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return out;
}

bool FileSize64(const std::string& path, uint64_t& size) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d)) return false;
  if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  size = (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  return true;
}

std::string FileTimeText(uint32_t low, uint32_t high) {
  FILETIME utc{low, high}, local;
  SYSTEMTIME t{};
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t)) return std::string();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04u/%02u/%02u_%02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond);
  return buf;
}

}  // namespace kes
