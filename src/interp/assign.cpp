// SetVariable: the single entry for every assignment, with the names that
// change the interpreter's settings.
#include <windows.h>

#include "boxes/boxes.h"
#include "interp/interp.h"
#include "interp/log.h"

namespace kes {

namespace {

// Directory settings must name an existing folder; they are kept with a
// trailing "\".
bool ValidateDirectory(std::string& path) {
  std::string p = Trim(path);
  if (p.empty()) {
    path.clear();
    return true;
  }
  std::string probe = p;
  while (probe.size() > 3 && probe.back() == '\\') probe.pop_back();
  if (probe.size() == 2 && probe[1] == ':') probe += '\\';
  const DWORD a = GetFileAttributesA(probe.c_str());
  if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) return false;
  if (p.back() != '\\') p += '\\';
  path = p;
  return true;
}

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

  if (name == "ERROR") {
    in.err.code = ValInt(value);
    return;
  }
  if (name == "LOGFILE" || name == "FICLOG") {
    in.log.fileName = value;
  } else if (name == "DIRDYN" || name == "DIRHLP" || name == "DIRIMM" || name == "DIRLOG" || name == "DIRRUN" ||
             name == "DIRREC") {
    std::string dir = value;
    if (!ValidateDirectory(dir)) {
      in.err.code = kErrNotAccessible;
      if (name == "DIRLOG") {
        const ScriptLevel* level = in.run.CurrentLevel();
        dir = level ? level->folder : std::string();
        if (dir.empty()) dir = in.mach.exeFolder;
      } else if (name == "DIRREC") {
        dir = in.mach.launchFolder;
      }
      if (!dir.empty() && dir.back() != '\\') dir += '\\';
    }
    if (name == "DIRDYN") in.cfg.dirDyn = dir;
    else if (name == "DIRHLP") in.cfg.dirHlp = dir;
    else if (name == "DIRIMM") in.cfg.dirImm = dir;
    else if (name == "DIRLOG") in.log.dir = dir;
    else if (name == "DIRRUN") in.cfg.dirRun = dir;
    else in.cfg.dirRec = dir;
    if (!dir.empty() && dir.back() == '\\') dir.pop_back();
    value = dir;
  } else if (name == "ADMINACCOUNT") {
    in.cfg.adminAccount = value;
  } else if (name == "ADMINDOMAIN") {
    in.cfg.adminDomain = value;
  } else if (name == "ADMINPASSWORD") {
    in.cfg.adminPassword = value;
  } else if (name == "ERRORLEVEL") {
    in.err.errorlevel = ValInt(value);
    return;
  } else if (name == "EXTRACT") {
    in.cfg.extract = value;
    return;
  } else if (name == "WHERE") {
    in.cfg.where = static_cast<int16_t>(ValInt(value));
    return;
  } else if (name == "USERNAME") {
    in.cfg.userName = value;
  } else if (name == "COMPUTERNAME") {
    in.cfg.computerName = value;
  } else if (name == "LABEL") {
    in.cfg.label = " " + value;
  } else if (name == "CHOICE") {
    in.cfg.choice = value;
    SelectChoice(in, value);
    return;
  } else if (name == "LOGSTOP") {
    in.log.stop = static_cast<int16_t>(ValInt(value));
  } else if (name == "MAXLOG") {
    in.log.maxSize = ValInt64(value);
  } else if (name == "MAXWAIT") {
    in.cfg.maxWait = ValInt(value);
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
