// A library without the "KeyboardProc" export: installed as KesSrv.dll it
// shows how GETKEY treats a wrong companion library.
#include <windows.h>

extern "C" __declspec(dllexport) int NotAKeyboardHook() { return 0; }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
