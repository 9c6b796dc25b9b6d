// Shared variables: 128 slots held as the texts of hidden static controls in
// a tool window titled "#Kestrova###", so every interpreter on the desktop
// that finds the window reads and writes the same values.
#include <windows.h>

#include "interp/shared.h"
#include "interp/version.h"

namespace kes {

namespace {

constexpr int kSlots = 128;
constexpr int kFirstId = 100;
const std::string_view kMarker{"\xFD\xFE\xFF", 3};

std::string WindowTitle() { return std::string("#") + kProductName + "###"; }

LRESULT CALLBACK SharedProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

HWND CreateSharedWindow() {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = SharedProc;
  wc.hInstance = inst;
  wc.lpszClassName = "KestrovaShared";
  RegisterClassA(&wc);
  const std::string title = WindowTitle();
  HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, "KestrovaShared", title.c_str(), WS_POPUP, -32000, -32000, 0, 0,
                           nullptr, nullptr, inst, nullptr);
  if (!w) return nullptr;
  for (int i = 0; i < kSlots; ++i)
    CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 0, 0, w, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + i)),
                    inst, nullptr);
  return w;
}

std::string SlotText(HWND slot) {
  // GetWindowText reads another process's control text without waiting on it.
  const int n = GetWindowTextLengthA(slot);
  if (n <= 0) return std::string();
  std::string s(static_cast<size_t>(n) + 1, '\0');
  const int got = GetWindowTextA(slot, &s[0], n + 1);
  s.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return s;
}

void SetSlotText(HWND slot, const std::string& text) {
  DWORD_PTR r;
  SendMessageTimeoutA(slot, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &r);
}

}  // namespace

std::string SharedVariable(std::string_view getName, std::string_view setName, std::string_view value) {
  const bool write = !setName.empty();
  const std::string title = WindowTitle();
  HWND w = FindWindowA(nullptr, title.c_str());
  if (!w) {
    if (!write) return std::string();
    w = CreateSharedWindow();
    if (!w) {
      K().err.code = kErrUsage;
      return std::string();
    }
  }
  const std::string get = Upper(getName), set = Upper(setName);
  HWND firstEmpty = nullptr;
  for (int i = 0; i < kSlots; ++i) {
    HWND slot = GetDlgItem(w, kFirstId + i);
    if (!slot) continue;
    const std::string text = SlotText(slot);
    const size_t m = text.find(kMarker);
    const std::string_view name = m == std::string::npos ? std::string_view(text) : std::string_view(text).substr(0, m);
    if (name.empty()) {
      if (!firstEmpty) firstEmpty = slot;
      continue;
    }
    if (!write && name == get) return m == std::string::npos ? std::string() : text.substr(m + kMarker.size());
    if (write && name == set) {
      SetSlotText(slot, set + std::string(kMarker) + std::string(value));
      return std::string();
    }
  }
  if (write) {
    // With all 128 slots taken the write is refused with error 1.
    if (firstEmpty) SetSlotText(firstEmpty, set + std::string(kMarker) + std::string(value));
    else K().err.code = kErrUsage;
  }
  return std::string();
}


}  // namespace kes
