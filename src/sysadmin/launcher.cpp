#include "sysadmin/launcher.h"

#include <windows.h>

#include <optional>

#include "automation/session.h"
#include "interp/dispatcher.h"
#include "sysadmin/launch_text.h"
#include "sysadmin/registry.h"

namespace kes {

namespace {

// Test switch: KES_TEST_LOGON=fail makes the logon calls fail (LogonUserA,
// CreateProcessWithLogonW); KES_TEST_LOGON=self makes the account path start
// the program with CreateProcessA under the own account (in place of
// CreateProcessWithLogonW, or of CreateProcessAsUserA with the same
// arguments), so the rest of the path runs where the logon calls are stubs.
// Read from the process environment at each start.
std::string LogonSwitch() {
  char b[16] = {};
  const DWORD n = GetEnvironmentVariableA("KES_TEST_LOGON", b, sizeof b);
  return n > 0 && n < sizeof b ? Lower(b) : std::string();
}

std::wstring Wide(const std::string& s) {
  if (s.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
  return w;
}

std::string CurrentEnvironmentBlock() {
  LPCH env = GetEnvironmentStringsA();
  if (!env) return EnvironmentBlock("");
  const char* p = env;
  while (*p) p += lstrlenA(p) + 1;
  const std::string block = EnvironmentBlock(std::string_view(env, static_cast<size_t>(p - env)));
  FreeEnvironmentStringsA(env);
  return block;
}

std::string InputFileName(const Interp& in) {
  std::string f = in.mach.workTmp;
  if (f.size() >= 4) f.replace(f.size() - 4, 4, ".in");
  return f;
}

bool WriteWholeFile(const std::string& path, std::string text) {
  // The program reads its input in the OEM code page, as ECHO would give it.
  if (!text.empty()) CharToOemBuffA(text.data(), &text[0], static_cast<DWORD>(text.size()));
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD w = 0;
  const BOOL ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &w, nullptr);
  CloseHandle(h);
  return ok && w == text.size();
}

bool HasHighBytes(const char* p, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (static_cast<unsigned char>(p[i]) >= 0x80) return true;
  return false;
}

void OemToAnsi(char* p, size_t n) {
  if (n && HasHighBytes(p, n)) OemToCharBuffA(p, p, static_cast<DWORD>(n));
}

// A capture file, read while the program still writes it, so the lines are
// ready when it ends. Opened once it exists (the shell creates it); never
// before, so the shell's own open is not in its way.
class CaptureFile {
 public:
  CaptureFile(const std::string& path, std::vector<std::string>& lines) : path_(path), lines_(lines, OemToAnsi) {}
  CaptureFile(const CaptureFile&) = delete;
  CaptureFile& operator=(const CaptureFile&) = delete;
  ~CaptureFile() { Close(); }

  // Takes what has arrived since the last call.
  void Poll() {
    if (h_ == INVALID_HANDLE_VALUE) {
      h_ = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
      if (h_ == INVALID_HANDLE_VALUE) return;
    }
    char* buf = TransferBuffer();
    DWORD got = 0;
    while (ReadFile(h_, buf, kTransferBufferSize, &got, nullptr) && got > 0) lines_.Feed(buf, got);
  }
  // The rest, then the file is deleted. A file that was never there is
  // skipped.
  void Finish() {
    Poll();
    lines_.Finish();
    if (h_ == INVALID_HANDLE_VALUE) return;
    Close();
    DeleteFileA(path_.c_str());
  }

 private:
  void Close() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }
  std::string path_;
  LineAssembler lines_;
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

// The lists that receive a capture: the request's own, or STDOUT and STDERR.
std::vector<std::string>& CaptureList(Interp& in, std::vector<std::string>* own, SysList list) {
  std::vector<std::string>& lines = own ? *own : in.vars.Sys(list);
  lines.clear();
  lines.shrink_to_fit();
  return lines;
}

// The desktop's security opened to everyone, so a program of another
// account can show its windows on it. 0 or the Windows error.
DWORD OpenDesktopToAll() {
  HDESK desk = GetThreadDesktop(GetCurrentThreadId());
  SECURITY_DESCRIPTOR sd;
  SetLastError(0);
  if (!InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE))
    return GetLastError() ? GetLastError() : 1;
  SECURITY_INFORMATION si = DACL_SECURITY_INFORMATION;
  if (!SetUserObjectSecurity(desk, &si, &sd)) return GetLastError() ? GetLastError() : 1;
  return 0;
}

using CreateWithLogonFn = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, DWORD, LPCWSTR, LPWSTR, DWORD, LPVOID, LPCWSTR,
                                        LPSTARTUPINFOW, LPPROCESS_INFORMATION);

