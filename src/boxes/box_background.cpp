// The background (BACKGROUND: a text on a blue screen) and picture (PICTURE:
// a bitmap, its top-left colour transparent on request) windows, each closed
// after its seconds.
#include <windows.h>

#include <algorithm>

#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"
#include "boxes/boxes.h"
#include "packaging/package.h"

namespace kes {

namespace {

HWND g_background = nullptr;
std::string g_backgroundText;
HWND g_picture = nullptr;
HBITMAP g_pictureBitmap = nullptr;

LRESULT CALLBACK BackgroundProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT r;
      GetClientRect(h, &r);
      HBRUSH b = CreateSolidBrush(RGB(0, 0, 128));
      FillRect(dc, &r, b);
      DeleteObject(b);
      HFONT f = MakeFont(28, 3, true);
      HGDIOBJ old = SelectObject(dc, f);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(255, 255, 255));
      DrawTextA(dc, g_backgroundText.c_str(), static_cast<int>(g_backgroundText.size()), &r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      SelectObject(dc, old);
      DeleteObject(f);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_TIMER:
      KillTimer(h, 1);
      DestroyWindow(h);
      return 0;
    case WM_DESTROY:
      if (h == g_background) g_background = nullptr;
      return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

LRESULT CALLBACK PictureProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (g_pictureBitmap) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, g_pictureBitmap);
        BITMAP bm;
        GetObjectA(g_pictureBitmap, sizeof bm, &bm);
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
      }
      EndPaint(h, &ps);
      return 0;
    }
    case WM_TIMER:
      KillTimer(h, 1);
      DestroyWindow(h);
      return 0;
    case WM_DESTROY:
      if (h == g_picture) {
        g_picture = nullptr;
        if (g_pictureBitmap) DeleteObject(g_pictureBitmap);
        g_pictureBitmap = nullptr;
      }
      return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

}  // namespace

// BACKGROUND OFF | BACKGROUND text[,seconds]
int BackgroundCommand(Interp& in, const std::vector<std::string>& items) {
  if (g_background) DestroyWindow(g_background);
  g_background = nullptr;
  if (!items.empty() && Upper(items[0]) == "OFF") return 0;
  g_backgroundText = items.empty() ? std::string() : items[0];
  RegisterPlainClass("KestrovaBackground", BackgroundProc);
  g_background = CreateWindowExA(WS_EX_TOOLWINDOW, "KestrovaBackground", WindowTitleOf(in).c_str(), WS_POPUP, 0, 0,
                                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), MainWindow(), nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
  if (!g_background) return kErrUsage;
  const int secs = items.size() > 1 ? ValInt(items[1]) : 0;
  if (secs > 0) SetTimer(g_background, 1, static_cast<UINT>(std::min(secs, 86400)) * 1000u, nullptr);
  ShowWindow(g_background, SW_SHOWNOACTIVATE);
  SetWindowPos(g_background, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  UpdateWindow(g_background);
  return 0;
}

// PICTURE OFF | PICTURE file.bmp[,x,y[,seconds[,TRANSPARENT]]]
int PictureCommand(Interp& in, const std::vector<std::string>& items) {
  if (g_picture) DestroyWindow(g_picture);
  g_picture = nullptr;
  if (items.empty() || items[0].empty()) return kErrUsage;
  if (Upper(items[0]) == "OFF") return 0;
  // An IMAGELIST picture of a package comes straight from memory.
  HBITMAP bmp = LoadBitmapFile(in, items[0]);
  if (!bmp) return kErrNotFound;
  BITMAP bm;
  GetObjectA(bmp, sizeof bm, &bm);
  int x = (GetSystemMetrics(SM_CXSCREEN) - bm.bmWidth) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - bm.bmHeight) / 2;
  if (items.size() > 2 && IsWholeNumber(items[1]) && IsWholeNumber(items[2])) {
    x = ValInt(items[1]);
    y = ValInt(items[2]);
  }
  const int secs = items.size() > 3 ? ValInt(items[3]) : 0;
  const bool transparent = items.size() > 4 && Upper(items[4]) == "TRANSPARENT";
  RegisterPlainClass("KestrovaPicture", PictureProc);
  g_pictureBitmap = bmp;
  g_picture = CreateWindowExA(WS_EX_TOOLWINDOW | (transparent ? 0x00080000 /* WS_EX_LAYERED */ : 0), "KestrovaPicture",
                              WindowTitleOf(in).c_str(), WS_POPUP, x, y, bm.bmWidth, bm.bmHeight, MainWindow(), nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  if (!g_picture) {
    DeleteObject(bmp);
    g_pictureBitmap = nullptr;
    return kErrUsage;
  }
  if (transparent) {
    // the colour of the top-left pixel becomes transparent (Windows 2000 and later)
    using SetLayered = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    auto fn = reinterpret_cast<SetLayered>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetLayeredWindowAttributes")));
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    const COLORREF key = GetPixel(mem, 0, 0);
    SelectObject(mem, old);
    DeleteDC(mem);
    if (fn) fn(g_picture, key, 255, 1 /* LWA_COLORKEY */);
  }
  if (secs > 0) SetTimer(g_picture, 1, static_cast<UINT>(std::min(secs, 86400)) * 1000u, nullptr);
  SetWindowPos(g_picture, in.sw.top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ShowWindow(g_picture, SW_SHOWNOACTIVATE);
  UpdateWindow(g_picture);
  return 0;
}

}  // namespace kes
