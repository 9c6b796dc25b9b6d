// Keystrokes and single controls: KEY, KEYMENU, KEYCHECK, KEYLIST,
// KEYCLICK, KEYTAB, GETCAPSLOCK, GETNUMLOCK, GETKEY.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "automation/focus.h"
#include "automation/key_recorder.h"
#include "automation/keysend.h"
#include "automation/menus.h"
#include "automation/titlematch.h"
#include "automation/winsearch.h"
#include "interp/commands.h"
#include "interp/version.h"

namespace kes {

namespace {

// Messages to another program's controls give up on a program that hangs.
LRESULT SendTo(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  DWORD_PTR r = 0;
  SendMessageTimeoutA(w, m, wp, lp, SMTO_ABORTIFHUNG, 5000, &r);
  return static_cast<LRESULT>(r);
}

// The target when it still exists, else null: nothing is sent then.
HWND LiveTarget(const Interp& in) {
  HWND t = TargetWindow(in);
  return t && IsWindow(t) ? t : nullptr;
}

// ---- KEYLIST: list boxes and combo boxes, items read in the wide form
// (another process's list answers only the first character of an item in
// the ANSI form on some platforms)

struct ListKind {
  UINT getCount, getTextLen, getText, setCurSel;
  WORD notify;
};
constexpr ListKind kListBox{LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_SETCURSEL, LBN_SELCHANGE};
constexpr ListKind kComboBox{CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_SETCURSEL, CBN_SELCHANGE};

const ListKind* ListKindOf(HWND w) {
  const std::string cls = Upper(WindowClass(w));
  if (cls.find("COMBOBOX") != std::string::npos) return &kComboBox;
  if (cls.find("LISTBOX") != std::string::npos) return &kListBox;
  return nullptr;
}

std::string ItemText(HWND list, const ListKind& k, int i) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(list, k.getTextLen, static_cast<WPARAM>(i), 0, SMTO_ABORTIFHUNG, 5000, &len)) return {};
  if (static_cast<LONG_PTR>(len) <= 0 || len > 65536) return {};
  std::vector<wchar_t> w(len + 1);
  DWORD_PTR got = 0;
  SendMessageTimeoutW(list, k.getText, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(w.data()), SMTO_ABORTIFHUNG,
                      5000, &got);
  if (static_cast<LONG_PTR>(got) <= 0) return {};
  const int wn = static_cast<int>(std::min<size_t>(got, len));
  std::string s(static_cast<size_t>(wn) * 2 + 1, '\0');
  const int n = WideCharToMultiByte(CP_ACP, 0, w.data(), wn, s.data(), static_cast<int>(s.size()), nullptr, nullptr);
  s.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return s;
}

// Selects the first item matching the pattern; true when there was one.
bool SelectInList(HWND list, const std::string& pattern) {
  const ListKind* k = ListKindOf(list);
  if (!k) return false;
  const LRESULT count = SendTo(list, k->getCount, 0, 0);
  for (int i = 0; i < count && i < 100000; ++i) {
    if (!TitleMatch(ItemText(list, *k, i), pattern)) continue;
    const LONG style = GetWindowLongA(list, GWL_STYLE);
    if (k == &kListBox && (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)))
      SendTo(list, LB_SETSEL, TRUE, i);
    else
      SendTo(list, k->setCurSel, static_cast<WPARAM>(i), 0);
    // The program hears of the change as if the user had made it.
    if (HWND parent = GetParent(list))
      PostMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), k->notify), reinterpret_cast<LPARAM>(list));
    return true;
  }
  return false;
}

struct ListSearch {
  std::string pattern;
  bool done = false;
};

BOOL CALLBACK TryList(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<ListSearch*>(lp);
  s->done = SelectInList(w, s->pattern);
  return !s->done;
}

bool StopGetKey(void* ctx) { return WaitEnds(*static_cast<Interp*>(ctx)); }

}  // namespace

// KEY text: types the key string into the focus target.
void CmdKey(Interp& in, Ctx&) {
  if (!LiveTarget(in)) return;
  BringTargetToFront(in);
  if (!TypeKeyString(in.line.args)) in.err.code = kErrUsage;
}

