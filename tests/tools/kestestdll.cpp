// Test library for CALLDLL: small exported functions with known results,
// in both calling conventions, plus functions that fail on purpose.
#include <windows.h>

#include <cstring>

#define EXPORT extern "C" __declspec(dllexport)

namespace {
int calls = 0;
}

EXPORT int __stdcall Answer() { return 42; }
EXPORT int __stdcall Negative() { return -5; }
EXPORT int __stdcall Add(int a, int b) { return a + b; }
EXPORT int __cdecl AddC(int a, int b) { return a + b; }
EXPORT int __stdcall Sum16(int a1, int a2, int a3, int a4, int a5, int a6, int a7, int a8, int a9, int a10, int a11,
                           int a12, int a13, int a14, int a15, int a16) {
  return a1 + a2 + a3 + a4 + a5 + a6 + a7 + a8 + a9 + a10 + a11 + a12 + a13 + a14 + a15 + a16;
}
// Upper-cases a text in place and returns its length.
EXPORT int __stdcall UpperText(char* s) {
  if (!s) return -1;
  for (char* p = s; *p; ++p)
    if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
  return static_cast<int>(std::strlen(s));
}
// Writes a text into a caller's buffer of the given size.
EXPORT int __stdcall Fill(char* buf, int size) {
  const char* t = "filled by the library";
  if (!buf || size <= 0) return 0;
  const int n = static_cast<int>(std::strlen(t)) < size - 1 ? static_cast<int>(std::strlen(t)) : size - 1;
  std::memcpy(buf, t, static_cast<size_t>(n));
  buf[n] = '\0';
  return n;
}
// Joins two texts with a blank into the first one's buffer.
EXPORT int __stdcall Join(char* a, const char* b) {
  std::strcat(a, " ");
  std::strcat(a, b);
  return static_cast<int>(std::strlen(a));
}
EXPORT int __stdcall Counter() { return ++calls; }
EXPORT int __stdcall Crash() {
  volatile int* p = nullptr;
  *p = 1;
  return 0;
}
EXPORT int __stdcall Divide(int a, int b) { return a / b; }
extern "C" __declspec(dllexport) int TestValue;
int TestValue = 5;

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
