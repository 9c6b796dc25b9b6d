// KesSrv.dll: the keyboard hook behind GETKEY. Kestrova installs the exported
// KeyboardProc as a keyboard hook for every thread and waits in a hidden
// window titled with the script's title and " Recorder"; the label with id 6
// of that window shows the hook handle in decimal. The hook runs in whichever
// process reads the key: it posts each key-down to every such window as a
// WM_KEYDOWN (virtual key, key data) and passes every event on. The virtual
// key is in the low byte of the message's first parameter; bits 8, 9 and 10
// tell whether Shift, Ctrl and Alt were down when the key went down, which a
// late reader of the message can no longer ask the keyboard.
#include <windows.h>

namespace {

constexpr int kHookLabelId = 6;
constexpr char kSuffix[] = " Recorder";

struct Found {
  HHOOK hook;
  WPARAM vk;
  LPARAM data;
  bool post;
};

bool IsRecorder(HWND w, HHOOK* hook) {
  char title[512];
  const int n = GetWindowTextA(w, title, sizeof title);
  const int s = static_cast<int>(sizeof kSuffix) - 1;
  if (n < s || lstrcmpA(title + n - s, kSuffix) != 0) return false;
  HWND label = GetDlgItem(w, kHookLabelId);
  if (!label) return false;
  char digits[32];
  const int d = GetWindowTextA(label, digits, sizeof digits);
  if (d <= 0) return false;
  unsigned long v = 0;
  for (int i = 0; i < d; ++i) {
    if (digits[i] < '0' || digits[i] > '9') return false;
    v = v * 10 + static_cast<unsigned long>(digits[i] - '0');
  }
  *hook = reinterpret_cast<HHOOK>(static_cast<ULONG_PTR>(v));
  return true;
}

BOOL CALLBACK Visit(HWND w, LPARAM lp) {
  Found* f = reinterpret_cast<Found*>(lp);
  HHOOK hook = nullptr;
  if (IsRecorder(w, &hook)) {
    if (!f->hook) f->hook = hook;
    if (f->post) PostMessageA(w, WM_KEYDOWN, f->vk, f->data);
  }
  return TRUE;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK KeyboardProc(int code, WPARAM wp, LPARAM lp) {
  WPARAM key = wp & 0xFF;
  if (GetKeyState(VK_SHIFT) < 0) key |= 0x100;
  if (GetKeyState(VK_CONTROL) < 0) key |= 0x200;
  if (GetKeyState(VK_MENU) < 0) key |= 0x400;
  Found f{nullptr, key, lp, false};
  // HC_ACTION only (HC_NOREMOVE is a peek at the same key); bit 31 clear is
  // a key going down.
  f.post = code == HC_ACTION && (static_cast<DWORD>(lp) & 0x80000000u) == 0;
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&f));
  return CallNextHookEx(f.hook, code, wp, lp);
}

BOOL WINAPI DllMain(HINSTANCE inst, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(inst);
  return TRUE;
}
