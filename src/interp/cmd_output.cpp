// Text output to files (APPEND, OUTPUT) and the answer lists.
#include "interp/commands.h"
#include "sysadmin/fileops.h"

namespace kes {

// APPEND file,text adds a line; OUTPUT file,text replaces the content. The
// text is everything after the first separator that follows the file name.
void CmdAppend(Interp& in, Ctx& c) {
  const std::string& a = in.line.args;
  // A quoted file name may hold the separator.
  size_t from = 0;
  const std::string& q = in.sep.quote;
  const std::string_view lead = LTrimView(a);
  if (!q.empty() && StartsWith(lead, q)) {
    const size_t close = a.find(q, (a.size() - lead.size()) + q.size());
    if (close != std::string::npos) from = close + q.size();
  }
  const size_t p = a.find(in.Sep(), from);
  const std::string file = Unquote(Trim(std::string_view(a).substr(0, p)), in.sep.quote);
  const std::string_view text =
      p == std::string::npos ? std::string_view() : LTrimView(std::string_view(a).substr(p + in.Sep().size()));
  if (file.empty()) {
    in.err.code = kErrLocalFile;
    return;
  }
  in.err.code = WriteTextLine(file, text, c.Word<AppendWord>() == AppendWord::Append);
}

// ANSWER v1,v2,... fills the valid-answer list; BUTTONSELECT the button
// labels. An empty first item is skipped; no argument empties the list.
void CmdAnswer(Interp& in, Ctx& c) {
  auto& list = in.vars.Sys(SysList::ANSWER);
  std::vector<std::string>* target = &list;
  if (c.Word<AnswerWord>() == AnswerWord::ButtonSelect) target = &in.boxes.buttonLabels;
  target->clear();
  const size_t n = FieldCount(in);
  for (size_t i = 1; i <= n; ++i) {
    if (i == 1 && Field(in, 1).empty()) continue;
    target->push_back(FieldUnquoted(in, i));
  }
}

}  // namespace kes
