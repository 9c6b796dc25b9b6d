// Line preparation with substitution and block tracking on any script. The
// input is lines: "~NAME=VALUE" sets a variable before the script runs; every
// other line is a script line, prepared as the dispatcher prepares it. IF
// lines have their condition evaluated (a block IF takes its value), FOR and
// NEXT open and close loops, SWITCH ON and OFF open and close switches, so
// the block stacks go through what a script can do to them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "interp/condition.h"
#include "script/prepare.h"
#include "support/fake_system.h"

namespace {

// The stacks hold together: the count of false IF entries is right, the
// first entry is never removed.
void CheckStacks(const kes::BlockStacks& st) {
  if (st.ifs.empty() || !st.ifs[0]) std::abort();
  int falses = 0;
  for (char v : st.ifs) falses += v ? 0 : 1;
  if (falses != st.falseIfs) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  kes::FakeSystem sys;
  kes::Interp in;
  in.system = &sys;
  kes::BlockStacks st;
  int count = 0;
  for (size_t start = 0; start <= all.size() && count < 400; ++count) {
    const size_t nl = all.find('\n', start);
    const std::string_view l = all.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
    start = nl == std::string_view::npos ? all.size() + 1 : nl + 1;
    if (!l.empty() && l[0] == '~') {
      const size_t eq = l.find('=');
      if (eq != std::string_view::npos && eq > 1) kes::SetVariable(in, l.substr(1, eq - 1), l.substr(eq + 1));
      continue;
    }
    std::string line(l);
    kes::Prepared p = kes::PrepareLine(in, line, (count & 7) == 7, st);
    if (p == kes::Prepared::Run) p = kes::PrepareCommand(in, line, static_cast<uint8_t>(count & 0x3F));
    CheckStacks(st);
    if (p != kes::Prepared::Run) continue;
    const std::string& w = in.line.word;
    if (w == "IF") {
      kes::ConditionState cs;
      std::string text = line;
      const bool r = kes::EvaluateCondition(in, text, cs);
      if (kes::IsBlockIfLine(line)) st.SetTopIf(r);
    } else if (w == "FOR" && st.fors.size() < 20) {
      kes::ForRecord f;
      f.start = static_cast<double>(kes::Val(in.line.args));
      f.end = f.start + (count % 3) - 1;
      f.ifDepth = st.IfDepth();
      f.switchDepth = st.switches.size();
      st.fors.push_back(f);
    } else if (w == "NEXT" && !st.fors.empty()) {
      st.PopBlocksTo(st.fors.back().ifDepth, st.fors.back().switchDepth);
      st.fors.pop_back();
    } else if (w == "SWITCH" && in.line.second == "ON" && st.switches.size() < 20) {
      kes::SwitchRecord s;
      s.active = true;
      s.matched = (count & 1) != 0;
      st.switches.push_back(s);
    } else if (w == "SWITCH" && in.line.second == "OFF" && !st.switches.empty()) {
      st.switches.pop_back();
    }
    CheckStacks(st);
    kes::PerLineResets(in);
  }
  return 0;
}
