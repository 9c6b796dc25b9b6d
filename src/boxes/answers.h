// Unattended mode: the boxes take their answers, in order, from an answer
// file (Kestrova.exe /ANSWERS file script, or the environment variable
// ANSWERFILE) instead of waiting for a person. This part is pure logic: the
// file's lines, the rules that turn one line into each box kind's answer,
// and the text of the log entry; the box kinds call it before they open.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kes {

// The box kinds that take answers.
enum class BoxKind {
  Echo,       // ECHO, SHOW, TYPE: any line closes it; {ESC} escapes
  EchoError,  // "" on any line but {ESC}
  AskOk,      // "OK" (any case) or {ESC}
  Ask,        // the text, checked like the box checks it
  AskButton,  // one of the buttons' captions
  AskCheck,   // the numbers of the items to mark ("1,3"; empty: none), or a button label
  AskList,    // one of the items (ASKLIST, ASKFORMAT), or a button label
  AskMulti,   // the fields' texts separated by "|"
  Path,       // ASKFILE, ASKDIR, FILEDIALOG, DIRDIALOG: the path as written
  Dialog,     // COLORDIALOG, FONTDIALOG: the answer as the dialog gives it
};

// What a box offers, for the answer to be checked against.
struct BoxOffer {
  BoxKind kind = BoxKind::Echo;
  std::string word;                       // the command word, for the log
  std::string caption;                    // the question or message
  bool masked = false;                    // a password field: the log shows stars
  std::vector<std::string> items;         // valid answers / the items listed
  std::vector<std::string> buttonLabels;  // BUTTONSELECT captions (ASKCHECK, ASKLIST)
  // ASK: MANDATORY, NOSENSITIVE, and whether the field had an initial text.
  bool mandatory = false, noSensitive = true, hasInitial = false;
};

// The answer a box gives, with the lists it fills (not for a cancelled box,
// which leaves them as they were).
struct BoxAnswer {
  std::string answer;               // the escape character (27) for a cancelled box
  std::vector<std::string> marks;   // ASKCHECK: "1" or "0" per item
  std::vector<std::string> fields;  // ASKMULTI: one text per item
};

// The answer feed of a run: the lines of the answer file, taken in order.
class AnswerFeed {
 public:
  // Loads the answers from the file's text: one answer per line (CR LF or
  // LF); a line starting with ";" is a comment, ";;" starts an answer with
  // ";"; a last empty line is no answer.
  void Load(std::string_view text, std::string_view fileName);
  bool Active() const { return active_; }
  std::string_view FileName() const { return file_; }
  size_t Left() const { return lines_.size() - next_; }

  // Answers a box from the next lines. An answer the box would refuse is
  // logged and the next line is tried; with no line left the box is
  // cancelled. `log` receives one entry per line taken and one when the
  // answers have run out.
  BoxAnswer Answer(const BoxOffer& offer, std::vector<std::string>& log);

 private:
  bool active_ = false;
  std::string file_;
  std::vector<std::string> lines_;
  size_t next_ = 0;
};

// The answer-file word for a cancelled box.
inline constexpr std::string_view kEscapeAnswer = "{ESC}";

// The ASK rule: an answer is accepted without MANDATORY, with an initial
// text, with fewer than two valid answers, or when it equals one of them
// (right-trimmed; both upper-cased under NOSENSITIVE).
bool AskAnswerAccepted(std::string_view answer, const std::vector<std::string>& valid, bool mandatory, bool noSensitive,
                       bool hasInitial);

// Takes the answer-file word of a command line: "/ANSWERS file" (the name
// in double quotes when it holds blanks) anywhere among the arguments. The
// word and its name leave `args`; false when it is not there.
bool TakeAnswersWord(std::string& args, std::string& file);

}  // namespace kes
