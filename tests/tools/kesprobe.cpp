// Test program started by the program-running tests: a console program that
// does what its arguments say, in order, and exits.
//
//   kesprobe STEP...
//
// Steps:  out:TEXT        TEXT and CR LF on standard output
//         err:TEXT        TEXT and CR LF on standard error
//         hex:HEX         raw bytes on standard output (e.g. hex:61006200)
//         big:BYTES[:LEN] BYTES bytes of numbered lines LEN long (with CR LF,
//                         default 80) on standard output
//         echo            standard input copied to standard output
//         count           "in BYTES LINES" for standard input
//         arglen          the length of the process command line
//         show            "show FLAGS WSHOWWINDOW" from the start-up record
//         desktop         the desktop named in the start-up record
//         prio            the priority class in hexadecimal
//         cwd             the current folder
//         env:NAME        the value of an environment variable
//         user            the user name
//         pid             the process id
//         write:FILE:TEXT writes TEXT to FILE (created or replaced)
//         window:TITLE[:MS[:FILE]]
//                         opens a window with that title (FILE is written
//                         once it exists) and runs its messages until
//                         WM_QUIT or, with MS, until MS milliseconds have
//                         passed; then "quit" (exit code 7 unless an exit
//                         step follows)
//         quit:THREAD     posts WM_QUIT to a thread (a stop request to an
//                         interpreter)
//         sleep:MS        waits
//         forever         waits until ended from outside
//         exit:N          the exit code (default 0)
// Every output line is flushed at once.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Write(HANDLE h, const std::string& s) {
  DWORD w = 0;
  size_t off = 0;
  while (off < s.size()) {
    if (!WriteFile(h, s.data() + off, static_cast<DWORD>(s.size() - off), &w, nullptr) || w == 0) return;
    off += w;
  }
}

std::string outFile;

void Out(const std::string& s) {
  if (outFile.empty()) {
    Write(GetStdHandle(STD_OUTPUT_HANDLE), s + "\r\n");
    return;
  }
  HANDLE h = CreateFileA(outFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  Write(h, s + "\r\n");
  CloseHandle(h);
}

std::string ReadAllInput() {
  std::string all;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buf, sizeof buf, &got, nullptr) && got > 0) all.append(buf, got);
  return all;
}

void Big(const char* form) {
  const unsigned long long total = std::strtoull(form, nullptr, 10);
  const char* colon = std::strchr(form, ':');
  unsigned len = colon ? static_cast<unsigned>(std::strtoul(colon + 1, nullptr, 10)) : 80;
  if (len < 12) len = 12;
  std::string block;
  unsigned long long written = 0, lineNo = 0;
  HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
  while (written < total) {
    char head[16];
    std::snprintf(head, sizeof head, "%09llu ", ++lineNo);
    std::string line(head);
    line.append(len - line.size() - 2, static_cast<char>('a' + lineNo % 26));
    line += "\r\n";
    if (total - written < line.size()) line.resize(static_cast<size_t>(total - written));
    block += line;
    written += line.size();
    if (block.size() >= 1 << 20) {
      Write(h, block);
      block.clear();
    }
  }
  Write(h, block);
}

void CALLBACK QuitTimer(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); }

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

int RunWindow(const std::string& form) {
  const size_t c1 = form.find(':');
  const std::string title = form.substr(0, c1);
  const size_t c2 = c1 == std::string::npos ? std::string::npos : form.find(':', c1 + 1);
  const unsigned ms =
      c1 == std::string::npos ? 0 : static_cast<unsigned>(std::strtoul(form.c_str() + c1 + 1, nullptr, 10));
  const std::string ready = c2 == std::string::npos ? std::string() : form.substr(c2 + 1);
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KesProbeWindow";
  RegisterClassA(&wc);
  CreateWindowExA(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                  wc.hInstance, nullptr);
  if (ms) SetTimer(nullptr, 0, ms, QuitTimer);
  if (!ready.empty()) {
    HANDLE h = CreateFileA(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  Out("quit");
  return 7;
}

}  // namespace

int main(int argc, char** argv) {
  int code = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const size_t c = a.find(':');
    const std::string verb = a.substr(0, c);
    const std::string rest = c == std::string::npos ? std::string() : a.substr(c + 1);
    if (verb == "to") {
      outFile = rest;
    } else if (verb == "out") {
      Out(rest);
    } else if (verb == "err") {
      Write(GetStdHandle(STD_ERROR_HANDLE), rest + "\r\n");
    } else if (verb == "hex") {
      std::string bytes;
      for (size_t k = 0; k + 1 < rest.size(); k += 2)
        bytes += static_cast<char>(std::strtoul(rest.substr(k, 2).c_str(), nullptr, 16));
      Write(GetStdHandle(STD_OUTPUT_HANDLE), bytes);
    } else if (verb == "big") {
      Big(rest.c_str());
    } else if (verb == "echo") {
      Write(GetStdHandle(STD_OUTPUT_HANDLE), ReadAllInput());
    } else if (verb == "count") {
      const std::string in = ReadAllInput();
      size_t lines = 0;
      for (char ch : in) lines += ch == '\n';
      Out("in " + std::to_string(in.size()) + " " + std::to_string(lines));
    } else if (verb == "arglen") {
      Out(std::to_string(std::strlen(GetCommandLineA())));
    } else if (verb == "show") {
      STARTUPINFOA si{};
      si.cb = sizeof si;
      GetStartupInfoA(&si);
      Out("show " + std::to_string(si.dwFlags & STARTF_USESHOWWINDOW) + " " + std::to_string(si.wShowWindow));
    } else if (verb == "desktop") {
      STARTUPINFOA si{};
      si.cb = sizeof si;
      GetStartupInfoA(&si);
      Out(std::string("desktop ") + (si.lpDesktop ? si.lpDesktop : "(none)"));
    } else if (verb == "prio") {
      char b[16];
      std::snprintf(b, sizeof b, "%lX", static_cast<unsigned long>(GetPriorityClass(GetCurrentProcess())));
      Out(std::string("prio ") + b);
    } else if (verb == "cwd") {
      char b[MAX_PATH + 1] = {};
      GetCurrentDirectoryA(sizeof b, b);
      Out(b);
    } else if (verb == "env") {
      char b[4096] = {};
      const DWORD n = GetEnvironmentVariableA(rest.c_str(), b, sizeof b);
      Out(n ? b : "(unset)");
    } else if (verb == "user") {
      char b[256] = {};
      DWORD n = sizeof b;
      GetUserNameA(b, &n);
      Out(b);
    } else if (verb == "pid") {
      Out(std::to_string(GetCurrentProcessId()));
    } else if (verb == "write") {
      const size_t k = rest.rfind(':');
      const std::string file = rest.substr(0, k), text = k == std::string::npos ? std::string() : rest.substr(k + 1);
      HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h != INVALID_HANDLE_VALUE) {
        Write(h, text);
        CloseHandle(h);
      }
    } else if (verb == "window") {
      code = RunWindow(rest);
    } else if (verb == "quit") {
      PostThreadMessageA(static_cast<DWORD>(std::strtoul(rest.c_str(), nullptr, 10)), WM_QUIT, 0, 0);
    } else if (verb == "sleep") {
      Sleep(static_cast<DWORD>(std::strtoul(rest.c_str(), nullptr, 10)));
    } else if (verb == "forever") {
      for (;;) Sleep(1000);
    } else if (verb == "exit") {
      code = static_cast<int>(std::strtol(rest.c_str(), nullptr, 10));
    }
  }
  return code;
}
