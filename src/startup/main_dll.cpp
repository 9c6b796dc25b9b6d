// Kestrova.DLL, the DLL form of the interpreter. Its one entry point follows
// the rundll32 convention:
//   rundll32 Kestrova.DLL,Run script.kes arguments
// runs like "Kestrova.exe script.kes arguments"; a DLL written by CREATEDLL
// runs its own package. The exit sequence ends the hosting process with the
// script's exit code, as it ends Kestrova.exe.
#include <windows.h>

#include <string>

#include "packaging/package.h"
#include "startup/startup.h"

extern "C" __declspec(dllexport) void CALLBACK Run(HWND, HINSTANCE, LPSTR arguments, int) {
  const std::string commandLine = "\"" + kes::ImageFilePath() + "\" " + (arguments ? arguments : "");
  kes::ProcessEntry(commandLine.c_str());
}
