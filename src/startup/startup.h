// Process start: the machine description, the command line and the run.
#pragma once

#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// The interpreter core's view of Windows, installed in K().
System& TheWindowsSystem();

// Runs start-up, the command line's script and the exit sequence. The DLL
// form passes the command line it was given.
[[noreturn]] void ProcessEntry(const char* commandLine = nullptr);

// The six numbers of the package descriptor stored in the executable.
void ReadPackageDescriptor(MachineInfo& m);

// What the command line asks to run, after the executable path.
struct CommandLineRun {
  std::string source;        // runner source: a script, "$$", or a package
  std::string commandText;   // the lines of "/C " with "&&" turned into line breaks
  bool traceAtStart = false;
  std::string traceFile;  // TRACEFILE=path
  bool plugin = false;
  bool check = false;  // /CHECK script[,report]: the source is what follows the word
};
CommandLineRun AnalyseCommandLine(const MachineInfo& m, std::string_view arguments);

// Kestrova.exe /CHECK: checks the script named by `request` (script[,report]),
// writes the report to the console it was started from and to the report
// file, and ends the process with the number of problems as exit code.
[[noreturn]] void RunCheck(Interp& in, std::string_view request);

// Splits a process command line into the executable path and the rest.
void SplitExecutablePath(std::string_view commandLine, std::string& exePath, std::string& arguments);

// LOGONSERVER when the environment gives none: "\\" and the server of a
// UNC executable path, else the computer name.
std::string DefaultLogonServer(std::string_view exePath, std::string_view computer);
// SCRIPTSERVER: the server of a UNC executable folder, else the folder
// without its trailing "\".
std::string ScriptServer(std::string_view exeFolder);

}  // namespace kes
