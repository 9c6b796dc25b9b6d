// Window-title patterns and the small argument rules of the window commands.
// Pure logic, no Win32.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kes {

// A title pattern as the window search uses it: "[" and "]" become "?".
std::string TitlePattern(std::string_view pattern);

// Case-insensitive match of a whole title: "*" stands for any run of
// characters (none included), "?" for any one character; the other
// characters must appear in the pattern's order. Linear in memory, no
// recursion, at most |text| x |pattern| steps.
bool TitleMatch(std::string_view text, std::string_view pattern);

// The window designation of WINDOW, WAITPARENT and WAITEND: a quoted title
// (the first and last characters removed), a process identifier (all
// digits; the pattern is then "*"), or a title pattern.
struct WindowDesignation {
  std::string pattern;
  uint32_t pid = 0;
  bool byPid = false;
};
WindowDesignation ParseDesignation(std::string_view text, std::string_view quote);

// MOUSEDBLCLICK's pause between the two clicks, from the profile's
// DoubleClickSpeed text: that value minus 100 ms, or 100 ms when the result
// is below 0 or above 1000.
unsigned DoubleClickPause(std::string_view profileValue);

}  // namespace kes
