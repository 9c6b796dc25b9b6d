// ASKMULTI: an answer field per valid answer (at most 20), each with the
// answer as its label; the texts typed go to the ASKMULTI list. Enter walks
// to the next field, and from the last one presses OK.
#include <algorithm>

#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"

namespace kes {

namespace {

// OK has its own id: the dialog's Enter (id 1) must not press it, the
// fields' Enter walks instead.
constexpr WORD kIdMultiOk = 999;
constexpr WORD kIdFieldLabel = 1000;  // the label of the first field; the others follow it
constexpr WORD kIdFirstField = kIdAskField + 1;
constexpr int kMaxFields = 20;

WNDPROC g_editProc = nullptr;  // the answer fields' own procedure

LRESULT CALLBACK FieldProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_GETDLGCODE: {
      LRESULT r = CallWindowProcA(g_editProc, h, m, w, l);
      const MSG* msg = reinterpret_cast<const MSG*>(l);
      if (msg && msg->wParam == VK_RETURN) r |= DLGC_WANTMESSAGE;
      return r;
    }
    case WM_KEYDOWN:
      if (w == VK_RETURN) return 0;
      break;
    case WM_CHAR:
      if (w == '\r' || w == '\n') return 0;
      break;
    case WM_KEYUP:
      if (w == VK_RETURN) {
        HWND parent = GetParent(h);
        HWND next = GetDlgItem(parent, GetDlgCtrlID(h) + 1);
        if (next) {
          SetFocus(next);
          SendMessageA(next, EM_SETSEL, 0, -1);
        } else {
          SendMessageA(parent, WM_COMMAND, MAKEWPARAM(kIdMultiOk, BN_CLICKED), 0);
        }
        return 0;
      }
      break;
  }
  return CallWindowProcA(g_editProc, h, m, w, l);
}

class AskMultiKind final : public Box {
 public:
  AskMultiKind(Interp& in, std::string_view text) : Box(in), items_(in.vars.Sys(SysList::ANSWER)) {
    message.assign(text);
    center = in.sw.center;
  }

  HWND Init(HWND d) override {
    for (int id = kIdFirstField;; ++id) {
      HWND f = GetDlgItem(d, id);
      if (!f) break;
      const auto old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(f, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldProc)));
      if (old != FieldProc) g_editProc = old;
    }
    HWND focus = GetDlgItem(d, kIdFirstField);
    if (!focus) focus = GetDlgItem(d, kIdMultiOk);
    if (focus) SendMessageA(focus, EM_SETSEL, 0, -1);
    return focus;
  }
  bool Command(HWND d, int id, int) override {
    if (id != kIdMultiOk) return false;
    auto& list = in.vars.Sys(SysList::ASKMULTI);
    list.clear();
    for (size_t i = 0; i < items_.size(); ++i) {
      HWND f = GetDlgItem(d, kIdFirstField + static_cast<int>(i));
      list.push_back(f ? ItemText(f) : std::string());
    }
    End(d, "OK");
    return true;
  }

  std::string Run() {
    const int n = std::min<int>(kMaxFields, static_cast<int>(items_.size()));
    const int height = 36 + 15 * std::max(n, 1) + 6 + 21 + 24 + 10;
    DialogTemplate t(BoxStyle(), WS_EX_ACCEPTFILES, 405, height, "Message Kestrova");
    AddFrame(t, MessageControl::Static, center, 15, 4, 375, 27);
    RegisterAskFieldClass();
    for (int i = 0; i < n; ++i) {
      const int y = 36 + 15 * i;
      t.Add(DialogTemplate::kStatic, static_cast<WORD>(kIdFieldLabel + i), 15, y + 2, 150, 10,
            SS_RIGHT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, items_[static_cast<size_t>(i)].substr(0, 255));
      t.AddNamed("ASK", static_cast<WORD>(kIdFirstField + i), 170, y, 220, 13, ES_AUTOHSCROLL | WS_TABSTOP,
                 WS_EX_CLIENTEDGE, "");
    }
    const int y = 36 + 15 * std::max(n, 1) + 6;
    AddOkCancel(t, in, false, y, kIdMultiOk);
    AddFooter(t, kIdFooter, 88, y + 21, 230, 18);
    return RunBox(*this, t);
  }

 private:
  std::vector<std::string> items_;  // the labels, one a field
};

}  // namespace

std::string AskMultiBox(Interp& in, std::string_view message) {
  BoxAnswer a;
  if (Unattended(in, MakeOffer(in, BoxKind::AskMulti, "ASKMULTI", message), a)) {
    if (a.answer != EscAnswer()) in.vars.Sys(SysList::ASKMULTI) = a.fields;
    return a.answer;
  }
  return AskMultiKind(in, message).Run();
}

}  // namespace kes
