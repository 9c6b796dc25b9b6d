#include "interp/textargs.h"

#include "interp/dispatcher.h"

namespace kes {

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

std::string WholeText(const Interp& in) {
  const std::string& q = in.sep.quote;
  if (q.empty() || FieldCount(in) != 1) return in.line.args;
  const std::string_view t = TrimView(in.line.args);
  if (t.size() < 2 * q.size() || !StartsWith(t, q) || !EndsWith(t, q)) return in.line.args;
  const std::string_view inner = t.substr(q.size(), t.size() - 2 * q.size());
  if (inner.find(q) != std::string_view::npos) return in.line.args;
  return std::string(inner);
}

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

std::vector<std::string> TakeFamily(Interp& in, const std::string& base) {
  std::vector<std::string> out;
  if (base.empty()) return out;
  struct Member {
    size_t n;
    std::string name;
  };
  std::vector<Member> members;
  size_t highest = 0;
  in.vars.ForEach([&](const std::string& name, const std::string&) {
    if (name.size() <= base.size() || name.compare(0, base.size(), base) != 0) return;
    const std::string_view d = std::string_view(name).substr(base.size());
    if (!AllDigits(d)) return;
    // A number beyond the list bound stays out of the family rather than
    // making a temporary list of millions of empty elements.
    size_t n = 0;
    for (char c : d) {
      n = n * 10 + static_cast<size_t>(c - '0');
      if (n > kMaxListIndex) return;
    }
    if (n < 1) return;
    members.push_back(Member{n, name});
    if (n > highest) highest = n;
  });
  out.resize(highest);
  std::vector<char> filled(highest, 0);
  for (const auto& m : members) {
    // X1 and X01 both at 1: the first in table order wins.
    if (!filled[m.n - 1]) {
      if (const std::string* v = in.vars.Find(m.name)) out[m.n - 1] = *v;
      filled[m.n - 1] = 1;
    }
  }
  for (const auto& m : members) in.vars.Remove(m.name);
  return out;
}

void WriteFamily(Interp& in, const std::string& base, const std::vector<std::string>& elements) {
  const int width = static_cast<int>(std::to_string(elements.size()).size());
  for (size_t i = 0; i < elements.size(); ++i)
    SetVariable(in, base + ZeroPad(static_cast<int64_t>(i + 1), width), elements[i]);
}

}  // namespace kes
