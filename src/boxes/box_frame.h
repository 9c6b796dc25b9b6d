// The common machinery of the boxes: in-memory dialog templates laid out in
// dialog units, fonts, the modal box runner and the box kinds.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "interp/interp.h"

namespace kes {

// Control identifiers the event handlers test.
enum BoxId : WORD {
  kIdOk = 1,
  kIdCancel = 2,
  kIdCopyright = 101,  // also "Fin" of the popup window
  kIdFooterButtons = 103,  // footer of ASKBUTTON, message line of ASKFILE, progress of the popup
  kIdValidLine = 104,      // also the folder list of ASKFILE and ASKDIR
  kIdValidation = 105,
  kIdFooter = 106,
  kIdHide = 200,
  kIdPercent = 203,
  kIdMultiOk = 999,
  kIdButtonBase = 1000,  // ASKBUTTON buttons, ASKMULTI labels
  kIdIcon = 1771,
  kIdAskField = 3000,
  kIdCheckBase = 5000,  // ASKCHECK rows
  kIdCheckScroll = 4999,
  kIdList = 4001,
  kIdListHeader = 4002,
  kIdPrev = 4003,
  kIdNext = 4004,
  kIdLineCounter = 4005,
  kIdDrive = 4010,
  kIdMessage = 7117,
  kIdLabelButtonBase = 9900,
};

inline constexpr UINT kMaxWaitTimer = 11111;
inline constexpr int kCheckPage = 15;
inline constexpr int kListPage = 15;
inline constexpr int kMaxButtons = 16;
inline constexpr int kMaxMultiFields = 20;
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

enum class BoxKind { Echo, EchoError, AskOk, Ask, AskButton, AskCheck, AskList, AskFormat, AskMulti, AskFile, AskDir, Show, About };

// One modal box while it runs.
struct Box {
  Interp* in = nullptr;
  BoxKind kind = BoxKind::Echo;
  std::string message;
  std::vector<std::string> items;  // the valid answers (or the items shown)
  std::string initial;             // ASK: text given by the caller
  bool hasInitial = false;
  bool password = false;
  bool center = false;
  std::string answer;
  // ASKCHECK
  std::vector<char> checks;
  int page = 0;
  int rows = 0;
  // ASKLIST / ASKFORMAT
  std::vector<std::string> listItems;  // shown texts
  std::vector<std::string> headings;
  int listTop = 0;
  // ASKFILE / ASKDIR
  std::string folder;
  std::vector<std::string> entries;  // "\\" prefix marks a folder
  // window state
  HWND hwnd = nullptr;
  std::vector<HFONT> fonts;
  HBRUSH red = nullptr;
};

// A control font: size in points (0 means 8), face index (1-based in the
// face list, -1 the script's face), bold.
HFONT MakeFont(int size, int face, bool bold);
// The escape answer.
inline std::string EscAnswer() { return std::string(1, kEscChar); }

// Runs a box built from the template; returns its answer. Refuses (answer
// escape) while another modal box is open.
std::string RunBox(Box& b, const DialogTemplate& t);
bool ModalBoxOpen();
// Runs the end request once the open box has closed.
void DeferEndRequest();

// The box kinds.
std::string MessageBoxKind(Interp& in, BoxKind kind, std::string_view message, const std::vector<std::string>& items,
                           bool hasInitial = false, std::string_view initial = {});
std::string AskButtonBox(Interp& in, std::string_view message);
std::string AskCheckBox(Interp& in, std::string_view message);
std::string AskListBox(Interp& in, std::string_view message, bool format);
std::string AskMultiBox(Interp& in, std::string_view message);
std::string AskPathBox(Interp& in, std::string_view start, bool file);
std::string ShowTextBox(Interp& in, std::string_view text);
void AboutBox(Interp& in, HWND owner);

// The system dialogs, closed by MAXWAIT like the boxes.
std::string FileDialog(Interp& in, std::string_view start, std::string_view pattern, bool save);
std::string DirDialog(Interp& in, std::string_view start);
std::string ColorDialog(Interp& in, const std::vector<std::string>& items);
std::string FontDialog(Interp& in, const std::vector<std::string>& items);

// Popup window, notification icon, end request, choice window, extras.
// throttled: the values are taken, but an existing window is repainted only
// when the last repaint is 50 ms old (the progress of long operations).
void PopupCommand(Interp& in, bool gauge, std::vector<std::string> items, std::string_view rawText,
                  bool throttled = false);
void PopupClose(Interp& in);
std::string PopupText(int id);
void IconBar(Interp& in, std::string_view mode);
void EndRequest(Interp& in);
int ChoiceCommand(Interp& in, const std::vector<std::string>& items);
int BackgroundCommand(Interp& in, const std::vector<std::string>& items);
int PictureCommand(Interp& in, const std::vector<std::string>& items);

}  // namespace kes
