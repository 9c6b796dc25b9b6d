// The special variables: one table of names, each with its reader (the
// built-in value of %NAME%) and its writer (what an assignment to it
// changes). The numbered names of the lists (ARG1, ANSWER2, ...) are
// assignments to list elements and are handled by SetVariable itself.
#include "interp/special_vars.h"

#include <cstdio>
#include <unordered_map>

#include "interp/numformat.h"
#include "net/http_wire.h"

namespace kes {

namespace {

using Found = SubstHost::Found;

// ---- readers

Found Value(std::string& out, std::string v) {
  out = std::move(v);
  return Found::Value;
}

// Seconds since the first read, with three decimals.
std::string TimerValue(Interp& in) {
  const ClockReading t = in.system->Now();
  const long long now = ((t.hour * 60LL + t.minute) * 60 + t.second) * 1000 + t.millisecond;
  return FormatNumber(static_cast<Num>(in.timer.Read(now)) / 1000, "0.000");
}

Found ReadThreadId(Interp& in, std::string& out) { return Value(out, std::to_string(in.system->ThreadId())); }
Found ReadBinGet(Interp& in, std::string& out) { return Value(out, in.files.binget); }
Found ReadCreateExe(Interp& in, std::string& out) { return Value(out, in.mach.packaged ? "1" : "0"); }
Found ReadError(Interp& in, std::string& out) { return Value(out, std::to_string(in.err.code)); }
Found ReadErrorLevel(Interp& in, std::string& out) { return Value(out, std::to_string(in.err.errorlevel)); }
Found ReadTimer(Interp& in, std::string& out) { return Value(out, TimerValue(in)); }
Found ReadExtract(Interp& in, std::string& out) { return Value(out, in.text.extract); }
Found ReadWhere(Interp& in, std::string& out) { return Value(out, std::to_string(in.files.where)); }
Found ReadLastSet(Interp& in, std::string& out) { return Value(out, in.vars.lastSet); }
// The handle of the window that had the front before the program took it.
Found ReadLastFocus(Interp& in, std::string& out) {
  return Value(out, in.focus.lastFocus ? std::to_string(in.focus.lastFocus) : std::string());
}
Found ReadAdmin(Interp& in, std::string& out) { return Value(out, in.system->IsAdministrator() ? "1" : "0"); }

// Only while a choice window is open; otherwise the variable CHOICE.
Found ReadChoice(Interp& in, std::string& out) {
  if (!in.system->ChoiceValue(in, out)) return Found::NotBuiltin;
  in.boxes.choice = out;
  return Found::Value;
}

Found ReadTime(Interp& in, std::string& out) {
  const ClockReading t = in.system->Now();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return Value(out, buf);
}

Found ReadDate(Interp& in, std::string& out) {
  const ClockReading t = in.system->Now();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", t.year, t.month, t.day);
  return Value(out, buf);
}

// 1 for Sunday to 7 for Saturday, from the clock in universal time.
Found ReadWeekday(Interp& in, std::string& out) { return Value(out, std::to_string(in.system->Now().weekdayUtc + 1)); }

Found ReadNAnswer(Interp& in, std::string& out) {
  return Value(out, std::to_string(in.vars.Sys(SysList::ANSWER).size()));
}
Found ReadNData(Interp& in, std::string& out) { return Value(out, std::to_string(in.vars.Sys(SysList::DATA).size())); }
Found ReadScreenHeight(Interp& in, std::string& out) { return Value(out, std::to_string(in.system->Screen().height)); }
Found ReadScreenWidth(Interp& in, std::string& out) { return Value(out, std::to_string(in.system->Screen().width)); }
Found ReadScript(Interp& in, std::string& out) { return Value(out, in.run.ScriptName()); }

// The text after the first "." of the script's name.
Found ReadScriptExt(Interp& in, std::string& out) {
  const std::string s = in.run.ScriptName();
  const size_t dot = s.find('.');
  return Value(out, dot == std::string::npos ? std::string() : s.substr(dot + 1));
}

// ---- writers

// Directory settings must name an existing folder; they are kept with a
// trailing "\".
bool ValidateDirectory(Interp& in, std::string& path) {
  std::string p = Trim(path);
  if (p.empty()) {
    path.clear();
    return true;
  }
  std::string probe = p;
  while (probe.size() > 3 && probe.back() == '\\') probe.pop_back();
  if (probe.size() == 2 && probe[1] == ':') probe += '\\';
  if (!in.system->FolderExists(probe)) return false;
  if (p.back() != '\\') p += '\\';
  path = p;
  return true;
}

// A folder setting: an existing folder, kept with its "\" and stored as a
// variable without it. A folder that does not exist is error 75; the
// setting then takes the fallback when there is one, else the value as
// given.
bool WriteFolder(Interp& in, std::string& value, std::string& setting, const std::string* fallback) {
  std::string dir = value;
  if (!ValidateDirectory(in, dir)) {
    in.err.code = kErrNotAccessible;
    if (fallback) dir = *fallback;
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
  }
  setting = dir;
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  value = dir;
  return true;
}

bool WriteDirLog(Interp& in, std::string& v) {
  // A log folder that does not exist falls back to the script's folder, or
  // the executable's.
  const ScriptLevel* level = in.run.CurrentLevel();
  std::string fallback = level ? level->folder : std::string();
  if (fallback.empty()) fallback = in.mach.exeFolder;
  return WriteFolder(in, v, in.log.dir, &fallback);
}
bool WriteDirRec(Interp& in, std::string& v) { return WriteFolder(in, v, in.folders.rec, &in.mach.launchFolder); }
bool WriteDirDyn(Interp& in, std::string& v) { return WriteFolder(in, v, in.folders.dyn, nullptr); }
bool WriteDirHlp(Interp& in, std::string& v) { return WriteFolder(in, v, in.folders.hlp, nullptr); }
bool WriteDirImm(Interp& in, std::string& v) { return WriteFolder(in, v, in.folders.imm, nullptr); }
bool WriteDirRun(Interp& in, std::string& v) { return WriteFolder(in, v, in.folders.run, nullptr); }

bool WriteError(Interp& in, std::string& v) {
  in.err.code = ValInt(v);
  return false;
}
bool WriteErrorLevel(Interp& in, std::string& v) {
  in.err.errorlevel = ValInt(v);
  return false;
}
bool WriteExtract(Interp& in, std::string& v) {
  in.text.extract = v;
  return false;
}
bool WriteWhere(Interp& in, std::string& v) {
  in.files.where = static_cast<int16_t>(ValInt(v));
  return false;
}
bool WriteChoice(Interp& in, std::string& v) {
  in.boxes.choice = v;
  in.system->SelectChoice(in, v);
  return false;
}
bool WriteLogFile(Interp& in, std::string& v) {
  in.log.fileName = v;
  return true;
}
bool WriteMaxLog(Interp& in, std::string& v) {
  in.log.maxSize = ValInt64(v);
  return true;
}
bool WriteLogStop(Interp& in, std::string& v) {
  in.log.stop = static_cast<int16_t>(ValInt(v));
  return true;
}
bool WriteMaxWait(Interp& in, std::string& v) {
  in.waits.maxWait = ValInt(v);
  return true;
}
bool WriteAdminAccount(Interp& in, std::string& v) {
  in.programs.adminAccount = v;
  return true;
}
bool WriteAdminDomain(Interp& in, std::string& v) {
  in.programs.adminDomain = v;
  return true;
}
bool WriteAdminPassword(Interp& in, std::string& v) {
  in.programs.adminPassword = v;
  return true;
}
bool WriteUserName(Interp& in, std::string& v) {
  in.mach.userName = v;
  return true;
}
bool WriteComputerName(Interp& in, std::string& v) {
  in.mach.computerName = v;
  return true;
}
bool WriteHttpTimeout(Interp& in, std::string& v) {
  in.http.timeoutMs = NetTimeoutValue(v);
  return true;
}
bool WriteFtpTimeout(Interp& in, std::string& v) {
  in.ftp.timeoutMs = NetTimeoutValue(v);
  return true;
}
bool WritePingTimeout(Interp& in, std::string& v) {
  in.ping.timeoutMs = NetTimeoutValue(v, 1000);
  return true;
}
bool WriteLabel(Interp& in, std::string& v) {
  in.boxes.label = " " + v;
  return true;
}

// clang-format off
// Built-in values are listed in the order in which they were always tested;
// only the names matter for the lookup.
constexpr SpecialVariable kSpecialVariables[] = {
    // name            reader            writer
    {"THREADID",      ReadThreadId,     nullptr},
    {"BINGET",        ReadBinGet,       nullptr},
    {"CREATEEXE",     ReadCreateExe,    nullptr},
    {"ERROR",         ReadError,        WriteError},
    {"ERRORLEVEL",    ReadErrorLevel,   WriteErrorLevel},
    {"TIMER",         ReadTimer,        nullptr},
    {"EXTRACT",       ReadExtract,      WriteExtract},
    {"WHERE",         ReadWhere,        WriteWhere},
    {"LASTSET",       ReadLastSet,      nullptr},
    {"LASTFOCUS",     ReadLastFocus,    nullptr},
    {"ADMIN",         ReadAdmin,        nullptr},
    {"CHOICE",        ReadChoice,       WriteChoice},
    {"TIME",          ReadTime,         nullptr},
    {"NANSWER",       ReadNAnswer,      nullptr},
    {"NDATA",         ReadNData,        nullptr},
    {"DATE",          ReadDate,         nullptr},
    {"WEEKDAY",       ReadWeekday,      nullptr},
    {"SCREENHEIGHT",  ReadScreenHeight, nullptr},
    {"SCREENWIDTH",   ReadScreenWidth,  nullptr},
    {"SCRIPT",        ReadScript,       nullptr},
    {"SCRIPTEXT",     ReadScriptExt,    nullptr},
    // configuration variables: stored as variables, and taken by their owner
    {"LOGFILE",       nullptr,          WriteLogFile},
    {"FICLOG",        nullptr,          WriteLogFile},
    {"MAXLOG",        nullptr,          WriteMaxLog},
    {"LOGSTOP",       nullptr,          WriteLogStop},
    {"MAXWAIT",       nullptr,          WriteMaxWait},
    {"DIRDYN",        nullptr,          WriteDirDyn},
    {"DIRHLP",        nullptr,          WriteDirHlp},
    {"DIRIMM",        nullptr,          WriteDirImm},
    {"DIRLOG",        nullptr,          WriteDirLog},
    {"DIRREC",        nullptr,          WriteDirRec},
    {"DIRRUN",        nullptr,          WriteDirRun},
    {"ADMINACCOUNT",  nullptr,          WriteAdminAccount},
    {"ADMINDOMAIN",   nullptr,          WriteAdminDomain},
    {"ADMINPASSWORD", nullptr,          WriteAdminPassword},
    {"USERNAME",      nullptr,          WriteUserName},
    {"COMPUTERNAME",  nullptr,          WriteComputerName},
    {"LABEL",         nullptr,          WriteLabel},
    {"HTTPTIMEOUT",   nullptr,          WriteHttpTimeout},
    {"FTPTIMEOUT",    nullptr,          WriteFtpTimeout},
    {"PINGTIMEOUT",   nullptr,          WritePingTimeout},
};
// clang-format on

}  // namespace

const SpecialVariable* FindSpecialVariable(std::string_view name) {
  static const auto index = [] {
    std::unordered_map<std::string_view, const SpecialVariable*> m;
    for (const SpecialVariable& v : kSpecialVariables) m.emplace(v.name, &v);
    return m;
  }();
  const auto it = index.find(name);
  return it == index.end() ? nullptr : it->second;
}

const SpecialVariable* SpecialVariables(size_t& count) {
  count = sizeof kSpecialVariables / sizeof kSpecialVariables[0];
  return kSpecialVariables;
}

SubstHost::Found Interp::Builtin(std::string_view name, std::string& out) {
  // Names between "WORKAREA.H" and "WORKAREA.Y" select by their last letter.
  if (name >= std::string_view("WORKAREA.H") && name <= std::string_view("WORKAREA.Y")) {
    const ScreenArea a = system->Screen();
    switch (name.back()) {
      case 'X': out = std::to_string(a.left); break;
      case 'Y': out = std::to_string(a.top); break;
      case 'W': out = std::to_string(a.right - a.left); break;
      case 'H': out = std::to_string(a.bottom - a.top); break;
      default: out.clear(); break;
    }
    return Found::Final;
  }
  const SpecialVariable* v = FindSpecialVariable(name);
  if (!v || !v->read) return Found::NotBuiltin;
  return v->read(*this, out);
}

std::string Interp::SharedGet(std::string_view name) { return system->SharedGet(name); }

const std::vector<std::string>* Interp::ComputedList(SysList id) {
  if (id != SysList::ATRUN) return nullptr;
  return system->AtRunList();
}

}  // namespace kes
