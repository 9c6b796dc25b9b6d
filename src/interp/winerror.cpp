// The translation of Windows error numbers into language codes.
#include <windows.h>

#include "interp/errors.h"

namespace kes {

namespace {

int32_t FileUse(unsigned long e) {
  switch (e) {
    case 0: return kErrNone;
    case ERROR_FILE_NOT_FOUND: return kErrNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_NET_RESP:
    case ERROR_DEV_NOT_EXIST: return kErrNotReachable;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_CURRENT_DIRECTORY:
    case ERROR_DIR_NOT_EMPTY: return kErrNotAccessible;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return kErrFileExists;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return kErrDiskFull;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_PARAMETER: return kErrLocalFile;
    case ERROR_NOT_SAME_DEVICE: return kErrAcrossDisks;
    case ERROR_NOT_READY: return kErrDiskNotReady;
    case ERROR_WRITE_PROTECT: return kErrPermissionDenied;
    default: return static_cast<int32_t>(e);
  }
}

int32_t FolderUse(unsigned long e) {
  switch (e) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME: return kErrNotReachable;
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY: return kErrDeviceUnavailable;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_DIR_NOT_EMPTY:
    case ERROR_CURRENT_DIRECTORY: return kErrNotAccessible;
    default: return FileUse(e);
  }
}

}  // namespace

int32_t LanguageError(unsigned long e, WinErrorUse use) {
  switch (use) {
    case WinErrorUse::File: return FileUse(e);
    case WinErrorUse::Folder: return FolderUse(e);
    case WinErrorUse::Drive:
      return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? kErrDeviceUnavailable : FolderUse(e);
    case WinErrorUse::Open:
      if (e == ERROR_FILE_NOT_FOUND) return kErrNotFound;
      if (e == ERROR_PATH_NOT_FOUND || e == ERROR_BAD_NETPATH || e == ERROR_INVALID_DRIVE) return kErrNotReachable;
      return kErrNotAccessible;
  }
  return FileUse(e);
}

}  // namespace kes
