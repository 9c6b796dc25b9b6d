#include "sysadmin/netapi.h"

#include "interp/text.h"

namespace kes {

void NetApi::Free(void* buffer) const {
  using FreeFn = DWORD(WINAPI*)(void*);
  if (!buffer) return;
  if (const auto f = Get<FreeFn>("NetApiBufferFree")) f(buffer);
}

bool NetTestSwitch(const char* word) {
  char b[128] = {};
  const DWORD n = GetEnvironmentVariableA("KES_TEST_NET", b, sizeof b);
  if (n == 0 || n >= sizeof b) return false;
  for (const std::string& w : SplitPlain(b, ","))
    if (EqualsNoCase(Trim(w), word)) return true;
  return false;
}

std::wstring WideFromAnsi(const std::string& s) {
  if (s.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string AnsiFromWide(const wchar_t* w) {
  if (!w || !*w) return std::string();
  const int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return std::string();
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w, -1, s.data(), n, nullptr, nullptr);
  s.resize(static_cast<size_t>(n - 1));
  return s;
}

}  // namespace kes
