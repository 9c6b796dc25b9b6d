// Message and prompt boxes: the entries other modules use.
#pragma once

#include <string>
#include <string_view>

#include "interp/interp.h"

struct HWND__;

namespace kes {

// The error box of the ECHOERROR kind: black text on red, with OK and Cancel.
// Returns the answer (empty on OK, the escape character otherwise).
std::string ShowErrorBox(Interp& in, std::string_view message);

// The CHOICE built-in: false when no choice window is open.
bool ChoiceValue(Interp& in, std::string& out);
// Selects the entry equal to value in an open choice window.
void SelectChoice(Interp& in, std::string_view value);

// Removes the notification-area icon when one was created.
void RemoveTrayIcon(Interp& in);

// The progress gauge used by long operations: "ON,caption", "pos,total,%",
// "OFF". A quiet setting suppresses it. A throttled "pos,total,%" takes the
// values at once but repaints the window and lets messages through only
// when the last repaint is 50 ms old: an operation may report thousands of
// points a second.
void GaugeUpdate(Interp& in, std::string_view items, bool throttled = false);
// Opens the gauge with a message of one or two lines (a transfer's caption
// and text), taken as they are.
void GaugeOpen(Interp& in, std::string_view caption, std::string_view text);

// Registers the answer-field class a control of that id uses (a copy of the
// system edit class with the text-beam cursor: "ASK" for ids from 3000,
// "IMM" below, as the immediate window's input line) and returns its name.
const char* AnswerFieldClass(int id);

// The interpreter's hidden main window, owner of every box.
HWND__* MainWindow();

}  // namespace kes
