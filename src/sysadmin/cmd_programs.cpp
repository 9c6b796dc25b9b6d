// Running programs and tasks: RUN and its family, RUNEXIT, SHELL, PRIORITY,
// the task commands (KILL, TASKLIST, WAITTASK, PREVINSTANCE), CPUTIME,
// CALLDLL and the ADMIN block.
#include <windows.h>

#include <shellapi.h>

#include "automation/winsearch.h"
#include "interp/commands.h"
#include "startup/childmode.h"
#include "sysadmin/calldll.h"
#include "sysadmin/launcher.h"
#include "sysadmin/tasks.h"

namespace kes {

namespace {

bool ProgramFileName(std::string_view a) {
  const std::string l = Lower(a);
  for (const char* ext : {".exe", ".com", ".mod", ".scr"})
    if (l.find(ext) != std::string::npos) return true;
  return false;
}

// A process ID written as a number above 0; 0 otherwise.
uint32_t ProcessIdArgument(std::string_view a) {
  if (!AllDigits(a) || a.size() > 10) return 0;
  const int64_t v = ValInt64(a);
  return v > 0 && v <= 0xFFFFFFFFLL ? static_cast<uint32_t>(v) : 0;
}

// Waits with the windows answering until done(), a stop request or the
// trace window's "Force wait".
template <class Done>
void WaitUntil(Interp& in, Done done) {
  while (!done()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    PumpMessages();
    if (WaitEnds(in)) return;
  }
}

}  // namespace

// RUN, RUNWAIT: the answer is the new process ID.
void CmdRun(Interp& in, Ctx& c) {
  LaunchRequest r;
  r.text = in.line.args;
  r.wait = c.Word<RunWord>() == RunWord::RunWait;
  in.line.result = IntText(Launch(in, r).pid);
}

// RUNDOS: hidden, through the command interpreter, captured, waited for.
void CmdRunDos(Interp& in, Ctx&) {
  const bool capture = in.sw.stdinout, mask = in.sw.mask;
  in.sw.stdinout = true;
  in.sw.mask = true;
  LaunchRequest r;
  r.text = in.line.args;
  r.wait = true;
  const LaunchResult res = Launch(in, r);
  in.sw.stdinout = capture;
  in.sw.mask = mask;
  in.line.result = IntText(static_cast<int32_t>(res.exitCode));
}

// RUNNT, RUNNTWAIT, RUNADMIN, RUNADMINWAIT: account, domain, password and
// the command line.
void CmdRunAccount(Interp& in, Ctx& c) {
  if (in.run.adminCollecting) {
    in.err.code = kErrRefused;
    return;
  }
  LaunchRequest r;
  r.text = in.line.args;
  r.account = true;
  const RunAccountWord w = c.Word<RunAccountWord>();
  r.wait = w == RunAccountWord::RunNtWait || w == RunAccountWord::RunAdminWait;
  in.line.result = IntText(Launch(in, r).pid);
}

// RUNEXIT: a command for the end of the run; the list starts with "CD\".
void CmdRunExit(Interp& in, Ctx&) {
  const std::string c = Trim(in.line.args);
  if (c.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  auto& list = in.mach.exitCommands;
  if (list.empty()) list.emplace_back("CD\\");
  list.push_back(c);
}

// SHELL file,verb: the file opened by its program with the verb ("Open").
void CmdShell(Interp& in, Ctx&) {
  const std::string file = FieldCount(in) > 0 ? FieldUnquoted(in, 1) : std::string();
  std::string verb = Trim(Field(in, 2));
  if (verb.empty()) verb = "Open";
  ShellExecuteA(nullptr, verb.c_str(), file.c_str(), nullptr, nullptr, in.sw.mask ? SW_HIDE : SW_SHOWNORMAL);
}

// PRIORITY HIGH|NORMAL|IDLE: the interpreter's class, kept for later programs.
void CmdPriority(Interp& in, Ctx&) {
  const std::string& w = in.line.second;
  DWORD cls;
  if (w == "HIGH") cls = HIGH_PRIORITY_CLASS;
  else if (w == "NORMAL") cls = NORMAL_PRIORITY_CLASS;
  else if (w == "IDLE") cls = IDLE_PRIORITY_CLASS;
  else {
    in.err.code = kErrUsage;
    return;
  }
  in.mach.priority = static_cast<int>(cls);
  HANDLE h = OpenProcess(PROCESS_SET_INFORMATION, TRUE, GetCurrentProcessId());
  in.err.code = h && SetPriorityClass(h, cls) ? 0 : static_cast<int32_t>(GetLastError());
  if (h) CloseHandle(h);
}

// CPUTIME pid: the low 32 bits of the kernel-mode time, in 100 ns units.
void CmdCpuTime(Interp& in, Ctx&) {
  const uint32_t pid = static_cast<uint32_t>(ValInt64(WholeArg(in)));
  HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
  FILETIME created, exited, kernel, user;
  if (!h || !GetProcessTimes(h, &created, &exited, &kernel, &user)) {
    if (h) CloseHandle(h);
    in.err.code = kErrUsage;
    in.line.result = "0";
    return;
  }
  CloseHandle(h);
  in.line.result = IntText(static_cast<int32_t>(kernel.dwLowDateTime));
}

// KILL, TASKLIST, WAITTASK, PREVINSTANCE.
void CmdTasks(Interp& in, Ctx& c) {
  const TaskWord word = c.Word<TaskWord>();
  if (word == TaskWord::TaskList) {
    EnumerateProcesses(in);
    const ProgramState& p = in.programs;
    in.vars.Sys(SysList::TASKLIST) = p.taskNames;
    auto& ids = in.vars.Sys(SysList::TASKRUN);
    ids.clear();
    ids.reserve(p.taskIds.size());
    for (const uint32_t id : p.taskIds) ids.push_back(IntText(id));
    in.line.result = IntText(static_cast<int64_t>(p.taskNames.size()));
    in.line.secondResult = true;
    return;
  }
  if (word == TaskWord::PrevInstance) {
    EnumerateProcesses(in);
    std::string self = in.mach.exePath;
    const size_t bs = self.rfind('\\');
    if (bs != std::string::npos) self.erase(0, bs + 1);
    const ProgramState& p = in.programs;
    size_t copies = 0;
    uint32_t other = 0;
    for (size_t i = 0; i < p.taskNames.size(); ++i) {
      if (!EqualsNoCase(p.taskNames[i], self)) continue;
      ++copies;
      if (!other && p.taskIds[i] != in.mach.pid) other = p.taskIds[i];
    }
    in.line.result = copies >= 2 ? IntText(other) : std::string("0");
    return;
  }
  // KILL and WAITTASK: a program file name, a process ID or a window title.
  const std::string a = WholeArg(in);
  const bool kill = word == TaskWord::Kill;
  if (a.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  uint32_t pid = ProcessIdArgument(a);
  if (!pid && !ProgramFileName(a)) {
    if (kill) {
      HWND w = FindWindowByTitle(a);
      if (w) PostMessageA(w, WM_QUIT, 0, 0);
      in.err.code = w ? kErrNone : kErrNotFound;
    } else {
      WaitUntil(in, [&] { return FindWindowByTitle(a) == nullptr; });
    }
    return;
  }
  // The interpreter never ends or waits for itself.
  if (pid == in.mach.pid) {
    in.err.code = kErrRefused;
    return;
  }
  if (kill) {
    if (!pid) pid = FindProcessByName(in, a);
    in.err.code = pid ? static_cast<int32_t>(TerminateProcessById(pid)) : kErrNotFound;
  } else if (pid) {
    WaitProcessEnd(in, pid);
  } else {
    WaitUntil(in, [&] { return FindProcessByName(in, a) == 0; });
  }
}

// CALLDLL library,function[,argument...]: without arguments on the line the
// variables ARGDLL1, ARGDLL2... are passed, up to the first one not set.
// The return value goes to ERRORLEVEL; texts come back in ARGDLLn.
void CmdCallDll(Interp& in, Ctx&) {
  const std::string library = FieldUnquoted(in, 1);
  const std::string function = FieldUnquoted(in, 2);
  if (library.empty() || function.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  std::vector<DllArg> args;
  if (FieldCount(in) > 2) {
    for (size_t i = 3; i <= FieldCount(in); ++i) args.push_back(ReadDllArg(Field(in, i), in.sep.quote));
  } else {
    for (size_t i = 1; i <= kMaxDllArgs + 1; ++i) {
      const std::string* v = in.vars.Find("ARGDLL" + std::to_string(i));
      if (!v) break;
      args.push_back(ReadDllArg(*v, in.sep.quote));
    }
  }
  if (args.size() > kMaxDllArgs) {
    in.err.code = kErrUsage;
    return;
  }
  const DllCallResult r = CallLibraryFunction(library, function, args);
  in.err.code = static_cast<int32_t>(r.error);
  if (r.error) return;
  in.err.errorlevel = static_cast<int32_t>(r.value);
  in.line.result = IntText(static_cast<int32_t>(r.value));
  for (size_t i = 0; i < args.size(); ++i)
    if (!args[i].isNumber) SetVariable(in, "ARGDLL" + std::to_string(i + 1), args[i].text);
}

// ADMIN BEGIN ... ADMIN END: the lines between run in a second instance
// under the administrator account.
void CmdAdmin(Interp& in, Ctx&) {
  const std::string& w = in.line.second;
  if (w == "BEGIN") {
    in.run.adminCollecting = true;
    in.run.adminBlock.clear();
    in.run.adminLines = 0;
    in.run.adminCallsSubs = false;
    in.programs.adminOpen = true;
  } else if (w == "END") {
    if (!in.programs.adminOpen) {
      in.err.code = kErrUsage;
      return;
    }
    in.programs.adminOpen = false;
    if (in.run.adminLines > 0) RunAdminBlock(in);
  } else {
    in.err.code = kErrNoHandler;
  }
}

}  // namespace kes
