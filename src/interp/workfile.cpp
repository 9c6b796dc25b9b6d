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

namespace {
constexpr size_t kWriteBlock = 256 * 1024;
}

int WorkFileWriter::Open(const std::string& target) {
  Abandon();
  failed_ = false;
  target_ = target;
  attributes_ = GetFileAttributesA(target.c_str());
  if (attributes_ != INVALID_FILE_ATTRIBUTES && (attributes_ & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return kErrNotAccessible;
  const size_t slash = target.find_last_of("\\/");
  std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
  if (slash == std::string::npos && target.size() >= 2 && target[1] == ':') folder = target.substr(0, 2);
  const DWORD folderAttr = GetFileAttributesA(folder.c_str());
  if (folderAttr == INVALID_FILE_ATTRIBUTES || !(folderAttr & FILE_ATTRIBUTE_DIRECTORY)) return kErrNotReachable;
  char work[MAX_PATH + 16];
  if (!GetTempFileNameA(folder.c_str(), "Kvt", 0, work)) return LanguageError(GetLastError(), WinErrorUse::Open);
  work_ = work;
  HANDLE h = CreateFileA(work, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const int e = LanguageError(GetLastError(), WinErrorUse::Open);
    DeleteFileA(work);
    work_.clear();
    return e;
  }
  handle_ = h;
  buffer_.reserve(kWriteBlock);
  return 0;
}

bool WorkFileWriter::Flush() {
  if (failed_ || !handle_) return false;
  size_t done = 0;
  while (done < buffer_.size()) {
    DWORD put = 0;
    if (!WriteFile(handle_, buffer_.data() + done, static_cast<DWORD>(buffer_.size() - done), &put, nullptr) ||
        put == 0) {
      failed_ = true;
      return false;
    }
    done += put;
  }
  buffer_.clear();
  return true;
}

bool WorkFileWriter::Write(std::string_view bytes) {
  if (failed_ || !handle_) return false;
  if (buffer_.size() + bytes.size() > kWriteBlock && !Flush()) return false;
  if (bytes.size() < kWriteBlock) {
    buffer_.append(bytes.data(), bytes.size());
    return true;
  }
  // A large piece goes to the file as it is.
  while (!bytes.empty()) {
    DWORD put = 0;
    if (!WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) || put == 0) {
      failed_ = true;
      return false;
    }
    bytes.remove_prefix(put);
  }
  return true;
}

int WorkFileWriter::Commit() {
  if (!handle_) return kErrNotAccessible;
  const bool written = Flush();
  CloseHandle(handle_);
  handle_ = nullptr;
  bool ok = written && MoveFileExA(work_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  if (!ok && written && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
    // Windows 95/98/Me have no MoveFileEx.
    DeleteFileA(target_.c_str());
    ok = MoveFileA(work_.c_str(), target_.c_str()) != 0;
  }
  if (!ok) {
    DeleteFileA(work_.c_str());
    work_.clear();
    return kErrNotAccessible;
  }
  work_.clear();
  if (attributes_ != INVALID_FILE_ATTRIBUTES && (attributes_ & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
    SetFileAttributesA(target_.c_str(), attributes_);
  return 0;
}

void WorkFileWriter::Abandon() {
  if (handle_) CloseHandle(handle_);
  handle_ = nullptr;
  if (!work_.empty()) DeleteFileA(work_.c_str());
  work_.clear();
  buffer_.clear();
}

void WorkFileWriter::DeleteTarget() { DeleteFileA(target_.c_str()); }

int FileReader::Open(const std::string& path) {
  Close();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LanguageError(GetLastError(), WinErrorUse::Open);
  handle_ = h;
  return 0;
}

bool FileReader::Read(std::string& out, size_t max) {
  if (!handle_) return false;
  const size_t old = out.size();
  out.resize(old + max);
  DWORD got = 0;
  const BOOL ok = ReadFile(handle_, &out[old], static_cast<DWORD>(max), &got, nullptr);
  out.resize(old + (ok ? got : 0));
  return ok != 0;
}

void FileReader::Close() {
  if (handle_) CloseHandle(handle_);
  handle_ = nullptr;
}

}  // namespace kes
