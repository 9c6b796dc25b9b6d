#include "startup/startup.h"

#include <windows.h>
#include <lm.h>

#include "boxes/box_kinds.h"
#include "boxes/boxes.h"
#include "interp/dispatcher.h"
#include "packaging/package.h"
#include "startup/childmode.h"
#include "startup/runner.h"
#include "sysadmin/fileops.h"
#include "sysadmin/registry.h"
#include "trace/trace.h"

namespace kes {

Interp& K() {
  static Interp* in = [] {
    Interp* i = new Interp();  // lives until the process ends
    i->system = &TheWindowsSystem();
    return i;
  }();
  return *in;
}

void SplitExecutablePath(std::string_view cl, std::string& exePath, std::string& arguments) {
  if (!cl.empty() && cl[0] == '"') {
    const size_t q = cl.find('"', 1);
    exePath.assign(cl.substr(1, q == std::string_view::npos ? std::string_view::npos : q - 1));
    arguments.assign(q == std::string_view::npos ? std::string_view() : cl.substr(q + 1));
  } else {
    const size_t sp = cl.find(' ');
    exePath.assign(cl.substr(0, sp));
    arguments.assign(sp == std::string_view::npos ? std::string_view() : cl.substr(sp + 1));
  }
}

CommandLineRun AnalyseCommandLine(const MachineInfo& m, std::string_view arguments) {
  CommandLineRun r;
  std::string args = LTrim(arguments);
  bool commandMode = Upper(std::string_view(args).substr(0, 3)) == "/C ";
  // The checker's word comes first; the rest names the script and report.
  if (!m.packaged && StartsWithNoCase(args, "/CHECK") && (args.size() == 6 || args[6] == ' ')) {
    r.check = true;
    r.source = Trim(std::string_view(args).substr(6));
    return r;
  }
  if (!commandMode && !m.packaged) {
    // TRACEFILE=path (quoted when it holds blanks) records the run in a
    // trace file; the word leaves the arguments.
    const size_t at = FindNoCase(" " + args, " TRACEFILE=");
    if (at != std::string::npos) {
      size_t end = at + 10;
      if (end < args.size() && args[end] == '"') {
        const size_t q = args.find('"', end + 1);
        r.traceFile = args.substr(end + 1, (q == std::string::npos ? args.size() : q) - end - 1);
        end = q == std::string::npos ? args.size() : q + 1;
      } else {
        end = std::min(args.find(' ', end), args.size());
        r.traceFile = args.substr(at + 10, end - at - 10);
      }
      args.erase(at, end - at);
    }
    const std::string T = " " + Upper(TrimView(args)) + " ";
    if (T.find(" TRACE ") != std::string::npos) {
      ReplaceAll(args, "TRACE", "");
      r.traceAtStart = true;
    }
    if (T.find(" IMMEDIATE ") != std::string::npos) {
      args = "/C IMMEDIATE";
      commandMode = true;
    }
  }
  if (m.packaged) {
    r.source = args;
  } else if (TrimView(args).empty()) {
    if (m.pluginBuild) {
      r.source = m.exeFolder + "KESPLUG.KPG";
      r.plugin = true;
    } else {
      r.source = m.exeFolder + "Kestrova.INI";
    }
  } else if (commandMode) {
    r.commandText = args.substr(3);
    ReplaceAll(r.commandText, "&&", "\r\n");
    r.source = "$$";
  } else {
    r.source = args;
  }
  return r;
}

std::string DefaultLogonServer(std::string_view exePath, std::string_view computer) {
  std::string server(computer);
  if (StartsWith(exePath, "\\\\")) {
    const auto parts = SplitPlain(exePath, "\\");
    server = parts.size() > 2 ? parts[2] : std::string();
  }
  return "\\\\" + server;
}

std::string ScriptServer(std::string_view exeFolder) {
  if (StartsWith(exeFolder, "\\\\")) {
    const size_t e = exeFolder.find('\\', 2);
    return std::string(exeFolder.substr(2, e == std::string_view::npos ? std::string_view::npos : e - 2));
  }
  std::string home(exeFolder);
  if (!home.empty() && home.back() == '\\') home.pop_back();
  return home;
}

namespace {

std::string EnvValue(const char* name) {
  char buf[4096];
  const DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) return std::string();
  return std::string(buf, n);
}

std::string CurrentFolder() {
  char buf[MAX_PATH + 1];
  const DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
  return n && n < sizeof buf ? std::string(buf, n) : std::string();
}

bool DirectoryExists(const std::string& p) {
  const DWORD a = GetFileAttributesA(p.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// The 9x line keeps the logged-on user only once the shell is up.
void WaitForDesktopShell() {
  for (int i = 0; i < 101; ++i) {
    if (FindWindowA(nullptr, "Program Manager")) return;
    Sleep(200);
  }
}

void ImportEnvironment(Interp& in) {
  char* block = GetEnvironmentStringsA();
  if (!block) return;
  int entry = 0;
  for (const char* p = block; *p && entry < 256; p += std::char_traits<char>::length(p) + 1, ++entry) {
    const std::string_view e(p);
    const size_t eq = e.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string name = Trim(e.substr(0, eq));
    if (name.empty()) continue;
    SetVariable(in, name, e.substr(eq + 1));
  }
  FreeEnvironmentStringsA(block);
}

void DescribeMachine(Interp& in, const std::string& exePathIn) {
  MachineInfo& m = in.mach;

  // 5-6: the executable and the folders around it
  std::string exe = exePathIn;
  if (Lower(exe).find(".exe") == std::string::npos) exe += ".exe";
  m.exePath = exe;
  SetVariable(in, "APP", exe);
  const size_t bs = exe.rfind('\\');
  m.launchFolder = CurrentFolder();
  m.exeFolder = bs == std::string::npos ? m.launchFolder : exe.substr(0, bs);
  if (m.exeFolder.size() >= 2 && m.exeFolder[1] == ':') {
    const std::string drive = m.exeFolder.substr(0, 2);
    SetCurrentDirectoryA((drive + "\\").c_str());
  }
  SetCurrentDirectoryA(m.exeFolder.c_str());
  if (m.exeFolder.empty() || m.exeFolder.back() != '\\') m.exeFolder += '\\';
  {
    std::string file = bs == std::string::npos ? exe : exe.substr(bs + 1);
    m.exeBase = file.substr(0, file.find('.'));
  }

  // 7: the environment becomes configuration variables
  ImportEnvironment(in);

  // 8: system, Windows and temp folders
  char buf[1024];
  UINT n = GetSystemDirectoryA(buf, 128);
  m.systemFolder.assign(buf, n < 128 ? n : 0);
  n = GetWindowsDirectoryA(buf, 128);
  const std::string windir(buf, n < 128 ? n : 0);
  DWORD t = GetTempPathA(sizeof buf, buf);
  std::string temp(buf, t < sizeof buf ? t : 0);
  if (temp.empty() || !DirectoryExists(temp)) {
    temp = windir + "\\temp";
    CreateDirectoryA(temp.c_str(), nullptr);
  }
  if (!temp.empty() && temp.back() == '\\') temp.pop_back();
  m.tempFolder = temp;
  SetVariable(in, "TEMP", temp);

  // 9-10: work files and the cache folder
  m.pid = GetCurrentProcessId();
  const std::string base = temp + "\\" + std::to_string(m.pid);
  m.workTmp = base + "_Kvt.tmp";
  m.workErr = base + "_Kvt.err";
  m.tempPrefix = base + "_";
  SetVariable(in, "PID", std::to_string(m.pid));
  m.cacheFolder = windir.substr(0, 2) + "\\Program Files\\Harrowdale\\Cache";
  MakeFolderTree(m.cacheFolder);

  // 11
  SetVariable(in, "CR", "\r\n");
  SetVariable(in, "EOF", std::string(1, '\x1A'));
  SetVariable(in, "ESC", std::string(1, kEscChar));
  m.userDomain = EnvValue("USERDOMAIN");

  // 12: the operating system
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  GetVersionExA(&v);
  if (v.dwPlatformId == VER_PLATFORM_WIN32_NT) {
    m.isNT = true;
    m.shellCommand = "cmd.exe";
    SetVariable(in, "OSBUILD", std::to_string(v.dwBuildNumber));
    m.build2000 = v.dwBuildNumber >= 2000;
    m.build2600 = v.dwBuildNumber >= 2600;
    const char* osnt = m.build2600 && v.dwMinorVersion == 2 ? "Windows_2003"
                       : m.build2600                         ? "Windows_XP"
                       : m.build2000                         ? "Windows_2000"
                                                             : "Windows_NT";
    SetVariable(in, "OSNT", osnt);
    m.osName = "Windows_NT";
  } else {
    m.isNT = false;
    m.build2000 = m.build2600 = false;
    m.osName = std::string("Windows_") + (v.dwMinorVersion == 0 ? "95" : v.dwMinorVersion > 89 ? "Me" : "98");
    m.shellCommand = "command.com";
  }

  // 13-15: computer and user
  DWORD size = 256;
  char name[1025];
  std::string computer;
  if (GetComputerNameA(name, &size)) computer.assign(name, size);
  while (!computer.empty() && computer.back() == '\0') computer.pop_back();
  std::string user;
  if (!m.isNT) {
    WaitForDesktopShell();
    size = 1024;
    if (GetUserNameA(name, &size)) user.assign(name);
  }
  if (user.empty()) user = EnvValue("USERNAME");
  if (user.empty()) {
    size = 1024;
    if (WNetGetUserA(nullptr, name, &size) == NO_ERROR) user.assign(name);
  }
  if (user.empty()) user = "DEFAULT";

  // 16
  if (m.isNT) SetVariable(in, "SERVICEPACK", v.szCSDVersion);
  SetVariable(in, "OS", m.osName);
  SetVariable(in, "WINDIR", windir);
  m.windowsFolder = windir + "\\";
  SetVariable(in, "USERNAME", user);
  SetVariable(in, "COMPUTERNAME", computer);

  // 17-18: logon server and domain
  if (GetVariable(in, "LOGONSERVER").empty()) SetVariable(in, "LOGONSERVER", DefaultLogonServer(exe, computer));
  if (!m.isNT) {
    SetVariable(in, "LOGONDOMAIN",
                RegistryReadString(in, "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\MSNP32\\NetworkProvider",
                                   "AuthenticatingAgent"));
  } else {
    SetVariable(in, "LOGONDOMAIN", m.userDomain);
  }

  // 19
  m.shellCommand += " /C ";
}

void SetFolderVariables(Interp& in) {
  const MachineInfo& m = in.mach;
  std::string home = m.exeFolder;
  if (!home.empty() && home.back() == '\\') home.pop_back();
  SetVariable(in, "HOMEDIR", home);
  SetVariable(in, "WORKDIR", m.launchFolder);
  SetVariable(in, "SCRIPTSERVER", ScriptServer(m.exeFolder));
}

}  // namespace

[[noreturn]] void ProcessEntry(const char* commandLine) {
  Interp& in = K();
  in.run.levels.reserve(32);
  in.run.frames.reserve(32);

  // 2: never run from a floppy drive
  {
    const std::string cur = CurrentFolder();
    if (!cur.empty() && UpperChar(cur[0]) == 'A') {
      SetCurrentDirectoryA("C:\\");
    }
  }
  // 3
  ReadPackageDescriptor(in.mach);
  in.waits.maxWait = 600;
  in.log.maxSize = 65536;
  in.mach.priority = 32;
  // 4: the initial states of the switches
  static const char* const kInitial[][2] = {{"MANDATORY", "1"}, {"TOP", "1"},      {"CASE", "0"},      {"ESC", "1"},
                                            {"OK", "1"},        {"LOGSTOP", "0"},  {"INTERRUPT", "0"}, {"DRIVE", "0"},
                                            {"CODECALL", "0"},  {"MASK", "0"},     {"CASE", "0"}};
  for (const auto& v : kInitial) SetVariable(in, v[0], v[1]);
  in.sw.top = true;

  // 5: the executable path from the process command line
  std::string cl(commandLine ? commandLine : GetCommandLineA());
  if (cl.size() > 1024) cl.resize(1024);
  std::string exePath, arguments;
  SplitExecutablePath(cl, exePath, arguments);
  {
    // A bare name or relative path is completed from the module itself.
    char mod[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameA(nullptr, mod, sizeof mod);
    if (exePath.find('\\') == std::string::npos && n && n < sizeof mod) exePath.assign(mod, n);
  }
  DescribeMachine(in, exePath);
  // The hidden main window is made by the first box that needs an owner:
  // a script that opens none starts without the window system.

  // 20: child mode
  if (Trim(arguments).rfind('$', 0) == 0) {
    in.mach.childMode = true;
  } else if (GetVariable(in, "ARGDLL1") == std::string(16, '\xFF') + std::string(16, '\xFE')) {
    // Started through the DLL form: the arguments travel in ARGDLL2. The
    // marker goes, so programs started from here are not taken for children.
    arguments = GetVariable(in, "ARGDLL2");
    in.mach.childMode = true;
    for (const char* n : {"ARGDLL1", "ARGDLL2"}) {
      SetEnvironmentVariableA(n, nullptr);
      in.vars.Remove(n);
    }
  }
  if (in.mach.childMode) {
    // The source is "$" and the caller's window handle.
    std::string handle = Trim(arguments);
    if (!handle.empty() && handle[0] == '$') handle.erase(0, 1);
    bool sub = false;
    RunScript(in, "$" + handle, false, sub);
    ExitSequence(in);  // which answers the caller
  }

  // 21: credentials and run-once flag written by the packager
  ApplyPackageOptions(in);
  // 22
  SetFolderVariables(in);

  // Unattended mode: the boxes take their answers from a file named by
  // /ANSWERS (not for a packaged executable, whose arguments are its
  // script's) or by the variable ANSWERFILE.
  {
    std::string answers;
    if (in.mach.packaged || !TakeAnswersWord(arguments, answers)) answers = GetVariable(in, "ANSWERFILE");
    if (!Trim(answers).empty()) LoadAnswerFile(in, answers);
  }

  // 23: what the command line asks for
  const CommandLineRun run = AnalyseCommandLine(in.mach, arguments);
  if (run.check) RunCheck(in, run.source);
  in.mach.traceAtStart = run.traceAtStart;
  if (!run.traceFile.empty()) {
    std::string path = run.traceFile;
    const bool absolute = path.size() > 1 && (path[1] == ':' || path[0] == '\\');
    if (!absolute) path = in.mach.launchFolder + (EndsWith(in.mach.launchFolder, "\\") ? "" : "\\") + path;
    TraceFileOpen(in, path);
  }
  if (run.plugin) in.mach.plugin = true;
  in.run.commandText = run.commandText;
  bool sub = false;
  RunScript(in, run.source, false, sub);
  ExitSequence(in);
}

}  // namespace kes
