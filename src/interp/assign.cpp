// SetVariable: the single entry for every assignment. The names with rules
// of their own are rows of the special-variable table.
#include "interp/interp.h"
#include "interp/special_vars.h"

namespace kes {

namespace {

// "ANSWER12" counts as ANSWER element 12 when it lies, as text, between the
// base followed by "1" and the base followed by six "9"; n is read from up to
// ten characters after the base.
bool NumberedName(std::string_view name, std::string_view base, long long& n) {
  if (!StartsWith(name, base)) return false;
  const std::string lo = std::string(base) + "1";
  const std::string hi = std::string(base) + "999999";
  if (name < std::string_view(lo) || name > std::string_view(hi)) return false;
  n = static_cast<long long>(Val(name.substr(base.size(), 10)));
  return true;
}

void SetListElement(Interp& in, std::vector<std::string>& list, long long n, std::string_view value, bool grow) {
  if (n < 1) return;
  const size_t i = static_cast<size_t>(n - 1);
  if (i >= list.size()) {
    if (!grow) return;
    if (i >= kMaxListIndex) {
      in.err.code = kErrUsage;
      return;
    }
    list.resize(i + 1);
  }
  list[i].assign(value);
}

}  // namespace

void SetVariable(Interp& in, std::string_view rawName, std::string_view rawValue) {
  std::string name = Upper(TrimView(rawName));
  std::string value(rawValue);
  if (name.empty()) return;

  if (name[0] == '$') {
    std::string ln;
    long long number;
    VarStore::SplitListName(name, ln, number);
    ListOpArgs a;
    a.value = value;
    a.index = number < 0 ? -1 : number - 1;
    ListOperation(in.vars, in, ListOp::SetElement, name, a);
    return;
  }
  if (name[0] == kLocalMarker) {
    name.erase(0, 1);
    name = Trim(name);
    // A 33rd local of one level has no slot: the assignment is refused with
    // error 1 rather than lost without a word.
    if (!in.vars.SetLocal(in.run.callDepth, name, value)) in.err.code = kErrUsage;
    return;
  }
  if (name[0] == '@') {
    value = EncodeProtected(value);
    name.erase(0, 1);
  }

  if (const SpecialVariable* special = FindSpecialVariable(name); special && special->write) {
    if (!special->write(in, value)) return;
  } else {
    long long n = 0;
    // ARG1 to ARG64 are the argument slots; a numbered ARG name beyond them
    // is dropped. ARG01 lies below "ARG1" and is an ordinary variable.
    if (NumberedName(name, "ARG", n)) {
      if (n >= 1 && n <= kArgSlots) in.vars.Args(in.run.callDepth)[static_cast<size_t>(n - 1)] = value;
      return;
    }
    if (NumberedName(name, "ASKCHECK", n)) {
      const std::string digit = IntText(ValInt(std::string_view(value).substr(0, 1)));
      SetListElement(in, in.vars.Sys(SysList::ASKCHECK), n, digit, true);
      return;
    }
    if (NumberedName(name, "ANSWER", n)) {
      SetListElement(in, in.vars.Sys(SysList::ANSWER), n, value, true);
      return;
    }
    if (NumberedName(name, "CUT", n)) {
      SetListElement(in, in.vars.Sys(SysList::CUT), n, value, false);
      return;
    }
    if (NumberedName(name, "DATA", n)) {
      SetListElement(in, in.vars.Sys(SysList::DATA), n, value, true);
      return;
    }
  }
  in.vars.Store(name, value);
}

std::string GetVariable(Interp& in, std::string_view name) {
  return ResolveName(name, in.vars, in, in.SubstOpts());
}

}  // namespace kes
