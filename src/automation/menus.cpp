#include "automation/menus.h"

#include "automation/keysend.h"
#include "automation/keystring.h"
#include "automation/titlematch.h"
#include "interp/text.h"

namespace kes {

namespace {

std::string ItemText(HMENU menu, int pos) {
  char buf[512];
  const int n = GetMenuStringA(menu, static_cast<UINT>(pos), buf, sizeof buf, MF_BYPOSITION);
  std::string s(buf, n > 0 ? static_cast<size_t>(n) : 0);
  const size_t tab = s.find('\t');
  if (tab != std::string::npos) s.resize(tab);
  return s;
}

// The text without its "&" marks ("&&" is one "&"), and the mnemonic.
std::string WithoutMarks(std::string_view s, char* mnemonic) {
  std::string r;
  *mnemonic = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&' && i + 1 < s.size()) {
      ++i;
      if (s[i] != '&' && !*mnemonic) *mnemonic = s[i];
    }
    r += s[i];
  }
  return r;
}

}  // namespace

MenuPath FindMenuPath(HMENU bar, const std::vector<std::string>& path) {
  MenuPath r;
  r.keys = "#";
  HMENU menu = bar;
  for (size_t level = 0; level < path.size() && menu; ++level) {
    const std::string pattern = TitlePattern(path[level]);
    const int count = GetMenuItemCount(menu);
    int hit = -1;
    char mnemonic = 0;
    for (int pos = 0; pos < count && hit < 0; ++pos) {
      const std::string text = ItemText(menu, pos);
      const std::string plain = WithoutMarks(text, &mnemonic);
      if (TitleMatch(text, pattern) || TitleMatch(plain, pattern)) hit = pos;
    }
    if (hit < 0) return r;
    if (mnemonic) {
      // Menus match mnemonics in any case; lower case keeps Shift (and the
      // Alt+Shift layout switch) out of the keys.
      mnemonic = LowerChar(mnemonic);
      r.keys += mnemonic;
      if (keys::IsKeySpecial(mnemonic)) r.keys += mnemonic;
    }
    if (level + 1 == path.size()) {
      r.found = true;
      r.menu = menu;
      r.id = GetMenuItemID(menu, hit);
    } else {
      menu = GetSubMenu(menu, hit);
    }
  }
  return r;
}

HMENU MenuBarOf(HWND w) {
  if (!w || !IsWindow(w)) return nullptr;
  HMENU m = GetMenu(RootWindow(w));
  return m && IsMenu(m) ? m : nullptr;
}

int RunMenuAction(HWND w, std::string_view action, const std::vector<std::string>& path, bool oldApp) {
  BringToFront(w, oldApp);
  HMENU bar = MenuBarOf(w);
  if (!bar) return 1;
  const MenuPath p = FindMenuPath(bar, path);
  if (!p.found) return 0;
  const std::string act = Upper(TrimView(action));
  if (act == "CLICK") {
    TypeKeyString(p.keys);
    return 0;
  }
  HWND owner = RootWindow(w);
  if (p.id != static_cast<UINT>(-1)) {
    const bool on = act == "ON";
    HiliteMenuItem(owner, p.menu, p.id, MF_BYCOMMAND | (on ? MF_HILITE : MF_UNHILITE));
    CheckMenuItem(p.menu, p.id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    // Posted: a command that opens a dialog must not hold the script.
    PostMessageA(owner, WM_COMMAND, MAKEWPARAM(p.id, 0), 0);
  }
  DrawMenuBar(owner);
  return 0;
}

}  // namespace kes
