#include "boxes/boxes.h"

#include <windows.h>

#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"
#include "interp/version.h"

namespace kes {

namespace {

HWND g_main = nullptr;

LRESULT CALLBACK MainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

}  // namespace

HWND__* MainWindow() {
  if (g_main) return g_main;
  WNDCLASSA wc{};
  wc.lpfnWndProc = MainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KestrovaMain";
  RegisterClassA(&wc);
  g_main = CreateWindowExA(WS_EX_TOOLWINDOW, "KestrovaMain", kProductName, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           wc.hInstance, nullptr);
  return g_main;
}

std::string ShowErrorBox(Interp& in, std::string_view message) {
  return EchoErrorBox(in, message);
}

// "ON,caption" shows the popup with a caption, "pos,total[,%]" moves the
// gauge, "OFF" closes it.
void GaugeUpdate(Interp& in, std::string_view items, bool throttled) {
  std::vector<std::string> f = SplitFields(items, ",", in.sep.quote);
  if (f.empty()) return;
  const std::string first = Upper(f[0]);
  if (first == "OFF") {
    PopupClose(in);
    return;
  }
  if (first == "ON") {
    const std::string caption = f.size() > 1 ? f[1] : std::string();
    PopupCommand(in, false, {caption}, caption);
    return;
  }
  PopupCommand(in, true, f, items, throttled);
}

void GaugeOpen(Interp& in, std::string_view caption, std::string_view text) {
  PopupCommand(in, false, {std::string(caption), std::string(text)}, "");
}

}  // namespace kes
