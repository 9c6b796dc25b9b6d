#include "sysadmin/process.h"

#include <windows.h>

#include <vector>

namespace kes {

unsigned long StartProcess(const std::string& commandLine, bool hidden) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (hidden) {
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
  }
  PROCESS_INFORMATION pi{};
  std::vector<char> cl(commandLine.begin(), commandLine.end());
  cl.push_back('\0');
  if (!CreateProcessA(nullptr, cl.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &si, &pi))
    return GetLastError();
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}

}  // namespace kes
