// The exit sequence: work files, the log, queued exit commands, exit code.
#include <windows.h>

#include "boxes/boxes.h"
#include "interp/log.h"
#include "startup/childmode.h"
#include "startup/runner.h"
#include "sysadmin/launcher.h"

namespace kes {

void CloseOpenFiles(Interp& in);

[[noreturn]] void ExitSequence(Interp& in) {
  MachineInfo& m = in.mach;
  // A child instance answers its caller however its lines end (STOP too).
  ChildModeReturn(in);
  // 1: files extracted from a package and the work file
  for (const auto& f : m.tempFiles)
    if (StartsWith(Upper(f), Upper(m.tempPrefix))) DeleteFileA(f.c_str());
  if (!m.workTmp.empty()) DeleteFileA(m.workTmp.c_str());
  RemoveLauncherFiles(in);
  // 2: a run that logged nothing still leaves its header
  if (in.log.headerPending && !in.log.dir.empty() && in.log.stop == 0) WriteLog(in, "");
  // 3
  CloseOpenFiles(in);
  // 4-6: the exit commands as one command line
  std::string cmd;
  const char* joiner = m.isNT ? " && " : "\r\n";
  for (const auto& c : m.exitCommands) cmd += joiner + c;
  RemoveTrayIcon(in);
  if (m.selfDelete) {
    cmd = "DEL \"" + m.exePath + "\"" + cmd;
  } else if (m.isNT && !cmd.empty()) {
    cmd.erase(0, 4);
  }
  // 7: run them through the shell once this process has gone
  if (!cmd.empty()) {
    if (!m.isNT) {
      std::string bat = m.workTmp;
      if (bat.size() >= 3) bat.replace(bat.size() - 3, 3, "bat");
      std::string body = cmd;
      if (StartsWith(body, "\r\n")) body.erase(0, 2);
      body += "\r\nDEL " + bat + "\r\nEXIT\r\n";
      HANDLE h = CreateFileA(bat.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h != INVALID_HANDLE_VALUE) {
        DWORD w;
        WriteFile(h, body.data(), static_cast<DWORD>(body.size()), &w, nullptr);
        CloseHandle(h);
      }
      cmd = bat + " /P /MSG";
    }
    LaunchRequest r;
    r.text = m.shellCommand + cmd;
    r.show = 0;
    r.capture = CaptureMode::Off;
    Launch(in, r);
  }
  // 8
  const int32_t code = in.err.errorlevel != 0 ? in.err.errorlevel : in.err.code;
  ExitProcess(static_cast<UINT>(code));
}

}  // namespace kes
