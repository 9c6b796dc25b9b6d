// Message and prompt boxes: the command handlers.
#include <windows.h>

#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"
#include "boxes/boxes.h"
#include "interp/commands.h"

namespace kes {

namespace {

std::vector<std::string> Items(const Interp& in) {
  std::vector<std::string> r;
  const size_t n = FieldCount(in);
  for (size_t i = 1; i <= n; ++i) r.push_back(FieldUnquoted(in, i));
  return r;
}

std::string MessageText(const Interp& in) { return Trim(in.line.args); }

}  // namespace

// ECHO, ECHOERROR, ASKOK and ASK.
void CmdAsk(Interp& in, Ctx& c) {
  const std::string msg = MessageText(in);
  switch (c.Word<AskWord>()) {
    case AskWord::Echo: EchoBox(in, msg); break;
    case AskWord::EchoError: in.line.result = EchoErrorBox(in, msg); break;
    case AskWord::AskOk: in.line.result = AskOkBox(in, msg); break;
    case AskWord::Ask: in.line.result = AskBox(in, msg, in.vars.Sys(SysList::ANSWER)); break;
  }
}

void CmdAskButton(Interp& in, Ctx&) { in.line.result = AskButtonBox(in, MessageText(in)); }
void CmdAskCheck(Interp& in, Ctx&) { in.line.result = AskCheckBox(in, MessageText(in)); }
void CmdAskList(Interp& in, Ctx& c) {
  in.line.result = AskListBox(in, MessageText(in), c.Word<AskListWord>() == AskListWord::AskFormat);
}
void CmdAskMulti(Interp& in, Ctx&) { in.line.result = AskMultiBox(in, MessageText(in)); }

void CmdAskDir(Interp& in, Ctx& c) {
  in.line.result = AskPathBox(in, WholeArg(in), c.Word<AskDirWord>() == AskDirWord::AskFile);
}

void CmdFileDialog(Interp& in, Ctx&) {
  in.line.result = FileDialog(in, FieldUnquoted(in, 1), FieldUnquoted(in, 2), Upper(Field(in, 3)) == "SAVE");
}

void CmdDirDialog(Interp& in, Ctx&) { in.line.result = DirDialog(in, WholeArg(in)); }

void CmdColorDialog(Interp& in, Ctx& c) {
  const std::vector<std::string> items = Items(in);
  const bool font = c.Word<ColorDialogWord>() == ColorDialogWord::FontDialog;
  in.line.result = font ? FontDialog(in, items) : ColorDialog(in, items);
}

// POPUP [SILENT,]title,text,status and GAUGE [SILENT,]value,total[,%][,text].
void CmdGauge(Interp& in, Ctx& c) {
  PopupCommand(in, c.Word<GaugeWord>() == GaugeWord::Gauge, Items(in), Trim(in.line.args));
}

void CmdPopupWidth(Interp& in, Ctx&) {
  long long w = ValInt64(Field(in, 1));
  if (w < 0) w = 0;
  if (w > 100000) w = 100000;
  in.boxes.popupWidth = static_cast<int>(w);
}

void CmdIconBar(Interp& in, Ctx&) { IconBar(in, Field(in, 1)); }

void CmdPassword(Interp& in, Ctx&) { in.boxes.stopPassword = FieldUnquoted(in, 1); }

void CmdChoice(Interp& in, Ctx&) {
  const int e = ChoiceCommand(in, Items(in));
  if (e) in.err.code = e;
}

void CmdCopyright(Interp& in, Ctx&) {
  if (!ModalBoxOpen()) AboutBox(in, nullptr);
}

// SHOW line1,line2,... shows the items one a line; TYPE file shows a text
// file.
void CmdShow(Interp& in, Ctx& c) {
  std::string text;
  if (c.Word<ShowWord>() == ShowWord::Type) {
    const std::string name = FieldUnquoted(in, 1);
    HANDLE f = name.empty() ? INVALID_HANDLE_VALUE
                            : CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
      in.err.code = kErrNotFound;
      return;
    }
    text.resize(kMaxMessage);
    DWORD got = 0;
    if (!ReadFile(f, text.data(), static_cast<DWORD>(text.size()), &got, nullptr)) got = 0;
    CloseHandle(f);
    text.resize(got);
    // bare line feeds become CR LF for the edit control
    std::string fixed;
    fixed.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) fixed += '\r';
      fixed += text[i];
    }
    text.swap(fixed);
  } else {
    const std::vector<std::string> items = Items(in);
    for (size_t i = 0; i < items.size(); ++i) text += (i ? "\r\n" : "") + items[i];
  }
  ShowTextBox(in, text);
}

void CmdBackground(Interp& in, Ctx&) {
  const int e = BackgroundCommand(in, Items(in));
  if (e) in.err.code = e;
}

void CmdPicture(Interp& in, Ctx&) {
  const int e = PictureCommand(in, Items(in));
  if (e) in.err.code = e;
}

}  // namespace kes
