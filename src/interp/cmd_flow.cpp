// Control flow: IF, GOTO, CALL and CALLSUB, ENDSUB, EXIT, FOR / NEXT /
// ITERATE / EXITFOR and SWITCH. The commands change the block stacks and
// hand control codes to the script runner, which moves through the lines.
#include <cmath>

#include "interp/commands.h"
#include "interp/condition.h"
#include "interp/numformat.h"
#include "script/prepare.h"
#include "startup/runner.h"

namespace kes {

// ---- IF

void CmdIf(Interp& in, Ctx& c) {
  const bool blockIf = IsBlockIfLine(c.lineText);
  ConditionState cs;
  std::string text = c.lineText;
  const bool r = EvaluateCondition(in, text, cs);
  in.system->Trace(in, "IF", r ? "TRUE" : "FALSE");
  if (blockIf || !r || text == "@") {
    // The IF line is no assignment of its own: a ":=" in it belongs to a
    // command that does not run, which must assign nothing.
    std::string& written = in.line.commandText;
    const size_t assign = written.find(":=");
    if (assign != std::string::npos) written.erase(assign);
  }
  if (blockIf) {
    // The line pushed a true entry before it ran; the condition decides it.
    c.stacks.SetTopIf(r);
    return;
  }
  if (!r || text == "@") return;
  const NestedCommand nested(in);
  if (!nested.ok) return;
  // The text after the condition is a command of its own: it is prepared,
  // run and reported like any line, so this line adds nothing after it.
  --CurrentFrame(in).line;
  std::string out;
  Dispatch(in, text, "IF", out, c.stacks);
  c.control = out;
  in.line.skipEpilogue = true;
}

// ---- GOTO and labels

void CmdGoto(Interp& in, Ctx& c) {
  std::string_view a = TrimView(in.line.args);
  c.control = "#GTO#" + Upper(TrimView(a.substr(0, a.find(' '))));
  c.stacks.ResetIfs();
  c.stacks.switches.clear();
}

// ---- CALL, CALLSUB, ENDSUB, EXIT

void CmdCall(Interp& in, Ctx& c) {
  const bool sub = c.Word<CallWord>() == CallWord::CallSub;
  const std::string source = in.line.args;
  if (sub) {
    const std::vector<std::string> f = SplitFields(source, in.Sep(), in.sep.quote);
    SetVariable(in, "SUB", f.empty() ? std::string() : f[0]);
  }
  // A called script is always a file or an address, never the package.
  const bool packaged = in.mach.packaged;
  in.mach.packaged = false;
  bool subCall = sub;
  RunScript(in, source, true, subCall);
  in.mach.packaged = packaged;
  // A missing sub is reported like a failed command; otherwise the line
  // ends here, whatever the called script left.
  if (in.err.code != kErrMissingPartner) in.line.skipEpilogue = true;
}

void CmdEndSub(Interp& in, Ctx& c) {
  in.line.skipEpilogue = true;
  // Outside a sub run by CALLSUB the word means nothing.
  if (!CurrentFrame(in).sub) return;
  SetVariable(in, "CALLSUB", in.line.args);
  // No error epilogue, but a one-line separator must not reach the caller.
  PerLineResets(in);
  c.control = "#CSB#";
}

void CmdExit(Interp& in, Ctx& c) {
  SetVariable(in, "CALL", in.line.args);
  if (in.mach.packaged) ExitSequence(in);
  c.control = "#EXI#";
}

// ---- FOR, NEXT, ITERATE, EXITFOR

namespace {

bool Continues(const ForRecord& f) {
  return (f.step > 0 && f.current <= f.end) || (f.step < 0 && f.current >= f.end);
}

// Removes the innermost loop and its variable.
void EndLoop(Interp& in, BlockStacks& st) {
  const ForRecord& f = st.fors.back();
  for (auto& l : in.vars.Locals(in.run.callDepth))
    if (l.name == f.name) l = VarStore::Local{};
  st.PopBlocksTo(f.ifDepth, f.switchDepth);
  st.fors.pop_back();
}

// Steps the innermost loop; true when it goes on (control set to loop back).
bool StepLoop(Interp& in, Ctx& c) {
  ForRecord& f = c.stacks.fors.back();
  std::string* value = nullptr;
  for (auto& l : in.vars.Locals(in.run.callDepth))
    if (!l.name.empty() && l.name == f.name) value = &l.value;
  // A variable that no longer exists (its slot was taken by a loop of the
  // same name, or every local slot was in use) goes on from the value the
  // record holds: counting again from 0 would never reach the end.
  const Num v = std::round(f.step + (value ? Val(*value) : static_cast<Num>(f.current)));
  f.current = static_cast<double>(v);
  if (value) *value = GeneralFormat(v);
  if (!Continues(f)) return false;
  if (!value) SetVariable(in, std::string(1, kLocalMarker) + f.name, GeneralFormat(v));
  c.stacks.PopBlocksTo(f.ifDepth, f.switchDepth);
  c.control = "#FOR#" + std::to_string(f.forLine - 1);
  return true;
}

}  // namespace

void CmdFor(Interp& in, Ctx& c) {
  std::string t = in.line.args;
  RemoveChar(t, ' ');
  ReplaceAll(t, ".", ",");
  std::vector<std::string> f = SplitPlain(t, in.Sep());
  f.resize(std::max<size_t>(f.size(), 4));
  ForRecord r;
  r.name = Upper(f[0]);
  r.start = static_cast<double>(Val(f[1]));
  r.end = static_cast<double>(Val(f[2]));
  r.step = f[3].empty() ? 1.0 : static_cast<double>(Val(f[3]));
  r.current = r.start;
  r.forLine = CurrentFrame(in).line;
  r.ifDepth = c.stacks.IfDepth();
  r.switchDepth = c.stacks.switches.size();
  // A loop inside a loop that runs no more gets no iterations either.
  if (!c.stacks.fors.empty()) {
    const ForRecord& outer = c.stacks.fors.back();
    if (outer.exit || (outer.step > 0 && outer.end < outer.start) || (outer.step < 0 && outer.end > outer.start))
      r.end = r.step < 0 ? r.start + 1 : r.start - 1;
  }
  c.stacks.fors.push_back(r);
  SetVariable(in, std::string(1, kLocalMarker) + r.name, f[1]);
}

void CmdNext(Interp& in, Ctx& c) {
  BlockStacks& st = c.stacks;
  if (st.fors.empty()) return;
  const int line = CurrentFrame(in).line;
  if (c.Word<NextWord>() == NextWord::Iterate) {
    ForRecord& f = st.fors.back();
    if (f.exit) return;
    if (StepLoop(in, c)) return;
    // Finished: the rest of the body is skipped up to NEXT, which ends it.
    f.exit = true;
    st.PopBlocksTo(f.ifDepth, f.switchDepth);
    return;
  }
  ForRecord& f = st.fors.back();
  f.nextLine = line;
  // A loop left by EXITFOR or a finished ITERATE ends at its NEXT.
  if (f.exit || !StepLoop(in, c)) {
    EndLoop(in, st);
    c.control = "#FOR#" + std::to_string(line - 1);
  }
}

void CmdExitFor(Interp& in, Ctx& c) {
  BlockStacks& st = c.stacks;
  if (st.fors.empty()) return;
  ForRecord& f = st.fors.back();
  f.exit = true;
  // The IF blocks opened in the body are closed: their ENDIF lines are
  // skipped with the rest of the body.
  st.PopBlocksTo(f.ifDepth, f.switchDepth);
}

// ---- SWITCH

void CmdSwitchBlock(Interp& in, Ctx& c) {
  auto& sw = c.stacks.switches;
  const std::string& sep = in.Sep();
  const std::string& a = in.line.args;
  const size_t p = a.find(sep);
  const std::string kw = Upper(TrimView(std::string_view(a).substr(0, p)));
  const std::string rest = p == std::string::npos ? std::string() : Trim(std::string_view(a).substr(p + sep.size()));
  const bool ci = in.sw.switchCaseInsensitive;
  if (kw == "ON") {
    SwitchRecord r;
    r.active = true;
    r.value = ci ? Upper(rest) : rest;
    if (r.value.size() > 2048) r.value.resize(2048);
    sw.push_back(std::move(r));
    return;
  }
  if (kw != "CASE" && kw != "ELSE" && kw != "BREAK" && kw != "OFF") {
    in.err.code = kErrNoHandler;
    return;
  }
  if (sw.empty()) return;  // outside a SWITCH these words mean nothing
  SwitchRecord& s = sw.back();
  const SwitchRecord* outer = sw.size() > 1 ? &sw[sw.size() - 2] : nullptr;
  if (kw == "CASE") {
    if (outer && !outer->matched) {
      s.matched = false;
      return;
    }
    bool m = false;
    if (!s.brk) {
      for (const std::string& field : SplitPlain(rest, sep)) {
        const std::string v = ci ? Upper(TrimView(field)) : Trim(field);
        if (v == s.value) {
          m = true;
          break;
        }
      }
    }
    s.matched = m;
    s.anyMatched = s.anyMatched || m;
    in.system->Trace(in, "SWITCH", IntText(static_cast<int64_t>(sw.size()) - 1) + (m ? ",1" : ",0"));
  } else if (kw == "ELSE") {
    s.matched = !s.anyMatched && !s.brk && (!outer || outer->matched);
    in.system->Trace(in, "SWITCH", IntText(static_cast<int64_t>(sw.size()) - 1) + (s.matched ? ",1" : ",0"));
  } else if (kw == "BREAK") {
    if (s.matched) s.brk = true;
  } else {
    sw.pop_back();
  }
}

}  // namespace kes
