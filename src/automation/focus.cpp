#include "automation/focus.h"

#include "automation/keysend.h"
#include "automation/winsearch.h"
#include "trace/trace.h"

namespace kes {

namespace {

bool WaitInterrupted(Interp& in) { return WaitEnds(in) || in.sw.interrupt; }

// The first registered box on screen: it becomes the focus object and its
// lines go to the runner, which runs them before the wait line again.
bool OptionalBoxShown(Interp& in, Ctx& ctx) {
  auto& boxes = in.waits.boxes;
  for (size_t i = 0; i < boxes.size(); ++i) {
    HWND w = FindWindowByTitle(boxes[i].title, boxes[i].parent);
    if (!w) continue;
    in.focus.object = reinterpret_cast<uintptr_t>(w);
    ctx.control = "#OPT#" + boxes[i].block;
    in.run.pendingFromOptional = boxes[i].once;
    TraceText(in, boxes[i].once ? "Begin ( OPTIONALBOX )" : "Begin ( IGNOREBOX )");
    if (boxes[i].once) boxes.erase(boxes.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
  }
  return false;
}

}  // namespace

void Front(Interp& in, HWND w) {
  if (!w || !IsWindow(w)) return;
  HWND fg = GetForegroundWindow();
  if (fg && RootWindow(fg) != RootWindow(w)) in.focus.lastFocus = reinterpret_cast<uintptr_t>(fg);
  BringToFront(w, in.sw.oldapp);
}

void BringTargetToFront(Interp& in) {
  HWND win = FocusWindow(in), obj = FocusObject(in);
  if (win && win != obj) Front(in, win);
  if (obj) Front(in, obj);
}

void TakeMatch(Interp& in, HWND match) {
  FocusState& f = in.focus;
  f.object = reinterpret_cast<uintptr_t>(match);
  if (!f.window || !IsWindow(FocusWindow(in))) {
    HWND p = GetParent(match);
    f.window = reinterpret_cast<uintptr_t>(p ? p : match);
  }
  BringTargetToFront(in);
  in.err.code = 0;
}

void AttachCollectedLines(Interp& in) {
  if (in.run.boxBlock.empty()) return;
  if (!in.waits.boxes.empty()) in.waits.boxes.back().block += in.run.boxBlock;
  in.run.boxBlock.clear();
}

bool RunWait(Interp& in, Ctx& ctx, WaitPass pass, void* data) {
  AttachCollectedLines(in);
  // Run again after a box's lines, the wait keeps the deadline it began with.
  const DWORD start = in.run.afterBoxLines ? in.waits.boxWaitStart : GetTickCount();
  in.run.afterBoxLines = false;
  const uint64_t limitMs = in.waits.maxWait > 0 ? static_cast<uint64_t>(in.waits.maxWait) * 1000u : 0;
  for (;;) {
    if (pass(in, data)) {
      in.err.code = 0;
      return true;
    }
    if ((limitMs && GetTickCount() - start > limitMs) || WaitInterrupted(in)) {
      in.err.code = 1;
      return false;
    }
    if (OptionalBoxShown(in, ctx)) {
      in.waits.boxWaitStart = start;
      in.err.code = 0;
      return false;
    }
    PumpMessages();
    Sleep(0);  // no pause: only let other ready threads run
  }
}

}  // namespace kes