struct Credentials {
  std::string user, domain, password;
};

// The account path. Returns false with in.err.code set when nothing started.
bool StartUnderAccount(Interp& in, Credentials c, const std::string& commandLine, int show, std::string& envBlock,
                       const std::string& folder, PROCESS_INFORMATION& pi) {
  if (!in.programs.adminAccount.empty()) {
    c.user = Trim(in.programs.adminAccount);
    c.domain = Trim(in.programs.adminDomain);
    c.password = Trim(in.programs.adminPassword);
  }
  if (commandLine.empty()) {
    in.err.code = kErrNotFound;
    return false;
  }
  const std::string& user = c.user;
  const std::string& domain = c.domain;
  const std::string& password = c.password;
  const std::string logonSwitch = LogonSwitch();
  HANDLE token = nullptr;
  if (!in.mach.build2000) {
    if (logonSwitch == "fail" || !LogonUserA(user.c_str(), domain.c_str(), password.c_str(), LOGON32_LOGON_INTERACTIVE,
                                             LOGON32_PROVIDER_DEFAULT, &token)) {
      in.err.code = kErrLogon;
      return false;
    }
  }
  const DWORD deskError = OpenDesktopToAll();
  if (deskError) {
    in.err.code = static_cast<int32_t>(deskError);
    if (token) CloseHandle(token);
    return false;
  }
  BOOL ok = FALSE;
  if (in.mach.build2000) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(show);
    std::wstring wcl = Wide(commandLine);
    wcl.push_back(L'\0');
    const std::wstring wfolder = Wide(folder);
    auto fn = reinterpret_cast<CreateWithLogonFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "CreateProcessWithLogonW")));
    if (logonSwitch == "self") {
      STARTUPINFOA sa{};
      sa.cb = sizeof sa;
      sa.dwFlags = STARTF_USESHOWWINDOW;
      sa.wShowWindow = static_cast<WORD>(show);
      std::string cl = commandLine;
      ok = CreateProcessA(nullptr, &cl[0], nullptr, nullptr, FALSE, 0x230, nullptr, folder.c_str(), &sa, &pi);
    } else if (fn && logonSwitch != "fail") {
      ok = fn(Wide(user).c_str(), Wide(domain).c_str(), Wide(password).c_str(), in.sw.profile ? 1 : 0, nullptr, &wcl[0],
              0x230, nullptr, wfolder.c_str(), &si, &pi);
    }
  } else {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(show);
    char desktop[] = "winsta0\\default";
    si.lpDesktop = desktop;
    std::string cl = commandLine;
    ok = logonSwitch == "self"
             ? CreateProcessA(nullptr, &cl[0], nullptr, nullptr, TRUE, 0x30, envBlock.data(), folder.c_str(), &si, &pi)
             : CreateProcessAsUserA(token, nullptr, &cl[0], nullptr, nullptr, TRUE, 0x30, envBlock.data(),
                                    folder.c_str(), &si, &pi);
  }
  RevertToSelf();
  if (token) CloseHandle(token);
  if (!ok) {
    in.err.code = kErrNotFound;
    return false;
  }
  return true;
}

bool StartPlain(Interp& in, std::string commandLine, int show, std::string& envBlock, const std::string& folder,
                PROCESS_INFORMATION& pi) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(show);
  std::string name = InputDesktopName(in.mach.build2000);
  std::string desktop = "winsta0\\" + (name.empty() ? std::string("winlogon") : name);
  si.lpDesktop = &desktop[0];
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0x230, envBlock.data(), folder.c_str(), &si,
                      &pi)) {
    in.err.code = kErrNotFound;
    return false;
  }
  return true;
}

}  // namespace

uint32_t LastStartedProcess(const Interp& in) { return in.programs.lastPid; }
void SetLastStartedProcess(Interp& in, uint32_t pid) { in.programs.lastPid = pid; }

void RemoveLauncherFiles(Interp& in) {
  if (in.programs.inputFileLeft && DeleteFileA(InputFileName(in).c_str())) in.programs.inputFileLeft = false;
}

