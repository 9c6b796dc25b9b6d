#include "sysadmin/fileops.h"

#include <windows.h>

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
    return ok ? 0 : 75;
  }
  return 75;
}

}  // namespace kes
