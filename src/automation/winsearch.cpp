#include "automation/winsearch.h"

#include "automation/titlematch.h"
#include "interp/dispatcher.h"
#include "interp/text.h"

namespace kes {

namespace {

bool IsSkippedClass(HWND w) {
  char cls[64];
  return GetClassNameA(w, cls, sizeof cls) > 0 && lstrcmpiA(cls, "OleMainThreadWndClass") == 0;
}

// Every window, depth first, to `visit` until it answers false. The list of
// a level is taken before its windows are visited, so a window that closes
// during the walk only drops out of it.
template <class Visit>
bool Walk(HWND parent, Visit& visit) {
  std::vector<HWND> level;
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    level.push_back(w);
    if (level.size() > 100000) break;  // a changing z-order must not hold us
  }
  for (HWND w : level) {
    if (!IsWindow(w) || IsSkippedClass(w)) continue;
    PumpMessages();
    if (!visit(w)) return false;
    if (!Walk(w, visit)) return false;
  }
  return true;
}

}  // namespace

std::string WindowText(HWND w) {
  const int n = GetWindowTextLengthA(w);
  if (n <= 0) return {};
  std::string s(static_cast<size_t>(n) + 1, '\0');
  const int got = GetWindowTextA(w, s.data(), n + 1);
  s.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return s;
}

std::string WindowClass(HWND w) {
  char cls[256];
  const int n = GetClassNameA(w, cls, sizeof cls);
  return std::string(cls, n > 0 ? static_cast<size_t>(n) : 0);
}

std::vector<HWND> FindWindowsByTitle(const TitleSearch& s) {
  const std::string pattern = TitlePattern(s.pattern);
  const std::string parentPattern = TitlePattern(s.parentPattern);
  std::vector<HWND> found;
  if (s.limit == 0) return found;
  auto visit = [&](HWND w) {
    if (!s.includeDisabled && !IsWindowEnabled(w)) return true;
    if (!pattern.empty() && !TitleMatch(WindowText(w), pattern)) return true;
    if (!parentPattern.empty()) {
      HWND p = GetParent(w);
      if (!p || !TitleMatch(WindowText(p), parentPattern)) return true;
    }
    found.push_back(w);
    return found.size() < s.limit;
  };
  Walk(GetDesktopWindow(), visit);
  return found;
}

HWND FindWindowByTitle(std::string_view pattern, std::string_view parentPattern) {
  TitleSearch s;
  s.pattern = pattern;
  s.parentPattern = parentPattern;
  s.limit = 1;
  const auto r = FindWindowsByTitle(s);
  return r.empty() ? nullptr : r.front();
}

std::vector<HWND> FindWindowsByClass(std::string_view cls, int id, std::string_view pattern, size_t limit) {
  const std::string p = TitlePattern(pattern);
  std::vector<HWND> found;
  if (limit == 0) return found;
  auto visit = [&](HWND w) {
    if (!IsWindowEnabled(w)) return true;
    if (!cls.empty() && !EqualsNoCase(WindowClass(w), cls)) return true;
    if (id != 0 && GetDlgCtrlID(w) != id) return true;
    if (!p.empty() && !TitleMatch(WindowText(w), p)) return true;
    found.push_back(w);
    return found.size() < limit;
  };
  Walk(GetDesktopWindow(), visit);
  return found;
}

HWND FirstWindowOfProcess(DWORD pid) {
  for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
    if (ProcessOfWindow(w) == pid && !IsSkippedClass(w)) return w;
  return nullptr;
}

DWORD ProcessOfWindow(HWND w) {
  DWORD pid = 0;
  if (w) GetWindowThreadProcessId(w, &pid);
  return pid;
}

}  // namespace kes
