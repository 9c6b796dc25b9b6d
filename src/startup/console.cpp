#include "startup/console.h"

#include <windows.h>

namespace kes {

namespace {

// Its redirected output, else the parent's console (AttachConsole, Windows
// XP and later, looked up by name); null when there is none.
HANDLE FindConsoleOutput() {
  HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
  if (h && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN) return h;
  using AttachFn = BOOL(WINAPI*)(DWORD);
  const auto attach = reinterpret_cast<AttachFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "AttachConsole")));
  if (!attach || !attach(static_cast<DWORD>(-1))) return nullptr;
  h = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

}  // namespace

void ConsoleWrite(std::string_view text) {
  // Looked for once: attaching is done for the whole process.
  static const HANDLE out = FindConsoleOutput();
  if (!out) return;
  size_t done = 0;
  while (done < text.size()) {
    DWORD n = 0;
    if (!WriteFile(out, text.data() + done, static_cast<DWORD>(text.size() - done), &n, nullptr) || n == 0) return;
    done += n;
  }
}

}  // namespace kes
