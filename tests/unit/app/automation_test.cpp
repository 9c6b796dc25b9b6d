// Desktop automation inside the test process: the key events a key string
// turns into (Caps Lock toggled around each key, the modifiers held), the
// menu walk of KEYMENU over a window of this process (another process's
// menu cannot be read here), the wait loop's ends (MAXWAIT, the trace's
// "Force wait", a stop request, the optional boxes), and the desktop
// queries the service mode shares.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/focus.h"
#include "automation/key_recorder.h"
#include "automation/keysend.h"
#include "automation/menus.h"
#include "automation/session.h"

namespace kes {
namespace {

std::vector<std::string> g_events;

void Record(unsigned char vk, bool down) {
  std::string name;
  switch (vk) {
    case VK_CAPITAL: name = "CAPS"; break;
    case VK_SHIFT: name = "SHIFT"; break;
    case VK_CONTROL: name = "CTRL"; break;
    case VK_MENU: name = "ALT"; break;
    case VK_TAB: name = "TAB"; break;
    case VK_RETURN: name = "ENTER"; break;
    default: name = std::string(1, static_cast<char>(vk));
  }
  g_events.push_back(name + (down ? "+" : "-"));
}

std::string Events(std::string_view text, bool caps, bool* closed = nullptr) {
  g_events.clear();
  const bool ok = TypeKeyStringTo(text, caps, Record);
  if (closed) *closed = ok;
  std::string s;
  for (const auto& e : g_events) s += (s.empty() ? "" : " ") + e;
  return s;
}

TEST(KeyEvents, ModifiersPressedAroundTheKey) {
  EXPECT_EQ(Events("a", false), "A+ A-");
  EXPECT_EQ(Events("A", false), "SHIFT+ A+ A- SHIFT-");
  EXPECT_EQ(Events("^A", false), "SHIFT+ CTRL+ A+ A- SHIFT- CTRL-");
  EXPECT_EQ(Events("#a", false), "ALT+ A+ A- ALT-");
  EXPECT_EQ(Events("{altgr}e", false), "CTRL+ ALT+ E+ E- CTRL- ALT-");
  // the sum 3 presses nothing; the layout's shift state still counts
  EXPECT_EQ(Events("+^a", false), "A+ A-");
  EXPECT_EQ(Events("+^!", false), "SHIFT+ 1+ 1- SHIFT-");
  EXPECT_EQ(Events("{tab 3}~", false), "TAB+ TAB- TAB+ TAB- TAB+ TAB- ENTER+ ENTER-");
  EXPECT_EQ(Events("{shift}", false), "SHIFT+ SHIFT-");
}

TEST(KeyEvents, CapsLockToggledAroundEachKey) {
  EXPECT_EQ(Events("a", true), "CAPS+ CAPS- A+ A- CAPS+ CAPS-");
  EXPECT_EQ(Events("{tab 2}", true), "CAPS+ CAPS- TAB+ TAB- CAPS+ CAPS- CAPS+ CAPS- TAB+ TAB- CAPS+ CAPS-");
}

TEST(KeyEvents, UnclosedBraceAfterTheKeysBeforeIt) {
  bool closed = true;
  EXPECT_EQ(Events("ab{enter", false, &closed), "A+ A- B+ B-");
  EXPECT_FALSE(closed);
}

// A window of this process with a menu bar, counting its menu commands.
class MenuWindow : public ::testing::Test {
 protected:
  static inline std::vector<UINT> commands;
  HWND w = nullptr;
  HMENU bar = nullptr;

  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_COMMAND && lp == 0) commands.push_back(LOWORD(wp));
    return DefWindowProcA(h, m, wp, lp);
  }
  void SetUp() override {
    commands.clear();
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KesMenuTest";
    RegisterClassA(&wc);
    bar = CreateMenu();
    HMENU file = CreatePopupMenu(), opts = CreatePopupMenu(), level = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 101, "&Open\tCtrl+O");
    AppendMenuA(file, MF_STRING, 102, "Save &As...");
    AppendMenuA(level, MF_STRING, 211, "&Low");
    AppendMenuA(level, MF_STRING, 212, "&High");
    AppendMenuA(opts, MF_STRING, 201, "&Wrap");
    AppendMenuA(opts, MF_POPUP, reinterpret_cast<UINT_PTR>(level), "&Level");
    AppendMenuA(opts, MF_STRING, 202, "No mnemonic");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(opts), "&Options");
    w = CreateWindowExA(0, "KesMenuTest", "Kestrova Menu Test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                        nullptr, bar, wc.hInstance, nullptr);
    ASSERT_NE(w, nullptr);
  }
  void TearDown() override { DestroyWindow(w); }
  // Ends a menu loop the keys opened and left open (keys lost to another
  // window on a busy display): the loop runs inside DispatchMessage.
  static void CALLBACK EndMenuLoop(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }
  void Pump(DWORD ms, size_t until) {
    const UINT_PTR guard = SetTimer(nullptr, 0, ms, EndMenuLoop);
    PumpFor(ms, until);
    KillTimer(nullptr, guard);
  }
  void PumpFor(DWORD ms, size_t until) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms && commands.size() < until) {
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
      }
      Sleep(10);
    }
  }
  bool Checked(UINT id) { return (GetMenuState(bar, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
};

TEST_F(MenuWindow, PathsGiveTheMnemonicsAndTheCommand) {
  MenuPath p = FindMenuPath(bar, {"File", "Open"});
  EXPECT_TRUE(p.found);
  EXPECT_EQ(p.keys, "#fo");
  EXPECT_EQ(p.id, 101u);
  // the text before the tab, with or without its marks, under the title rules
  p = FindMenuPath(bar, {"&file", "*as..."});
  EXPECT_TRUE(p.found);
  EXPECT_EQ(p.keys, "#fa");
  EXPECT_EQ(p.id, 102u);
  p = FindMenuPath(bar, {"Options", "Level", "H?gh"});
  EXPECT_TRUE(p.found);
  EXPECT_EQ(p.keys, "#olh");
  EXPECT_EQ(p.id, 212u);
  p = FindMenuPath(bar, {"Options", "No mnemonic"});
  EXPECT_TRUE(p.found);
  EXPECT_EQ(p.keys, "#o");
  // a sub-menu at the end has no command
  p = FindMenuPath(bar, {"Options", "Level"});
  EXPECT_TRUE(p.found);
  EXPECT_EQ(p.id, static_cast<UINT>(-1));
  EXPECT_FALSE(FindMenuPath(bar, {"Edit", "Open"}).found);
  EXPECT_FALSE(FindMenuPath(bar, {"File", "Open", "Deeper"}).found);
  EXPECT_FALSE(FindMenuPath(bar, {"Open"}).found);
}

TEST_F(MenuWindow, OnAndOffSetTheCheckMarkAndSendTheCommand) {
  EXPECT_EQ(RunMenuAction(w, "ON", {"Options", "Wrap"}, false), 0);
  EXPECT_TRUE(Checked(201));
  Pump(2000, 1);
  EXPECT_EQ(commands, std::vector<UINT>{201});
  EXPECT_EQ(RunMenuAction(w, "off", {"Options", "Wrap"}, false), 0);
  EXPECT_FALSE(Checked(201));
  EXPECT_EQ(RunMenuAction(w, "OTHER", {"Options", "Level", "Low"}, false), 0);
  EXPECT_FALSE(Checked(211));
  Pump(2000, 3);
  EXPECT_EQ(commands, (std::vector<UINT>{201, 201, 211}));
  // no match: nothing happens, no error
  EXPECT_EQ(RunMenuAction(w, "ON", {"Options", "Nothing"}, false), 0);
  Pump(200, 4);
  EXPECT_EQ(commands.size(), 3u);
}

TEST_F(MenuWindow, ClickTypesAltAndTheMnemonics) {
  // Typed keys go to whatever window has the keyboard: on a display other
  // tests share, a try whose keys went astray is made again.
  for (int attempt = 0; attempt < 3 && commands.empty(); ++attempt) {
    EXPECT_EQ(RunMenuAction(w, "CLICK", {"File", "Open"}, false), 0);
    Pump(3000, 1);
  }
  EXPECT_EQ(commands, std::vector<UINT>{101});
}

TEST_F(MenuWindow, AWindowWithoutMenuBar) {
  HWND child = CreateWindowExA(0, "Button", "x", WS_CHILD, 0, 0, 10, 10, w, nullptr, nullptr, nullptr);
  // a control answers for its top-level window's menu bar
  EXPECT_EQ(MenuBarOf(child), bar);
  HWND plain = CreateWindowExA(0, "Static", "plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(MenuBarOf(plain), nullptr);
  EXPECT_EQ(RunMenuAction(plain, "CLICK", {"File"}, false), 1);
  DestroyWindow(plain);
  EXPECT_EQ(MenuBarOf(nullptr), nullptr);
}

// ---- the wait loop

bool NeverFound(Interp&, void*) { return false; }
bool FoundAtOnce(Interp&, void*) { return true; }

class Waits : public ::testing::Test {
 protected:
  Interp& in = K();
  BlockStacks stacks;
  std::string control, lineText;
  Ctx ctx{stacks, control, lineText};
  void SetUp() override {
    in.focus = FocusState{};
    in.waits.boxes.clear();
    in.waits.forceEnd = false;
    in.run.boxBlock.clear();
    in.run.afterBoxLines = false;
    in.run.stopRequested = in.run.abort = false;
    in.sw.interrupt = false;
    in.err.code = 0;
  }
  void TearDown() override {
    in.focus = FocusState{};
    in.waits.boxes.clear();
    in.waits.forceEnd = false;
    in.waits.maxWait = 600;
    in.run.stopRequested = false;
  }
};

TEST_F(Waits, FoundAtOnce) {
  in.err.code = 5;
  EXPECT_TRUE(RunWait(in, ctx, FoundAtOnce, nullptr));
  EXPECT_EQ(in.err.code, 0);
}

TEST_F(Waits, MaxWaitEndsTheWaitWithErrorOne) {
  in.waits.maxWait = 1;
  const DWORD start = GetTickCount();
  EXPECT_FALSE(RunWait(in, ctx, NeverFound, nullptr));
  EXPECT_EQ(in.err.code, 1);
  EXPECT_GE(GetTickCount() - start, 1000u);
  EXPECT_TRUE(control.empty());
}

TEST_F(Waits, ForceWaitAndStopRequestEndAWaitWithoutLimit) {
  in.waits.maxWait = 0;
  in.waits.forceEnd = true;
  EXPECT_FALSE(RunWait(in, ctx, NeverFound, nullptr));
  EXPECT_EQ(in.err.code, 1);
  EXPECT_FALSE(in.waits.forceEnd);  // seen once
  in.run.stopRequested = true;
  EXPECT_FALSE(RunWait(in, ctx, NeverFound, nullptr));
  EXPECT_EQ(in.err.code, 1);
}

TEST_F(Waits, OptionalBoxesRunTheirLinesOnceIgnoredBoxesAgain) {
  HWND box = CreateWindowExA(0, "Static", "Kestrova Optional Test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                             nullptr);
  in.waits.maxWait = 0;
  in.waits.boxes.push_back(OptionalBox{"Not on screen", "", "0001X\xFF\xFE", true});
  in.waits.boxes.push_back(OptionalBox{"Kestrova Optional*", "", "", true});
  in.run.boxBlock = "0007APPEND x\xFF\xFE";  // the lines collected for the last entry
  EXPECT_FALSE(RunWait(in, ctx, NeverFound, nullptr));
  EXPECT_EQ(in.err.code, 0);
  EXPECT_EQ(control, "#OPT#0007APPEND x\xFF\xFE");
  EXPECT_TRUE(in.run.pendingFromOptional);
  EXPECT_EQ(in.focus.object, reinterpret_cast<uintptr_t>(box));
  ASSERT_EQ(in.waits.boxes.size(), 1u);  // used up
  in.waits.boxes.push_back(OptionalBox{"Kestrova Optional*", "", "0009KEY ~\xFF\xFE", false});
  for (int i = 0; i < 2; ++i) {
    control.clear();
    EXPECT_FALSE(RunWait(in, ctx, NeverFound, nullptr));
    EXPECT_EQ(control, "#OPT#0009KEY ~\xFF\xFE");
    EXPECT_FALSE(in.run.pendingFromOptional);
    EXPECT_EQ(in.waits.boxes.size(), 2u);  // stays
  }
  DestroyWindow(box);
}

TEST_F(Waits, ABoxThatStaysDoesNotHoldTheWaitPastMaxWait) {
  HWND box = CreateWindowExA(0, "Static", "Kestrova Staying Box", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                             nullptr);
  in.waits.maxWait = 1;
  in.waits.boxes.push_back(OptionalBox{"Kestrova Staying Box", "", "0003X\xFF\xFE", false});
  EXPECT_FALSE(RunWait(in, ctx, NeverFound, nullptr));
  EXPECT_EQ(control, "#OPT#0003X\xFF\xFE");
  // the runner ran the box's lines, and the wait line runs again: the
  // deadline is the first one, long past here
  in.waits.boxWaitStart -= 5000;
  in.run.afterBoxLines = true;
  control.clear();
  EXPECT_FALSE(RunWait(in, ctx, NeverFound, nullptr));
  EXPECT_EQ(in.err.code, 1);
  EXPECT_TRUE(control.empty());
  EXPECT_FALSE(in.run.afterBoxLines);
  // a new wait starts its own time
  EXPECT_FALSE(RunWait(in, ctx, NeverFound, nullptr));
  EXPECT_EQ(in.err.code, 0);
  EXPECT_EQ(control, "#OPT#0003X\xFF\xFE");
  DestroyWindow(box);
}

// ---- desktops and GETKEY without its library

TEST(Desktops, NamesAndStatus) {
  const std::string name = InputDesktopName(true);
  EXPECT_EQ(name, "default");
  EXPECT_FALSE(DesktopShowsShell("no such desktop"));
  DesktopState st;
  EXPECT_NE(AttachDesktop(st, "no such desktop", false), 0u);
  EXPECT_EQ(st.desktop, 0u);
  DetachDesktop(st);
}

TEST(GetKey, WithoutItsLibraryAnswersNothing) {
  const KeyRecording r = RecordKey("C:\\no\\such\\KesSrv.dll", "Test", nullptr, nullptr);
  EXPECT_EQ(r.answer, "");
  EXPECT_EQ(r.error, 0);
}

}  // namespace
}  // namespace kes
