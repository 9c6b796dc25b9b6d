#include "automation/keysend.h"

#include "automation/keystring.h"
#include "interp/dispatcher.h"

namespace kes {

namespace {

bool IsExtendedKey(BYTE vk) {
  switch (vk) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
    case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
    case VK_SNAPSHOT: case VK_INSERT: case VK_DELETE:
    case VK_LWIN: case VK_RWIN: case VK_APPS: case VK_DIVIDE: case VK_NUMLOCK:
      return true;
    default:
      return false;
  }
}

class Sender : public keys::KeySink {
 public:
  Sender(bool capsOn, KeyEventFn press) : caps_(capsOn), press_(press) {}
  uint16_t Layout(unsigned char c) override { return static_cast<uint16_t>(VkKeyScanA(static_cast<char>(c))); }
  void Key(const keys::KeyStroke& k) override {
    const keys::HeldModifiers m = keys::ModifiersFor(k);
    for (uint32_t i = 0; i < k.repeat; ++i) {
      if (caps_) Tap(VK_CAPITAL);
      if (m.shift) press_(VK_SHIFT, true);
      if (m.ctrl) press_(VK_CONTROL, true);
      if (m.alt) press_(VK_MENU, true);
      Tap(k.vk);
      if (m.shift) press_(VK_SHIFT, false);
      if (m.ctrl) press_(VK_CONTROL, false);
      if (m.alt) press_(VK_MENU, false);
      if (caps_) Tap(VK_CAPITAL);
    }
  }

 private:
  void Tap(BYTE vk) {
    press_(vk, true);
    press_(vk, false);
  }
  bool caps_;
  KeyEventFn press_;
};

// Gives a window the keyboard focus; a window of another thread takes it
// while the two threads share their input state. A window that has the
// focus already, itself or in one of its controls (a dialog's default
// button), keeps it as it is.
void Focus(HWND w) {
  const DWORD theirs = GetWindowThreadProcessId(w, nullptr);
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  if (theirs && GetGUIThreadInfo(theirs, &gui) && (gui.hwndFocus == w || (gui.hwndFocus && IsChild(w, gui.hwndFocus))))
    return;
  const DWORD mine = GetCurrentThreadId();
  const bool attach = theirs && theirs != mine && AttachThreadInput(mine, theirs, TRUE);
  SetFocus(w);
  if (attach) AttachThreadInput(mine, theirs, FALSE);
}

// Raises a window's top-level window and gives the window the focus.
void RaiseAndFocus(HWND w) {
  BringWindowToTop(RootWindow(w));
  Focus(w);
}

void SwitchTo(HWND w) {
  using SwitchFn = void(WINAPI*)(HWND, BOOL);
  static const SwitchFn fn =
      reinterpret_cast<SwitchFn>(reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("USER32.DLL"), "SwitchToThisWindow")));
  if (fn) fn(w, TRUE);
}

}  // namespace

HWND RootWindow(HWND w) {
  HWND r = w ? GetAncestor(w, GA_ROOT) : nullptr;
  return r ? r : w;
}

void PressKey(unsigned char vk, bool down) {
  DWORD flags = down ? 0 : KEYEVENTF_KEYUP;
  if (IsExtendedKey(vk)) flags |= KEYEVENTF_EXTENDEDKEY;
  keybd_event(vk, static_cast<BYTE>(MapVirtualKeyA(vk, 0)), flags, 0);
}

bool TypeKeyStringTo(std::string_view text, bool capsOn, KeyEventFn press) {
  Sender s(capsOn, press);
  return keys::ParseKeyString(text, s);
}

bool TypeKeyString(std::string_view text) { return TypeKeyStringTo(text, (GetKeyState(VK_CAPITAL) & 1) != 0, PressKey); }

void BringToFront(HWND w, bool oldApp) {
  if (!w || !IsWindow(w)) return;
  RaiseAndFocus(w);
  if (oldApp) {
    for (int up = 0; up < 3 && !IsWindowEnabled(w); ++up) {
      HWND p = GetParent(w);
      if (!p) break;
      w = p;
      RaiseAndFocus(w);
    }
  }
  // The switch goes to the top-level window, and only when another one is in
  // front: each switch makes the display hand the keyboard state over anew.
  if (GetForegroundWindow() != RootWindow(w)) SwitchTo(RootWindow(w));
  if (oldApp) PumpMessages();
  // The window's program catches up with its activation before keys come.
  DWORD_PTR r = 0;
  SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &r);
}

}  // namespace kes
