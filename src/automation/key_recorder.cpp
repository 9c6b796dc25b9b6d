#include "automation/key_recorder.h"

#include <windows.h>

#include "automation/keystring.h"

namespace kes {

namespace {

constexpr char kClass[] = "KestrovaRecorder";
constexpr int kHookLabelId = 6;

struct Recording {
  std::string answer;
  bool done = false;
};

bool IsModifier(WPARAM vk) { return vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU || (vk >= VK_LSHIFT && vk <= VK_RMENU); }

bool Down(int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

// The library puts the modifiers held at the key's time in bits 8 to 10.
std::string KeyOf(WPARAM wp, LPARAM data) {
  const WPARAM vk = wp & 0xFF;
  std::string produced;
  if (keys::KeyName(static_cast<unsigned>(vk)).empty()) {
    BYTE state[256] = {};
    WORD ch = 0;
    const UINT scan = (static_cast<UINT>(data) >> 16) & 0xFF;
    if (ToAscii(static_cast<UINT>(vk), scan, state, &ch, 0) == 1) produced.assign(1, static_cast<char>(ch & 0xFF));
  }
  return keys::KeyAnswer(static_cast<unsigned>(vk), produced, (wp & 0x100) || Down(VK_SHIFT),
                         (wp & 0x200) || Down(VK_CONTROL), (wp & 0x400) || Down(VK_MENU));
}

LRESULT CALLBACK RecorderProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_KEYDOWN) {
    auto* r = reinterpret_cast<Recording*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    if (r && !r->done && !IsModifier(wp & 0xFF)) {
      r->answer = KeyOf(wp, lp);
      r->done = true;
    }
    return 0;
  }
  return DefWindowProcA(w, m, wp, lp);
}

HWND CreateRecorder(const std::string& title) {
  static bool registered = false;
  HINSTANCE inst = GetModuleHandleA(nullptr);
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecorderProc;
    wc.hInstance = inst;
    wc.lpszClassName = kClass;
    registered = RegisterClassA(&wc) != 0;
  }
  HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, kClass, (title + " Recorder").c_str(), WS_POPUP, 0, 0, 10, 10, nullptr,
                           nullptr, inst, nullptr);
  if (w)
    CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 10, 10, w,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHookLabelId)), inst, nullptr);
  return w;
}

}  // namespace

KeyRecording RecordKey(const std::string& library, const std::string& title, StopTest stop, void* ctx) {
  KeyRecording out;
  if (GetFileAttributesA(library.c_str()) == INVALID_FILE_ATTRIBUTES) return out;
  Recording rec;
  HWND w = CreateRecorder(title);
  if (!w) {
    out.error = static_cast<int>(GetLastError());
    return out;
  }
  SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&rec));
  HMODULE lib = LoadLibraryA(library.c_str());
  auto proc = lib ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(lib, "KeyboardProc"))) : nullptr;
  HHOOK hook = nullptr;
  if (!proc) {
    out.error = 777;
  } else if (!(hook = SetWindowsHookExA(WH_KEYBOARD, proc, lib, 0))) {
    out.error = static_cast<int>(GetLastError());
  } else {
    SetDlgItemTextA(w, kHookLabelId, std::to_string(reinterpret_cast<uintptr_t>(hook)).c_str());
    // The window's modal loop: the library posts the keys to it. A quit
    // request ends it and is passed on to the program's own loop.
    bool quit = false;
    int quitCode = 0;
    while (!rec.done && !quit) {
      if (stop && stop(ctx)) {
        out.stopped = true;
        break;
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      MSG msg;
      while (!rec.done && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
          quit = true;
          quitCode = static_cast<int>(msg.wParam);
          break;
        }
        DispatchMessageA(&msg);
      }
    }
    if (quit) PostQuitMessage(quitCode);
    UnhookWindowsHookEx(hook);
    out.answer = rec.answer;
  }
  DestroyWindow(w);
  if (lib) FreeLibrary(lib);
  return out;
}

}  // namespace kes
