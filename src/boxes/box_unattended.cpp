// Unattended mode: with an answer file (/ANSWERS file, or the variable
// ANSWERFILE) no box opens; each box kind asks here first, and its answer
// comes from the file, logged with the box's caption.
#include "boxes/box_kinds.h"
#include "interp/log.h"
#include "script/loader.h"
#include "startup/console.h"

namespace kes {

void LoadAnswerFile(Interp& in, std::string name) {
  RemoveChar(name, '"');
  name = Trim(name);
  if (!(StartsWith(name, "\\\\") || (name.size() >= 2 && name[1] == ':'))) {
    std::string folder = in.mach.launchFolder;
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    name = folder + name;
  }
  std::string text;
  const bool read = ReadWholeFile(name, text);
  // Without its file the run stays unattended: every box is cancelled.
  in.boxes.answers.Load(read ? text : std::string(), name);
  if (!read) {
    const std::string entry = "ANSWERS " + name + " : the file cannot be read, every box is cancelled";
    WriteLog(in, entry);
    ConsoleWrite(entry + "\r\n");
  }
}

BoxOffer MakeOffer(Interp& in, BoxKind kind, std::string_view word, std::string_view caption) {
  BoxOffer o;
  o.kind = kind;
  o.word.assign(word);
  o.caption.assign(caption);
  o.items = in.vars.Sys(SysList::ANSWER);
  o.buttonLabels = in.boxes.buttonLabels;
  o.mandatory = in.sw.mandatory;
  o.noSensitive = in.sw.nosensitive;
  return o;
}

bool Unattended(Interp& in, const BoxOffer& offer, BoxAnswer& out) {
  if (!in.boxes.answers.Active()) return false;
  std::vector<std::string> log;
  out = in.boxes.answers.Answer(offer, log);
  // Each entry goes to the log (when DIRLOG is set) and to the console the
  // run was started from, where a job that runs the script can read it.
  for (const auto& l : log) {
    WriteLog(in, l);
    ConsoleWrite(l + "\r\n");
  }
  return true;
}

}  // namespace kes
