// The boxes and windows the box commands open, one file each. Each modal
// box kind has one entry point below, and that entry point alone produces
// the kind's answer (and fills its lists: ASKCHECK, ASKMULTI): it builds
// the kind's box, runs it and returns what the person chose.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "boxes/answers.h"
#include "interp/interp.h"

namespace kes {

// ---- unattended mode (box_unattended.cpp)
// Reads the answer file named on the command line (/ANSWERS) or by the
// variable ANSWERFILE; a relative name is taken in the launch folder.
void LoadAnswerFile(Interp& in, std::string name);
// What a box offers: the valid answers, button labels and ASK switches.
BoxOffer MakeOffer(Interp& in, BoxKind kind, std::string_view word, std::string_view caption);
// Every box kind's entry point asks here first: with an answer file the box
// does not open, `out` holds the answer from the file (its entries logged),
// and the answer is true.
bool Unattended(Interp& in, const BoxOffer& offer, BoxAnswer& out);

// ---- modal boxes
// ECHO: the message and OK, no Cancel (box_message.cpp).
void EchoBox(Interp& in, std::string_view message);
// ECHOERROR: black on red, OK and Cancel; "" or the escape character
// (box_message.cpp).
std::string EchoErrorBox(Interp& in, std::string_view message);
// ASKOK: "OK" or the escape character (box_message.cpp).
std::string AskOkBox(Interp& in, std::string_view message);
// SHOW and TYPE: a text in a read-only scrolling field (box_message.cpp).
std::string ShowTextBox(Interp& in, std::string_view text);
// ASK: a line of text, checked against the valid answers when MANDATORY is
// on; a question beginning with "#" masks the field (box_ask.cpp).
std::string AskBox(Interp& in, std::string_view message, const std::vector<std::string>& validAnswers,
                   bool hasInitial = false, std::string_view initial = {});
// ASKBUTTON: the answer of the button pressed (box_askbutton.cpp).
std::string AskButtonBox(Interp& in, std::string_view message);
// ASKCHECK: "OK", a button label or the escape character; the marks go to
// the ASKCHECK list (box_askcheck.cpp).
std::string AskCheckBox(Interp& in, std::string_view message);
// ASKLIST and ASKFORMAT (format): the answer chosen (box_asklist.cpp).
std::string AskListBox(Interp& in, std::string_view message, bool format);
// ASKMULTI: "OK" or the escape character; the texts go to the ASKMULTI
// list (box_askmulti.cpp).
std::string AskMultiBox(Interp& in, std::string_view message);
// ASKFILE (file) and ASKDIR: the path chosen (box_askpath.cpp).
std::string AskPathBox(Interp& in, std::string_view start, bool file);
// The "A propos de" box, closed by itself after a few seconds
// (box_about.cpp).
void AboutBox(Interp& in, HWND owner);

// ---- the system dialogs, closed by MAXWAIT like the boxes (box_dialogs.cpp)
std::string FileDialog(Interp& in, std::string_view start, std::string_view pattern, bool save);
std::string DirDialog(Interp& in, std::string_view start);
std::string ColorDialog(Interp& in, const std::vector<std::string>& items);
std::string FontDialog(Interp& in, const std::vector<std::string>& items);
// COM for the shell's dialogs, initialised once for the process on the
// interpreter's thread (apartment-threaded) before the first of them.
void InitShellCom(Interp& in);

// ---- the popup window, the notification icon and the end request (box_popup.cpp)
// The popup's controls.
enum PopupId : WORD {
  kIdPopupEnd = 101,       // "Fin"
  kIdPopupProgress = 103,  // the progress line
  kIdPopupHide = 200,      // "Cacher"
  kIdPopupPercent = 203,
  kIdPopupMessage = 7117,
};
// POPUP and GAUGE. throttled: the values are taken, but an open window is
// repainted only when the last repaint is 50 ms old (the progress of long
// operations).
void PopupCommand(Interp& in, bool gauge, std::vector<std::string> items, std::string_view rawText,
                  bool throttled = false);
void PopupClose(Interp& in);
// The text a popup control shows (kept even while the window is hidden).
std::string PopupText(int id);
void IconBar(Interp& in, std::string_view mode);
// The person asks the script to end ("Fin"): confirmed, or by password.
void EndRequest(Interp& in);

// ---- the choice window (box_choice.cpp)
int ChoiceCommand(Interp& in, const std::vector<std::string>& items);

// ---- the background and picture windows (box_background.cpp)
int BackgroundCommand(Interp& in, const std::vector<std::string>& items);
int PictureCommand(Interp& in, const std::vector<std::string>& items);

}  // namespace kes
