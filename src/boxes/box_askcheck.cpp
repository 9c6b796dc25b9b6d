// ASKCHECK: a check box per valid answer, fifteen a page with a scroll bar
// beyond; the marks go to the ASKCHECK list ("1" or "0" per answer) on OK
// and on a button of the button-label list.
#include <algorithm>

#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"

namespace kes {

namespace {

constexpr WORD kIdCheckScroll = 4999;  // the page scroll bar
constexpr WORD kIdCheckRow = 5000;     // the first check box of a page; the others follow it
constexpr int kCheckPage = 15;

class AskCheckKind final : public Box {
 public:
  AskCheckKind(Interp& in, std::string_view text) : Box(in), items_(in.vars.Sys(SysList::ANSWER)) {
    message.assign(text);
    center = in.sw.center;
    // the marks of the previous ASKCHECK are the starting marks
    const auto& prev = in.vars.Sys(SysList::ASKCHECK);
    checks_.resize(items_.size());
    for (size_t i = 0; i < items_.size() && i < prev.size(); ++i) checks_[i] = prev[i] == "1" ? 1 : 0;
    rows_ = std::min<int>(kCheckPage, static_cast<int>(items_.size()));
  }

  HWND Init(HWND d) override {
    ShowPage(d);
    if (HWND ok = GetDlgItem(d, kIdOk)) return ok;
    return GetDlgItem(d, kIdCheckRow);
  }
  void Ok(HWND d) override {
    KeepState(d);
    End(d, "OK");
  }
  void KeepState(HWND d) override {
    SaveMarks(d);
    auto& list = in.vars.Sys(SysList::ASKCHECK);
    list.clear();
    for (char c : checks_) list.push_back(c ? "1" : "0");
  }
  bool Scroll(HWND d, HWND bar, WPARAM w) override {
    if (bar != GetDlgItem(d, kIdCheckScroll)) return false;
    const int pages = static_cast<int>((items_.size() + kCheckPage - 1) / kCheckPage);
    int p = page_;
    switch (LOWORD(w)) {
      case SB_LINEDOWN: case SB_PAGEDOWN: ++p; break;
      case SB_LINEUP: case SB_PAGEUP: --p; break;
      case SB_TOP: p = 0; break;
      case SB_BOTTOM: p = pages - 1; break;
      case SB_THUMBPOSITION: case SB_THUMBTRACK: p = HIWORD(w); break;
      default: return true;
    }
    p = std::clamp(p, 0, std::max(0, pages - 1));
    if (p != page_) {
      SaveMarks(d);
      page_ = p;
      ShowPage(d);
    }
    return true;
  }

  std::string Run() {
    const int y = 36 + 12 * std::max(1, rows_) + 4;
    // the height is known only once the label buttons are counted
    const int nl = std::min<int>(kMaxLabelButtons, static_cast<int>(in.boxes.buttonLabels.size()));
    const int height = y + (nl ? ((nl + 4) / 5) * 16 + 2 : 0) + 15 + 6 + 24 + 10;
    DialogTemplate t(BoxStyle(), WS_EX_ACCEPTFILES, 405, height, "Message Kestrova");
    AddFrame(t, MessageControl::Static, center, 15, 4, 375, 27);
    for (int r = 0; r < rows_; ++r)
      t.Add(DialogTemplate::kButton, static_cast<WORD>(kIdCheckRow + r), 15, 36 + 12 * r, 350, 11,
            BS_AUTOCHECKBOX | WS_TABSTOP, 0, "");
    if (items_.size() > static_cast<size_t>(kCheckPage))
      t.Add(DialogTemplate::kScrollBar, kIdCheckScroll, 372, 36, 10, 12 * kCheckPage, SBS_VERT, 0, "");
    const int okY = AddLabelButtons(t, in, y);
    AddOkCancel(t, in, false, okY);
    AddFooter(t, kIdFooter, 88, okY + 15 + 6, 230, 18);
    return RunBox(*this, t);
  }

 private:
  // The marks of the page shown go back into checks_.
  void SaveMarks(HWND d) {
    for (int r = 0; r < rows_; ++r) {
      const size_t i = static_cast<size_t>(page_ * kCheckPage + r);
      if (i < checks_.size()) checks_[i] = IsDlgButtonChecked(d, kIdCheckRow + r) == BST_CHECKED ? 1 : 0;
    }
  }

  void ShowPage(HWND d) {
    for (int r = 0; r < rows_; ++r) {
      const size_t i = static_cast<size_t>(page_ * kCheckPage + r);
      HWND c = GetDlgItem(d, kIdCheckRow + r);
      if (i < items_.size()) {
        const std::string text = ZeroPad(static_cast<int64_t>(i) + 1, 2) + "  " + Amp(items_[i]);
        SetWindowTextA(c, text.c_str());
        CheckDlgButton(d, kIdCheckRow + r, checks_[i] ? BST_CHECKED : BST_UNCHECKED);
        ShowWindow(c, SW_SHOW);
      } else {
        ShowWindow(c, SW_HIDE);
      }
    }
    if (HWND sb = GetDlgItem(d, kIdCheckScroll)) {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
      si.nMin = 0;
      si.nMax = static_cast<int>((items_.size() - 1) / kCheckPage);
      si.nPage = 1;
      si.nPos = page_;
      SetScrollInfo(sb, SB_CTL, &si, TRUE);
    }
  }

  std::vector<std::string> items_;  // the answers, one a check box
  std::vector<char> checks_;        // the mark of each answer
  int page_ = 0;
  int rows_ = 0;  // check boxes on a page
};

}  // namespace

std::string AskCheckBox(Interp& in, std::string_view message) {
  BoxAnswer a;
  if (Unattended(in, MakeOffer(in, BoxKind::AskCheck, "ASKCHECK", message), a)) {
    if (a.answer != EscAnswer()) in.vars.Sys(SysList::ASKCHECK) = a.marks;
    return a.answer;
  }
  return AskCheckKind(in, message).Run();
}

}  // namespace kes
