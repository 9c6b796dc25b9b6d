#include "interp/workfile.h"

#include <windows.h>

namespace kes {

// Files larger than this are refused rather than exhausting memory.
constexpr DWORD kMaxFileBytes = 64u * 1024u * 1024u;

int ReadFileBytes(const std::string& path, std::string& out, bool shareWrite) {
  out.clear();
  if (path.empty()) return kErrUsage;
  const DWORD attr = GetFileAttributesA(path.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES) return LanguageError(GetLastError(), WinErrorUse::Open);
  if (attr & FILE_ATTRIBUTE_DIRECTORY) return kErrNotFound;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | (shareWrite ? FILE_SHARE_WRITE : 0), nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LanguageError(GetLastError(), WinErrorUse::Open);
  DWORD high = 0;
  const DWORD size = GetFileSize(h, &high);
  if (high != 0 || size > kMaxFileBytes) {
    CloseHandle(h);
    return kErrOutOfMemory;
  }
  out.resize(size);
  DWORD got = 0;
  const BOOL ok = size == 0 || ReadFile(h, &out[0], size, &got, nullptr);
  CloseHandle(h);
  if (!ok) return kErrNotAccessible;
  out.resize(got);
  return 0;
}

int ReplaceThroughWorkFile(const std::string& path, std::string_view bytes) {
  const size_t slash = path.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string work = folder + std::to_string(GetCurrentProcessId()) + "_Kvt.tmp";
  // A read-only file is not edited (the move would replace it on some
  // systems and be refused on others).
  const DWORD attr = GetFileAttributesA(path.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY)) return kErrNotAccessible;
  HANDLE h = CreateFileA(work.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LanguageError(GetLastError(), WinErrorUse::Open);
  DWORD w = 0;
  bool ok = bytes.empty() || (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &w, nullptr) &&
                              w == bytes.size());
  ok = FlushFileBuffers(h) && ok;
  CloseHandle(h);
  if (ok) ok = MoveFileExA(work.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) {
    DeleteFileA(work.c_str());
    return kErrNotAccessible;
  }
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
    SetFileAttributesA(path.c_str(), attr);
  return 0;
}

}  // namespace kes
