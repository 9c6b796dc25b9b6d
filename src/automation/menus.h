// KEYMENU: a menu item found by its path of item texts, then typed with Alt
// and the mnemonics, or checked, unchecked and sent as a menu command.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace kes {

// The item at the end of a path through a menu bar. Each path item is a
// title pattern matched against an item's text up to its first tab, with or
// without its "&" marks.
struct MenuPath {
  bool found = false;
  HMENU menu = nullptr;  // the menu holding the last item
  UINT id = 0;           // its command identifier (-1 for a sub-menu)
  std::string keys;      // "#" and the mnemonics of the items walked
};
MenuPath FindMenuPath(HMENU bar, const std::vector<std::string>& path);

// The menu bar of a window: a child window's top-level window holds it. Null
// when the window has none or the platform cannot read it.
HMENU MenuBarOf(HWND w);

// Runs the action on the item at the end of the path in the menu bar of
// `w`: "CLICK" types the keys, "ON" and "OFF" set the check mark and the
// highlight, anything else clears both; all but "CLICK" post the item's
// command to the window. Answers 1 when the window has no menu bar.
int RunMenuAction(HWND w, std::string_view action, const std::vector<std::string>& path, bool oldApp);

}  // namespace kes
