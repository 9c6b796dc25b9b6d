// The mouse and the screen: MOUSECLICK, MOUSEDBLCLICK, MOUSEMOVE,
// MOUSEGETXY, CURSOR, GETPIXEL.
#include "automation/focus.h"
#include "automation/titlematch.h"
#include "interp/commands.h"

namespace kes {

namespace {

// The target's outer top-left corner on the screen; (0, 0) without one.
POINT TargetCorner(const Interp& in) {
  POINT p{0, 0};
  HWND t = TargetWindow(in);
  RECT r;
  if (t && IsWindow(t) && GetWindowRect(t, &r)) p = POINT{r.left, r.top};
  return p;
}

// One click where the cursor is; false for a word that names no button.
bool Click(Interp& in, const std::string& button) {
  DWORD down, up;
  if (button == "LEFT") down = MOUSEEVENTF_LEFTDOWN, up = MOUSEEVENTF_LEFTUP;
  else if (button == "RIGHT") down = MOUSEEVENTF_RIGHTDOWN, up = MOUSEEVENTF_RIGHTUP;
  else if (button == "MIDDLE") down = MOUSEEVENTF_MIDDLEDOWN, up = MOUSEEVENTF_MIDDLEUP;
  else return false;
  HWND t = TargetWindow(in);
  if (t && IsWindow(t)) SetCapture(t);
  mouse_event(down, 0, 0, 0, 0);
  mouse_event(up, 0, 0, 0, 0);
  ReleaseCapture();
  return true;
}

struct NamedCursor {
  const char* word;
  LPCSTR id;
};
const NamedCursor kCursors[] = {{"WAIT", IDC_WAIT}, {"APPSTARTING", IDC_APPSTARTING}, {"CROSS", IDC_CROSS},
                                    {"IBEAM", IDC_IBEAM}, {"NO", IDC_NO}, {"ARROW", IDC_ARROW}};

}  // namespace

// MOUSECLICK / MOUSEDBLCLICK LEFT|MIDDLE|RIGHT
void CmdMouseClick(Interp& in, Ctx& c) {
  const std::string button = in.line.second;
  if (!Click(in, button) || c.Word<MouseClickWord>() != MouseClickWord::DoubleClick) return;
  char speed[32] = {};
  GetProfileStringA("Windows", "DoubleClickSpeed", "", speed, sizeof speed);
  Sleep(DoubleClickPause(speed));
  Click(in, button);
}

// MOUSEMOVE x,y: the cursor to (x, y) from the target's top-left corner.
// MOUSEGETXY: MOUSEGETXYX and MOUSEGETXYY, the cursor from that corner.
void CmdMouseMove(Interp& in, Ctx& ctx) {
  if (ctx.Word<MouseMoveWord>() == MouseMoveWord::GetXY) {
    POINT p{0, 0};
    GetCursorPos(&p);
    const POINT c = TargetCorner(in);
    SetVariable(in, "MOUSEGETXYX", IntText(p.x - c.x));
    SetVariable(in, "MOUSEGETXYY", IntText(p.y - c.y));
    return;
  }
  BringTargetToFront(in);
  const POINT c = TargetCorner(in);
  SetCursorPos(c.x + ValInt(Field(in, 1)), c.y + ValInt(Field(in, 2)));
}

// CURSOR WAIT|APPSTARTING|CROSS|IBEAM|NO|ARROW or a .cur/.ani file: the
// system's normal mouse cursor takes that shape. CURSOR NORMAL or DEFAULT:
// the user's own cursors come back.
void CmdCursor(Interp& in, Ctx&) {
  const std::string arg = WholeArg(in);
  const std::string word = Upper(arg);
  if (word.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (word == "NORMAL" || word == "DEFAULT") {
    if (!SystemParametersInfoA(SPI_SETCURSORS, 0, nullptr, 0)) in.err.code = static_cast<int32_t>(GetLastError());
    return;
  }
  HCURSOR c = nullptr;
  for (const auto& n : kCursors)
    if (word == n.word) c = CopyCursor(LoadCursorA(nullptr, n.id));
  if (!c) {
    if (GetFileAttributesA(arg.c_str()) == INVALID_FILE_ATTRIBUTES) {
      in.err.code = kErrNotFound;
      return;
    }
    c = LoadCursorFromFileA(arg.c_str());
  }
  if (!c) {
    in.err.code = kErrUsage;
    return;
  }
  if (!SetSystemCursor(c, 32512 /* OCR_NORMAL */)) {
    in.err.code = static_cast<int32_t>(GetLastError() ? GetLastError() : 1);
    DestroyCursor(c);
  }
}

// GETPIXEL x,y: the colour of a screen point as "red,green,blue".
void CmdGetPixel(Interp& in, Ctx&) {
  HDC dc = GetDC(nullptr);
  const COLORREF c = dc ? GetPixel(dc, ValInt(Field(in, 1)), ValInt(Field(in, 2))) : CLR_INVALID;
  if (dc) ReleaseDC(nullptr, dc);
  if (c == CLR_INVALID) {
    in.err.code = kErrUsage;
    return;
  }
  in.line.result = IntText(GetRValue(c)) + "," + IntText(GetGValue(c)) + "," + IntText(GetBValue(c));
}

}  // namespace kes
