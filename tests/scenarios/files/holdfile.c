/* Test helper: holds a file open without sharing until a release file
   appears (at most 60 s). Usage: holdfile FILE READYFILE RELEASEFILE */
#include <windows.h>

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  HANDLE h = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (h == INVALID_HANDLE_VALUE) return 1;
  HANDLE r = CreateFileA(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (r != INVALID_HANDLE_VALUE) CloseHandle(r);
  for (int i = 0; i < 600; ++i) {
    if (GetFileAttributesA(argv[3]) != INVALID_FILE_ATTRIBUTES) break;
    Sleep(100);
  }
  CloseHandle(h);
  return 0;
}
