#include "interp/args.h"

#include "interp/dispatcher.h"
#include "interp/strops.h"
#include "sysadmin/fileops.h"

namespace kes {

const std::string& Field(const Interp& in, size_t n) {
  static const std::string empty;
  if (n == 0 || n > in.line.fields.size()) return empty;
  return in.line.fields[n - 1];
}

size_t FieldCount(const Interp& in) { return in.line.fields.size(); }

std::string FieldUnquoted(const Interp& in, size_t n) { return Unquote(Field(in, n), in.sep.quote); }

Num FieldNumber(const Interp& in, size_t n) { return Val(Field(in, n)); }

int64_t FieldInt(const Interp& in, size_t n) { return ValInt64(Field(in, n)); }

std::string WholeArg(const Interp& in) { return Unquote(Trim(in.line.args), in.sep.quote); }

std::string WholeText(const Interp& in) {
  const std::string& q = in.sep.quote;
  if (q.empty() || FieldCount(in) != 1) return in.line.args;
  const std::string_view t = TrimView(in.line.args);
  if (t.size() < 2 * q.size() || !StartsWith(t, q) || !EndsWith(t, q)) return in.line.args;
  const std::string_view inner = t.substr(q.size(), t.size() - 2 * q.size());
  if (inner.find(q) != std::string_view::npos) return in.line.args;
  return std::string(inner);
}

std::string TextAfterField(const Interp& in, size_t k) { return TextAfter(in.line.args, k, in.Sep(), in.sep.quote); }

std::string ArgsFromField(const Interp& in, size_t k) {
  const std::string_view s = in.line.args;
  if (k <= 1) return RTrim(LTrimView(s));
  const size_t p = AfterSeparators(s, k - 1, in.sep.argSep, in.sep.quote);
  return p == std::string_view::npos ? std::string() : RTrim(LTrimView(s.substr(p)));
}

std::string RawArgs(const Interp& in) {
  const std::string& t = in.line.commandText;
  std::string w, a;
  SplitCommandWord(t, w, a);
  if (w == in.line.word) return a;
  // LET name = WORD arguments
  const size_t eq = t.find('=');
  if (eq != std::string::npos) {
    const std::string_view rest = LTrimView(std::string_view(t).substr(eq + 1));
    const size_t sp = rest.find(' ');
    if (Upper(TrimView(rest.substr(0, sp))) == in.line.word)
      return sp == std::string_view::npos ? std::string() : std::string(rest.substr(sp + 1));
  }
  return in.line.args;
}

bool RefusePath(Interp& in, std::string_view path) {
  const int e = CheckUsablePath(path);
  if (e) in.err.code = e;
  return e != 0;
}

bool HoldsLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

bool HasDelimiter(const Interp& in, std::string_view written) {
  const std::string_view d = in.sep.varDelim.empty() ? std::string_view("%") : std::string_view(in.sep.varDelim);
  return written.find(d) != std::string_view::npos;
}

std::string ReferenceName(Interp& in, std::string_view written) {
  const std::string d = in.sep.varDelim.empty() ? std::string("%") : in.sep.varDelim;
  const std::string_view w = TrimView(written);
  auto strip = [&d](std::string_view s) { return ReplaceAllCopy(s, d, ""); };
  const size_t po = w.find('(');
  const size_t pc = po == std::string_view::npos ? po : w.find(')', po + 1);
  std::string name;
  if (pc != std::string_view::npos) {
    name = strip(w.substr(0, po)) + in.Substituted(w.substr(po + 1, pc - po - 1)) + strip(w.substr(pc + 1));
  } else {
    name = strip(w);
  }
  return Upper(Trim(name));
}

bool IsOnWord(std::string_view word) { return EqualsNoCase(TrimView(word), "ON"); }

}  // namespace kes
