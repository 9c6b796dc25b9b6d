// Assignment commands: SET, SETLOCAL, SETSHARE, LET and SETCDE.
#include "interp/commands.h"
#include "interp/shared.h"

namespace kes {

void CmdSet(Interp& in, Ctx& c) {
  const std::string& a = in.line.args;
  const size_t eq = a.find('=');
  if (eq == std::string::npos) {
    in.err.code = kErrUsage;
    return;
  }
  std::string name = Trim(std::string_view(a).substr(0, eq));
  // "SET X := ..." is the expression form, handled after the command.
  if (!name.empty() && name.back() == ':') {
    in.err.code = kErrNoHandler;
    return;
  }
  const std::string_view value = std::string_view(a).substr(eq + 1);
  const std::string upper = Upper(name);
  // Once a package is loaded, IMAGELIST1... and ADDONLIST1... hold the paths
  // of its embedded files.
  if (in.mach.packaged || in.mach.plugin || in.pkg.loaded) {
    for (const char* base : {"IMAGELIST", "ADDONLIST"}) {
      if (StartsWith(upper, base) && upper.size() > std::char_traits<char>::length(base) &&
          ValInt(std::string_view(upper).substr(std::char_traits<char>::length(base))) >= 1)
        return;
    }
  }
  if (c.Word<SetWord>() == SetWord::SetLocal) name.insert(0, 1, kLocalMarker);
  SetVariable(in, name, value);
  // LASTSET is the name without the local marker and without "@".
  std::string last = Upper(Trim(name));
  if (!last.empty() && last[0] == kLocalMarker) last = Trim(std::string_view(last).substr(1));
  if (!last.empty() && last[0] == '@') last.erase(0, 1);
  in.vars.lastSet = Trim(last);
}

void CmdSetShare(Interp& in, Ctx&) {
  const std::string& a = in.line.args;
  const size_t eq = a.find('=');
  if (eq == std::string::npos) {
    in.err.code = kErrUsage;
    return;
  }
  // Only a name that begins with "!" is shared; any other does nothing.
  const std::string name = Upper(TrimView(std::string_view(a).substr(0, eq)));
  if (name.empty() || name[0] != '!') return;
  SharedVariable("", name, std::string_view(a).substr(eq + 1));
}

void CmdLet(Interp& in, Ctx& c) {
  const std::string& a = in.line.args;
  const size_t eq = a.find('=');
  if (eq == std::string::npos) {
    in.err.code = kErrUsage;
    return;
  }
  const std::string name = Trim(std::string_view(a).substr(0, eq));
  const std::string_view rest = LTrimView(std::string_view(a).substr(eq + 1));
  const size_t sp = rest.find(' ');
  const std::string word = Upper(TrimView(rest.substr(0, sp)));
  const std::string args(sp == std::string_view::npos ? std::string_view() : rest.substr(sp + 1));
  if (word.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  DispatchCommand(in, word, args, c.stacks);
  // The value is what %WORD% (else %NWORD%) substitutes to.
  const std::string& d = in.sep.varDelim;
  std::string value = in.Substituted(d + word + d);
  if (value.empty()) value = in.Substituted(d + "N" + word + d);
  if (in.err.code == 0) SetVariable(in, name, value);
}

}  // namespace kes
