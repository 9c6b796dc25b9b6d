// ASKBUTTON: one button per valid answer (at most 16, in two columns beyond
// eight); the button pressed is the answer.
#include <algorithm>

#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"

namespace kes {

namespace {

constexpr WORD kIdAnswerFooter = 103;  // the line showing LABEL, below the buttons
constexpr WORD kIdAnswerButton = 1000;  // the first answer button; the others follow it
constexpr int kMaxButtons = 16;

class AskButtonKind final : public Box {
 public:
  AskButtonKind(Interp& in, std::string_view text) : Box(in) {
    message.assign(text);
    center = in.sw.center;
    const auto& all = in.vars.Sys(SysList::ANSWER);
    items_.assign(all.begin(), all.begin() + std::min<size_t>(all.size(), kMaxButtons));
  }

  HWND Init(HWND d) override { return GetDlgItem(d, kIdAnswerButton); }
  bool Command(HWND d, int id, int) override {
    if (id < kIdAnswerButton || id >= kIdAnswerButton + kMaxButtons) return false;
    const size_t i = static_cast<size_t>(id - kIdAnswerButton);
    if (i < items_.size()) End(d, items_[i]);
    return true;
  }
  WORD FooterId() const override { return kIdAnswerFooter; }

  std::string Run() {
    DialogTemplate t(BoxStyle(), WS_EX_ACCEPTFILES, 338, 239, "Message Kestrova");
    AddFrame(t, MessageControl::Static, center, 15, 4, 305, 27);
    const int n = static_cast<int>(items_.size());
    const int half = (n - 1) / 2;
    int x = n <= 8 ? 100 : 25, row = 0;
    for (int i = 0; i < n; ++i) {
      t.Add(DialogTemplate::kButton, static_cast<WORD>(kIdAnswerButton + i), x, 50 + 15 * row, 139, 14,
            BS_PUSHBUTTON | WS_TABSTOP, 0, Amp(items_[static_cast<size_t>(i)]));
      ++row;
      if (n > 8 && i == half) {
        x = 162;
        row = 0;
      }
    }
    if (in.sw.esc)
      t.Add(DialogTemplate::kButton, kIdCancel, 100, 183, 139, 15, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "&Annuler");
    AddFooter(t, kIdAnswerFooter, 48, 204, 238, 18);
    return RunBox(*this, t);
  }

 private:
  std::vector<std::string> items_;  // the answers, one a button
};

}  // namespace

std::string AskButtonBox(Interp& in, std::string_view message) {
  BoxAnswer a;
  if (Unattended(in, MakeOffer(in, BoxKind::AskButton, "ASKBUTTON", message), a)) return a.answer;
  return AskButtonKind(in, message).Run();
}

}  // namespace kes
