// The "A propos de" box ("©" of every box, COPYRIGHT, the notification
// icon's menu): the product, its version and build date, the script and the
// program's path. It closes by itself after six seconds.
#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"
#include "boxes/boxes.h"
#include "interp/version.h"
#include "sysadmin/fileversion.h"

namespace kes {

namespace {

constexpr WORD kIdAboutLine = 100;  // the first line; the others follow it
constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kCloseAfterMs = 6000;

INT_PTR CALLBACK AboutProc(HWND d, UINT m, WPARAM w, LPARAM) {
  switch (m) {
    case WM_INITDIALOG:
      SetTimer(d, kCloseTimer, kCloseAfterMs, nullptr);
      SetFocus(GetDlgItem(d, kIdCancel));
      return FALSE;
    case WM_TIMER:
      if (w != kCloseTimer) break;
      KillTimer(d, kCloseTimer);
      EndDialog(d, 1);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(w) == kIdCancel || LOWORD(w) == kIdOk) EndDialog(d, 1);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void AboutBox(Interp& in, HWND owner) {
  static bool open = false;  // one at a time
  if (open) return;
  open = true;
  const std::string name = in.run.ScriptName();
  DialogTemplate t(BoxStyle(), 0, 175, 196, "A propos de " + name);
  // The program's own version resource, as VERSION reads it; the built-in
  // texts stand in for what it lacks.
  std::vector<VersionValue> version;
  ReadFileVersion(in.mach.exePath, "", ",", version);
  const auto item = [&](const char* n, const char* otherwise) {
    const std::string v = Trim(VersionItem(version, n));
    return v.empty() ? std::string(otherwise) : v;
  };
  const std::string lines[] = {item("ProductName", kProductName),
                               "Version " + item("FileVersion", kProductVersion),
                               std::string("Construit le ") + kBuildDate,
                               item("LegalCopyright", kCopyright),
                               item("FileDescription", "Interpréteur de scripts d'administration"),
                               "Script : " + name,
                               in.mach.exePath};
  int i = 0;
  for (const std::string& line : lines) {
    t.Add(DialogTemplate::kStatic, static_cast<WORD>(kIdAboutLine + i), 7, 8 + 20 * i, 161, 18,
          SS_CENTER | SS_NOPREFIX, 0, line.substr(0, 260));
    ++i;
  }
  t.AddIcon(kIdIcon, 144, 176);
  t.Add(DialogTemplate::kButton, kIdCancel, 52, 175, 73, 15, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "&Ok");
  DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), owner ? owner : MainWindow(), AboutProc, 0);
  open = false;
}

}  // namespace kes
