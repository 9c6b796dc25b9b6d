// %NAME% substitution on any line, with variables, lists and built-in values
// taken from the fuzz input. The input is lines: "NAME=VALUE" lines define
// variables ("$L=..." appends to a user list, "!S=..." a shared variable,
// "#D=x" sets the delimiter), and the last line is the text substituted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "interp/variables.h"

namespace {

// The running interpreter's part, answered from small tables.
class FakeHost : public kes::SubstHost {
 public:
  Found Builtin(std::string_view name, std::string& out) override {
    if (name == "DATE") {
      out = "2026/12/08";
      return Found::Final;
    }
    if (name == "CR") {
      out = "\r";
      return Found::Value;
    }
    if (name == "SELF") {  // a value that refers to itself
      out = "%SELF%%SELF%";
      return Found::Final;
    }
    if (name == "EMPTY") {
      out.clear();
      return Found::Value;
    }
    return Found::NotBuiltin;
  }
  std::string SharedGet(std::string_view name) override {
    const auto it = shared.find(std::string(name));
    return it == shared.end() ? std::string() : it->second;
  }
  const std::vector<std::string>* ComputedList(kes::SysList id) override {
    return id == kes::SysList::ATRUN ? &atrun : nullptr;
  }
  void SetError(int32_t code) override { error = code; }

  std::map<std::string, std::string> shared;
  std::vector<std::string> atrun{"job one", "job two"};
  int32_t error = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  kes::VarStore vars;
  FakeHost host;
  std::string delim = "%";
  std::vector<std::string_view> lines;
  for (size_t start = 0;;) {
    const size_t nl = all.find('\n', start);
    lines.push_back(all.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start));
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
  int level = -1;
  for (size_t k = 0; k + 1 < lines.size(); ++k) {
    const std::string_view l = lines[k];
    const size_t eq = l.find('=');
    if (eq == std::string_view::npos || eq == 0) continue;
    const std::string name = kes::Upper(l.substr(0, eq));
    const std::string_view value = l.substr(eq + 1);
    if (name == "#D") {
      delim = std::string(value.substr(0, 3));
    } else if (name == "#L") {
      level = static_cast<int>(kes::ValInt(value)) % 20 - 2;
    } else if (name[0] == '$') {
      const int slot = vars.UserListSlot(name);
      if (slot >= 0 && vars.UserList(slot).size() < 100) vars.UserList(slot).emplace_back(value);
    } else if (name[0] == '!') {
      host.shared[name] = std::string(value);
    } else if (name == "ANSWER" || name == "ARG") {
      vars.Sys(name == "ANSWER" ? kes::SysList::ANSWER : kes::SysList::ARG).emplace_back(value);
    } else if (name.size() > 1 && name[0] == '~') {
      vars.SetLocal(level, name.substr(1), value);
    } else {
      vars.Store(name, value);
    }
    if (level >= 0) vars.Args(level)[static_cast<size_t>(k % kes::kArgSlots)] = std::string(value);
  }
  std::string line(lines.back());
  kes::SubstOptions opt;
  opt.delim = delim;
  opt.callLevel = level;
  opt.protectedDisplay = size & 1;
  const std::string before = line;
  kes::Substitute(line, vars, host, opt);
  // A line without the delimiter is left alone.
  if (!delim.empty() && before.find(delim) == std::string::npos && line != before) std::abort();
  return 0;
}