// KEYMENU action,item,item...: a menu command of the focus target's window.
void CmdKeyMenu(Interp& in, Ctx&) {
  HWND t = LiveTarget(in);
  if (!t) return;
  std::vector<std::string> path;
  for (size_t i = 2; i <= FieldCount(in); ++i) path.push_back(FieldUnquoted(in, i));
  in.err.code = RunMenuAction(t, Field(in, 1), path, in.sw.oldapp);
}

// KEYCHECK window,control,ON|OFF: clicks a check box, then sets its state.
void CmdKeyCheck(Interp& in, Ctx&) {
  HWND ctl = FindWindowByTitle(FieldUnquoted(in, 2), FieldUnquoted(in, 1));
  if (!ctl) return;
  if (HWND parent = GetParent(ctl)) Front(in, parent);
  // Sent, not posted: the click must be over before the state is set.
  SendTo(ctl, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  SendTo(ctl, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
  SendTo(ctl, BM_SETCHECK, Upper(Field(in, 3)) == "ON" ? BST_CHECKED : BST_UNCHECKED, 0);
}

// KEYLIST item: selects the first matching item of a list in the target.
void CmdKeyList(Interp& in, Ctx&) {
  HWND t = LiveTarget(in);
  if (!t) return;
  BringTargetToFront(in);
  ListSearch s{TitlePattern(WholeArg(in))};
  if (TryList(t, reinterpret_cast<LPARAM>(&s))) EnumChildWindows(t, TryList, reinterpret_cast<LPARAM>(&s));
}

// KEYCLICK [LEFT|RIGHT|MIDDLE] [CONTROL] [SHIFT]: clicks the focus object.
void CmdKeyClick(Interp& in, Ctx&) {
  HWND obj = FocusObject(in);
  if (!obj || !IsWindow(obj)) return;
  if (HWND parent = GetParent(obj)) in.focus.window = reinterpret_cast<uintptr_t>(parent);
  BringTargetToFront(in);
  const std::string button = Upper(Field(in, 1).substr(0, Field(in, 1).find(' ')));
  const std::string all = Upper(in.line.args);
  UINT down = WM_LBUTTONDOWN, up = WM_LBUTTONUP;
  WPARAM flags = MK_LBUTTON;
  if (button == "RIGHT") {
    down = WM_RBUTTONDOWN, up = WM_RBUTTONUP, flags = MK_RBUTTON;
  } else if (button == "MIDDLE") {
    down = WM_MBUTTONDOWN, up = WM_MBUTTONUP, flags = MK_MBUTTON;
  }
  if (all.find("CONTROL") != std::string::npos) flags |= MK_CONTROL;
  if (all.find("SHIFT") != std::string::npos) flags |= MK_SHIFT;
  PostMessageA(obj, down, flags, MAKELPARAM(3, 3));
  PostMessageA(obj, up, flags, MAKELPARAM(3, 3));
}

// KEYTAB n: selects tab n (from 1) of the focus object.
void CmdKeyTab(Interp& in, Ctx&) {
  HWND obj = FocusObject(in);
  if (!obj || !IsWindow(obj)) return;
  const WPARAM i = static_cast<WPARAM>(ValInt(in.line.second) - 1);
  SendTo(obj, TCM_SETCURFOCUS, i, 0);
  SendTo(obj, TCM_SETCURSEL, i, 0);
}

// GETCAPSLOCK, GETNUMLOCK: the lock key's state.
void CmdGetLock(Interp& in, Ctx& c) {
  const int vk = c.Word<GetLockWord>() == GetLockWord::GetNumLock ? VK_NUMLOCK : VK_CAPITAL;
  in.line.result = IntText(std::abs(static_cast<int>(GetKeyState(vk))));
}

// GETKEY: the next key pressed anywhere, in key-string syntax.
void CmdGetKey(Interp& in, Ctx&) {
  std::string lib = in.mach.systemFolder;
  if (!lib.empty() && lib.back() != '\\') lib += '\\';
  lib += "KesSrv.dll";
  const std::string title = in.boxes.title.empty() ? std::string(kProductName) : in.boxes.title;
  const KeyRecording r = RecordKey(lib, title, StopGetKey, &in);
  if (r.error) in.err.code = r.error;
  if (r.stopped) in.err.code = kErrUsage;
  in.line.result = r.answer;
}

}  // namespace kes
