#include "sysadmin/fileversion.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "interp/errors.h"
#include "interp/text.h"
#include "sysadmin/fileops.h"
#include "sysadmin/sysinfo_text.h"

namespace kes {

namespace {

// The resource items; false when the resource or its root block cannot be
// read.
bool ReadResource(const std::string& file, DWORD size, std::string_view item, std::string_view sep,
                  std::vector<VersionValue>& out) {
  std::vector<char> data(size);
  UINT len = 0;
  VS_FIXEDFILEINFO* fixed = nullptr;
  if (!GetFileVersionInfoA(file.c_str(), 0, size, data.data()) ||
      !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &len) || len < sizeof *fixed)
    return false;
  const auto wanted = [&](std::string_view name) { return item.empty() || Upper(name) == item; };
  std::string translation = "040904E4";
  WORD* pair = nullptr;
  if (VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pair), &len) && len >= 4)
    translation = TranslationText(pair[0], pair[1]);
  if (wanted("LANGUAGE")) {
    char name[256] = {};
    VerLanguageNameA(static_cast<DWORD>(std::strtoul(translation.substr(0, 4).c_str(), nullptr, 16)), name, 256);
    out.push_back({"LANGUAGE", std::string(name) + std::string(sep) + translation});
  }
  for (const char* name : kVersionStringItems) {
    if (!wanted(name)) continue;
    const std::string path = "\\StringFileInfo\\" + translation + "\\" + name;
    char* text = nullptr;
    std::string value;
    if (VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&text), &len) && text)
      value.assign(text, strnlen(text, len < 255 ? len : 255));
    out.push_back({name, value});
  }
  if (wanted("FILE")) out.push_back({"FILE", VersionNumberText(fixed->dwFileVersionMS, fixed->dwFileVersionLS)});
  if (wanted("PRODUCT"))
    out.push_back({"PRODUCT", VersionNumberText(fixed->dwProductVersionMS, fixed->dwProductVersionLS)});
  if (wanted("FLAGS")) out.push_back({"FLAGS", VersionFlagsText(fixed->dwFileFlags)});
  if (wanted("TYPE")) out.push_back({"TYPE", VersionTypeText(fixed->dwFileType, fixed->dwFileSubtype)});
  return true;
}

}  // namespace

int ReadFileVersion(const std::string& file, std::string_view item, std::string_view sep,
                    std::vector<VersionValue>& out) {
  out.clear();
  // Attribute access only: a file in use can still be asked.
  HANDLE h = CreateFileA(file.c_str(), 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return kErrNotFound;
  FILETIME times[3] = {};
  GetFileTime(h, &times[0], &times[1], &times[2]);
  const DWORD size = GetFileSize(h, nullptr);
  CloseHandle(h);
  int code = 0;
  DWORD zero = 0;
  const DWORD resourceSize = GetFileVersionInfoSizeA(file.c_str(), &zero);
  if (resourceSize >= 1 && !ReadResource(file, resourceSize, item, sep, out)) code = kErrUsage;
  if (item.empty()) {
    out.push_back({"SIZE", IntText(size)});
    static const char* const kTimes[] = {"CREATION", "ACCESS", "WRITE"};
    for (int i = 0; i < 3; ++i) out.push_back({kTimes[i], FileTimeText(times[i].dwLowDateTime, times[i].dwHighDateTime)});
  }
  return code;
}

std::string VersionItem(const std::vector<VersionValue>& values, std::string_view name) {
  for (const VersionValue& v : values)
    if (v.name == name) return v.value;
  return std::string();
}

}  // namespace kes
