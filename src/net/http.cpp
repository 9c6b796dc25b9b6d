#include "net/http.h"

#include <windows.h>

namespace kes {

// Scripts are fetched over HTTP once the client exists; until then an
// address has nothing to run.
bool HttpFetchScript(Interp&, std::string_view, std::string& text, std::string& cacheCopy) {
  text.clear();
  cacheCopy.clear();
  return false;
}

bool HttpExists(Interp&, std::string_view) { return false; }

void WriteCacheCopy(const std::string& path, std::string_view bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD w = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &w, nullptr);
  CloseHandle(h);
}

}  // namespace kes
