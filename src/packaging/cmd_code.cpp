// CODE, CODEFILE and DECODE: the program's scrambling applied to a text or
// to a script file (docs/scrambling.md).
#include "interp/args.h"
#include "interp/commands.h"
#include "interp/errors.h"
#include "packaging/compress_file.h"
#include "packaging/package_format.h"
#include "packaging/scramble.h"
#include "sysadmin/fileops.h"

namespace kes {

namespace {

// CODEFILE source,target: a plain script becomes a scrambled one (the mark,
// then each line scrambled) and a scrambled one becomes plain again. The
// result is the number of lines.
void CodeFile(Interp& in) {
  const std::string source = PathField(in, 1), target = PathField(in, 2);
  if (source.empty() || !FileExists(source)) {
    in.err.code = kErrNotFound;
    return;
  }
  if (target.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  std::string text;
  if (const int32_t code = ReadSource(in, source, text)) {
    in.err.code = code;
    return;
  }
  const bool scrambled = StartsWith(text, kScrambleMark);
  std::string_view rest(text);
  if (scrambled) rest.remove_prefix(kScrambleMark.size());
  std::string out;
  if (!scrambled) out.assign(kScrambleMark);
  size_t lines = 0;
  for (size_t from = 0; from < rest.size();) {
    size_t e = rest.find('\n', from);
    if (e == std::string_view::npos) e = rest.size();
    std::string_view l = rest.substr(from, e - from);
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    out += scrambled ? UnscrambleOrKeep(l) : Scramble(l);
    out += "\r\n";
    ++lines;
    from = e + 1;
  }
  if (const int32_t code = ReplaceTarget(target, {}, out)) {
    in.err.code = code;
    return;
  }
  in.line.result = std::to_string(lines);
}

}  // namespace

// CODE text gives the text scrambled; DECODE text gives it back (error 1,
// and the text unchanged, when it is not a scrambled text); CODEFILE
// source,target scrambles a script file or unscrambles it (53 missing
// source, 1 no target, 75 target not writable).
void CmdCode(Interp& in, Ctx& c) {
  in.err.code = kErrNone;
  switch (c.Word<CodeWord>()) {
    case CodeWord::Code:
      in.line.result = Scramble(WholeText(in));
      break;
    case CodeWord::Decode: {
      const std::string text = WholeText(in);
      if (!Unscramble(text, in.line.result)) {
        in.line.result = text;
        in.err.code = kErrUsage;
      }
      break;
    }
    case CodeWord::CodeFile:
      CodeFile(in);
      break;
  }
}

}  // namespace kes
