// Process entry of Kestrova.exe.
#include <windows.h>

#include "startup/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { kes::ProcessEntry(); }
