#include "interp/families.h"

namespace kes {

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
