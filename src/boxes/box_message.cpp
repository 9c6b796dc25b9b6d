// The message boxes: ECHO, ECHOERROR (black on red), ASKOK, and SHOW / TYPE
// (a text in a read-only scrolling field).
#include <algorithm>

#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"

namespace kes {

namespace {

enum class Kind { Echo, EchoError, AskOk, Show };

class MessageKind final : public Box {
 public:
  MessageKind(Interp& in, Kind kind, std::string_view text) : Box(in), kind_(kind) {
    message.assign(text);
    center = in.sw.center || kind == Kind::EchoError;
  }
  ~MessageKind() override {
    if (red_) DeleteObject(red_);
  }

  HWND Init(HWND d) override {
    if (kind_ == Kind::EchoError) {
      SetFont(d, kIdMessage, 12, 3, true);
      red_ = CreateSolidBrush(RGB(255, 0, 0));
    } else if (kind_ == Kind::Show) {
      SetFont(d, kIdMessage, 9, 4, false);
    }
    return nullptr;
  }
  void Ok(HWND d) override { End(d, kind_ == Kind::AskOk ? "OK" : ""); }
  HBRUSH Colours(HWND, int id, HDC dc) override {
    if (id != kIdMessage || !red_) return nullptr;
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 0, 0));
    return red_;
  }

  std::string Run() {
    DialogTemplate t(BoxStyle(), WS_EX_ACCEPTFILES, 338, 177, "Message Kestrova");
    if (kind_ == Kind::EchoError) AddFrame(t, MessageControl::CentredText, center, 15, 6, 305, 109);
    else if (kind_ == Kind::Show) AddFrame(t, MessageControl::Text, center, 15, 6, 305, 109);
    else AddFrame(t, MessageControl::Static, center, 15, 4, 305, 110);
    if (kind_ == Kind::Show)
      t.Add(DialogTemplate::kButton, kIdOk, 99, 121, 139, 15, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "&Ok");
    else AddOkCancel(t, in, kind_ == Kind::Echo, 121);
    AddFooter(t, kIdFooter, 48, 143, 230, 18);
    return RunBox(*this, t);
  }

 private:
  Kind kind_;
  HBRUSH red_ = nullptr;
};

}  // namespace

void EchoBox(Interp& in, std::string_view message) {
  BoxAnswer a;
  if (Unattended(in, MakeOffer(in, BoxKind::Echo, "ECHO", message), a)) return;
  MessageKind(in, Kind::Echo, message).Run();
}

std::string EchoErrorBox(Interp& in, std::string_view message) {
  BoxAnswer a;
  if (Unattended(in, MakeOffer(in, BoxKind::EchoError, "ECHOERROR", message), a)) return a.answer;
  return MessageKind(in, Kind::EchoError, message).Run();
}

std::string AskOkBox(Interp& in, std::string_view message) {
  BoxAnswer a;
  if (Unattended(in, MakeOffer(in, BoxKind::AskOk, "ASKOK", message), a)) return a.answer;
  return MessageKind(in, Kind::AskOk, message).Run();
}

std::string ShowTextBox(Interp& in, std::string_view text) {
  BoxAnswer a;
  if (Unattended(in, MakeOffer(in, BoxKind::Echo, "SHOW", text), a)) return a.answer;
  return MessageKind(in, Kind::Show, text).Run();
}

}  // namespace kes
