// ASK: a line of text. With two or more valid answers they are listed, and
// while MANDATORY is on only one of them is taken.
#include "boxes/answers.h"
#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"

namespace kes {

namespace {

constexpr WORD kIdValidAnswers = 104;  // the "Réponses valides :" line

class AskKind final : public Box {
 public:
  AskKind(Interp& in, std::string_view text, const std::vector<std::string>& items, bool hasInitial,
             std::string_view initial)
      : Box(in), items_(items), hasInitial_(hasInitial), initial_(initial) {
    message.assign(text);
    center = in.sw.center;
    // A question beginning with "#" masks the field.
    if (!message.empty() && message[0] == '#') {
      message.erase(0, 1);
      password_ = true;
    }
  }

  HWND Init(HWND d) override {
    HWND f = GetDlgItem(d, kIdAskField);
    if (hasInitial_) SetWindowTextA(f, initial_.c_str());
    else if (items_.size() == 1) SetWindowTextA(f, items_[0].c_str());
    if (items_.size() >= 2) {
      std::string line = "Réponses valides :";
      for (const auto& s : items_) {
        line += " " + s + ",";
        if (line.size() > 4096) break;
      }
      if (!line.empty() && line.back() == ',') line.pop_back();
      SetDlgItemTextA(d, kIdValidAnswers, line.c_str());
    }
    if (!password_) SendMessageA(f, EM_SETSEL, 0, -1);
    return f;
  }

  void Ok(HWND d) override {
    const std::string text = DlgText(d, kIdAskField);
    if (Accepts(text)) {
      End(d, text);
      return;
    }
    ShowValidation(d, kIdValidation);
    HWND f = GetDlgItem(d, kIdAskField);
    SetFocus(f);
    SendMessageA(f, EM_SETSEL, 0, -1);
  }

  std::string Run() {
    DialogTemplate t(BoxStyle(), WS_EX_ACCEPTFILES, 338, 177, "Message Kestrova");
    AddFrame(t, MessageControl::Static, center, 15, 4, 305, 55);
    RegisterAskFieldClass();
    t.AddNamed("ASK", kIdAskField, 16, 73, 303, 13, ES_AUTOHSCROLL | WS_TABSTOP | (password_ ? ES_PASSWORD : 0),
               WS_EX_CLIENTEDGE, "");
    if (items_.size() >= 2) {
      t.Add(DialogTemplate::kStatic, kIdValidAnswers, 15, 92, 305, 15, SS_CENTER | SS_ENDELLIPSIS | SS_NOPREFIX, 0,
            "");
      t.Add(DialogTemplate::kStatic, kIdValidation, 27, 108, 280, 12, SS_CENTER | SS_NOPREFIX, 0, "");
    }
    AddOkCancel(t, in, false, 121);
    AddFooter(t, kIdFooter, 48, 143, 230, 18);
    return RunBox(*this, t);
  }

 private:
  bool Accepts(const std::string& text) const {
    return AskAnswerAccepted(text, items_, in.sw.mandatory, in.sw.nosensitive, hasInitial_);
  }

  std::vector<std::string> items_;  // the valid answers
  bool hasInitial_;
  std::string initial_;
  bool password_ = false;
};

}  // namespace

std::string AskBox(Interp& in, std::string_view message, const std::vector<std::string>& validAnswers, bool hasInitial,
                   std::string_view initial) {
  // A question beginning with "#" masks the field: the log shows stars.
  const bool masked = !message.empty() && message[0] == '#';
  BoxOffer o = MakeOffer(in, BoxKind::Ask, "ASK", masked ? message.substr(1) : message);
  o.items = validAnswers;
  o.masked = masked;
  o.hasInitial = hasInitial;
  BoxAnswer a;
  if (Unattended(in, o, a)) return a.answer;
  return AskKind(in, message, validAnswers, hasInitial, initial).Run();
}

}  // namespace kes
