// The program launcher: every program the interpreter starts goes through
// Launch (the RUN family, RUNDOS, the account commands, the exit commands,
// EDIT, ADMIN blocks, and the commands of other areas that run a program).
//
// It trims the text (empty: error 1), prepares the capture when asked
// (cmd.exe with ">" and "2>" into the work files, STDIN fed with ECHO or a
// file), chooses the show state, builds the environment block, starts the
// program on the plain path (CreateProcessA on "winsta0\" + the input
// desktop) or the account path (LogonUserA + CreateProcessAsUserA before
// Windows 2000, CreateProcessWithLogonW after), gives it the priority class,
// waits while the windows stay responsive (a stop request ends the wait),
// and reads the captured lines. The error code is left in in.err.code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interp/interp.h"

namespace kes {

enum class CaptureMode { Switch, On, Off };

struct LaunchRequest {
  std::string text;   // the command line (trimmed by the launcher)
  int show = 1;       // show value: 99 always shows, else hidden under MASK ON
  bool wait = false;  // wait for the end; a capture always waits
  CaptureMode capture = CaptureMode::Switch;
  // Account path. Without explicit credentials the text holds account,
  // domain, password and the command line (ADMINACCOUNT... replace them).
  bool account = false;
  bool explicitCredentials = false;
  std::string user, domain, password;
  // Captured lines go here instead of the STDOUT and STDERR lists (and
  // their counts), for commands that read a program's output themselves.
  std::vector<std::string>* outLines = nullptr;
  std::vector<std::string>* errLines = nullptr;
  bool setErrorlevel = true;  // a wait sets ERRORLEVEL to the exit code
};

struct LaunchResult {
  uint32_t pid = 0;       // 0 when nothing was started
  uint32_t exitCode = 0;  // the exit-code holder: 0 unless a wait read it (259: still running)
  bool ended = false;     // a wait saw the program end
};

LaunchResult Launch(Interp& in, const LaunchRequest& r);

// The process most recently started by the launcher or taken by WAITPARENT.
uint32_t LastStartedProcess(const Interp& in);
void SetLastStartedProcess(Interp& in, uint32_t pid);

// Files the launcher may leave behind when a wait was cut short.
void RemoveLauncherFiles(Interp& in);

}  // namespace kes
