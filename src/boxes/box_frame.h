// The frame every modal box shares: in-memory dialog templates laid out in
// dialog units, fonts, the message, icon, "©", OK and Cancel, footer and
// button-label controls, and the modal loop with its window procedure. Each
// box kind lives in its own file (box_ask.cpp, box_askcheck.cpp, ...): it
// derives from Box, builds its template with the helpers here, and brings
// its own rules through the hooks; the window procedure knows no kind.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "interp/interp.h"

namespace kes {

// The ids of the frame's controls. A box kind names its own controls in its
// own file; the numbers are those the boxes have always had.
enum FrameId : WORD {
  kIdOk = 1,
  kIdCancel = 2,  // also the Escape key
  kIdCopyright = 101,
  kIdValidation = 105,  // the validation line (red)
  kIdFooter = 106,      // the footer line showing LABEL
  kIdIcon = 1771,       // the program icon (resource)
  kIdAskField = 3000,   // the first answer field; the fields of one box follow it
  kIdMessage = 7117,
  kIdLabelButtonBase = 9900,  // the buttons of the button-label list
};

inline constexpr UINT kMaxWaitTimer = 11111;
inline constexpr int kMaxLabelButtons = 10;
inline constexpr size_t kMaxMessage = 60000;

// A dialog template built in memory.
class DialogTemplate {
 public:
  enum : WORD { kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83, kScrollBar = 0x84, kComboBox = 0x85 };
  DialogTemplate(DWORD style, DWORD exStyle, int cx, int cy, std::string_view title, int fontSize = 8,
                 std::string_view face = "MS Sans Serif");
  // A control of a predefined class.
  void Add(WORD cls, WORD id, int x, int y, int cx, int cy, DWORD style, DWORD exStyle, std::string_view text);
  // A control of a registered class ("ASK").
  void AddNamed(std::string_view cls, WORD id, int x, int y, int cx, int cy, DWORD style, DWORD exStyle,
                std::string_view text);
  // The program icon (static with an icon resource).
  void AddIcon(WORD id, int x, int y);
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(buf_.data()); }
  int Width() const { return cx_; }
  int Height() const { return cy_; }

 private:
  void Align();
  void Str(std::string_view s);
  void Item(WORD id, int x, int y, int cx, int cy, DWORD style, DWORD exStyle);
  std::vector<WORD> buf_;
  int cx_, cy_;
};

// One modal box while it runs. The frame handles what every box has (the
// message and footer texts, "©", Cancel, the button labels, MAXWAIT, files
// dropped on an answer field, the red validation line); a box kind derives
// from it and answers the hooks.
class Box {
 public:
  explicit Box(Interp& interp) : in(interp) {}
  Box(const Box&) = delete;
  Box& operator=(const Box&) = delete;
  virtual ~Box();

  Interp& in;
  std::string message;
  bool center = false;  // the message is centred
  std::string answer;

  // ---- the hooks of the box kinds
  // Fills the kind's controls once the box exists. Answers the control that
  // takes the focus; null: OK, or Cancel when there is no OK.
  virtual HWND Init(HWND) { return nullptr; }
  // OK was pressed: End() with the answer, or leave the box open.
  virtual void Ok(HWND d) { End(d, ""); }
  // A command from a control of the kind; false when the id is none of its.
  virtual bool Command(HWND, int /*id*/, int /*code*/) { return false; }
  // A scroll bar of the kind moved; false when it is none of its.
  virtual bool Scroll(HWND, HWND /*bar*/, WPARAM) { return false; }
  // The background brush of a control of the kind, with the colours set on
  // dc; null: the system's.
  virtual HBRUSH Colours(HWND, int /*id*/, HDC) { return nullptr; }
  // A button of the button-label list ends the box: the kind keeps what the
  // person set (ASKCHECK keeps its check marks).
  virtual void KeepState(HWND) {}
  // The id of the line that shows LABEL.
  virtual WORD FooterId() const { return kIdFooter; }

  // Ends the box with this answer.
  void End(HWND d, std::string a);
  // Gives a control a font, deleted with the box.
  void SetFont(HWND d, int id, int size, int face, bool bold);

 private:
  std::vector<HFONT> fonts_;
};

// Runs a box built from the template; returns its answer. Refuses (answer
// escape) while another modal box is open.
std::string RunBox(Box& b, const DialogTemplate& t);
bool ModalBoxOpen();
// Runs the end request once the open box has closed.
void DeferEndRequest();

// ---- helpers of the box kinds
DWORD BoxStyle();
// The message control of the frame.
enum class MessageControl { None, Static, Text, CentredText };
// Icon, "©" button and the message control at (x, y), w x h.
void AddFrame(DialogTemplate& t, MessageControl message, bool center, int x, int y, int w, int h);
// OK and Cancel as the OK and ESC switches want them, in a box of that width.
void AddOkCancel(DialogTemplate& t, const Interp& in, bool noCancel, int y, WORD okId = kIdOk);
void AddFooter(DialogTemplate& t, WORD id, int x, int y, int w, int h);
// Buttons of the button-label list, five a row from y; answers the y below them.
int AddLabelButtons(DialogTemplate& t, const Interp& in, int y);
void SetText(HWND d, int id, std::string_view s);
void ShowValidation(HWND d, int id);
std::string ItemText(HWND h);
std::string DlgText(HWND d, int id);
// A text with "&" doubled, for a button caption.
std::string Amp(std::string_view s);
// Registers the "ASK" answer-field class before a template names it.
void RegisterAskFieldClass();
// The escape answer.
inline std::string EscAnswer() { return std::string(1, kEscChar); }
// A control font: size in points (0 means 8), face index (1-based in the
// face list), bold.
HFONT MakeFont(int size, int face, bool bold);

// ---- helpers of the program's other windows
// The title of the program's windows: the script's title, else the product name.
std::string WindowTitleOf(const Interp& in);
// Registers a plain window class once.
void RegisterPlainClass(const char* name, WNDPROC proc, HBRUSH background = nullptr);
// The path names an existing folder.
bool IsFolder(const std::string& path);
// A whole number with an optional sign, as window positions are given.
bool IsWholeNumber(std::string_view s);

}  // namespace kes