LaunchResult Launch(Interp& in, const LaunchRequest& r) {
  LaunchResult res;
  // 1
  const std::string text = Trim(r.text);
  if (text.empty()) {
    in.err.code = kErrUsage;
    return res;
  }
  const std::string folder = in.folders.run.empty() ? std::string(".") : in.folders.run;
  const bool capture = r.capture == CaptureMode::On || (r.capture == CaptureMode::Switch && in.sw.stdinout);

  // The account commands' fields (on the 9x line only the command line is used).
  Credentials creds;
  std::string commandLine = text;
  if (r.account && r.explicitCredentials) {
    creds = {r.user, r.domain, r.password};
  } else if (r.account) {
    AccountFields a = SplitAccountText(text, in.Sep(), in.sep.quote);
    creds = {std::move(a.account), std::move(a.domain), std::move(a.password)};
    commandLine = std::move(a.commandLine);
  }

  // 2: capture preparation, on the command line itself
  bool inputFile = false;
  if (capture && !commandLine.empty()) {
    CaptureFiles f;
    f.prefix = in.mach.shellCommand;
    f.out = in.mach.workTmp;
    f.err = in.mach.workErr;
    f.in = InputFileName(in);
    f.isNT = in.mach.isNT;
    CaptureCommand c = PrepareCapture(commandLine, Trim(GetVariable(in, "STDIN")), f);
    if (c.inputFile) {
      if (!WriteWholeFile(f.in, c.inputText)) {
        in.err.code = kErrNotAccessible;
        return res;
      }
      inputFile = true;
      in.programs.inputFileLeft = true;
    }
    commandLine = std::move(c.commandLine);
  }

  // cmd.exe takes no more than 8,191 characters: a longer line for it is
  // refused here rather than handed to a shell that cannot run it.
  if (in.mach.isNT && commandLine.size() > kShellLineLimit &&
      FindNoCase(commandLine, in.mach.shellCommand) != std::string::npos) {
    if (inputFile) RemoveLauncherFiles(in);
    in.err.code = kErrNotFound;
    return res;
  }

  if (capture) {
    // a file left by an earlier run must not be taken for this one's
    DeleteFileA(in.mach.workTmp.c_str());
    DeleteFileA(in.mach.workErr.c_str());
  }

  // 3: show state
  const int show = r.show == 99 ? 1 : (in.sw.mask ? 0 : r.show);
  // 4
  std::string envBlock = CurrentEnvironmentBlock();

  PROCESS_INFORMATION pi{};
  const bool started = r.account && in.mach.isNT
                           ? StartUnderAccount(in, std::move(creds), commandLine, show, envBlock, folder, pi)
                           : StartPlain(in, commandLine, show, envBlock, folder, pi);
  envBlock.clear();
  if (!started) {
    if (inputFile) RemoveLauncherFiles(in);
    return res;
  }
  // 8
  res.pid = pi.dwProcessId;
  in.programs.lastPid = pi.dwProcessId;
  SetPriorityClass(pi.hProcess, static_cast<DWORD>(in.mach.priority));

  // 9-10: the wait keeps the windows answering and gives way to a stop
  // request or the trace's "Force wait"; captured output is read as it
  // arrives
  std::optional<CaptureFile> out, err;
  if (capture) {
    out.emplace(in.mach.workTmp, CaptureList(in, r.outLines, SysList::STDOUT));
    if (in.mach.isNT) err.emplace(in.mach.workErr, CaptureList(in, r.errLines, SysList::STDERR));
  }
  if (r.wait || capture) {
    for (;;) {
      MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 20, QS_ALLINPUT);
      PumpMessages();
      if (out) out->Poll();
      if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) {
        res.ended = true;
        break;
      }
      if (WaitEnds(in)) break;
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    res.exitCode = code;
    if (r.setErrorlevel) in.err.errorlevel = static_cast<int32_t>(code);
  }
  if (out) {
    out->Finish();
    if (!r.outLines) SetVariable(in, "NSTDOUT", IntText(static_cast<int64_t>(in.vars.Sys(SysList::STDOUT).size())));
  }
  if (err) {
    err->Finish();
    if (!r.errLines) SetVariable(in, "NSTDERR", IntText(static_cast<int64_t>(in.vars.Sys(SysList::STDERR).size())));
  }
  if (inputFile && res.ended) RemoveLauncherFiles(in);
  // 11
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return res;
}

}  // namespace kes
