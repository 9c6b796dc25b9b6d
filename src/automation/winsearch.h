// Finding windows: by title pattern (the search behind FOCUSCHILD, the
// waits, WINDOW, KEYCHECK, OPTIONALBOX and the programs' KILL and WAITTASK
// by title), by class and control id, and the first window of a process.
//
// The walk visits every window depth first: the desktop's children in
// z-order, each window's children before its next sibling. Windows of class
// "OleMainThreadWndClass" are skipped. Pending window messages of the
// program run between windows, so its own windows stay responsive.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kes {

struct TitleSearch {
  std::string_view pattern;        // "[" and "]" stand for "?"; empty matches every window
  std::string_view parentPattern;  // when not empty, the parent's text must match it too
  bool includeDisabled = false;    // WINDOW finds disabled windows as well
  size_t limit = static_cast<size_t>(-1);  // stop after this many matches
};
// The matching windows in walk order.
std::vector<HWND> FindWindowsByTitle(const TitleSearch& s);
// The first match or null.
HWND FindWindowByTitle(std::string_view pattern, std::string_view parentPattern = {});

// Windows whose class equals `cls` (ignoring case; any class when empty),
// whose control id equals `id` (any when 0) and whose text matches
// `pattern` (any when empty). Enabled windows only.
std::vector<HWND> FindWindowsByClass(std::string_view cls, int id, std::string_view pattern,
                                     size_t limit = static_cast<size_t>(-1));

// The first top-level window of a process in z-order, or null.
HWND FirstWindowOfProcess(DWORD pid);
// The process that owns a window (0 when the window is gone).
DWORD ProcessOfWindow(HWND w);

// The window's text as the platform gives it (another process's edit
// control shows its creation text only) and its class name.
std::string WindowText(HWND w);
std::string WindowClass(HWND w);

}  // namespace kes
