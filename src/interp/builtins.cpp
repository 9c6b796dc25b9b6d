// Built-in values: computed when a %NAME% reference is resolved, never
// stored, and always winning over a variable of the same name.
#include <windows.h>

#include <cstdio>
#include <unordered_map>

#include "boxes/boxes.h"
#include "interp/interp.h"
#include "interp/numformat.h"
#include "sysadmin/registry.h"

namespace kes {

namespace {

enum class B {
  THREADID, BINGET, CREATEEXE, ERROR_, ERRORLEVEL, TIMER, EXTRACT, WHERE, LASTSET, LASTFOCUS, ADMIN, CHOICE,
  TIME, NANSWER, NDATA, DATE, WEEKDAY, SCREENHEIGHT, SCREENWIDTH, SCRIPT, SCRIPTEXT
};

const std::unordered_map<std::string_view, B>& Names() {
  static const std::unordered_map<std::string_view, B> m = {
      {"THREADID", B::THREADID},     {"BINGET", B::BINGET},         {"CREATEEXE", B::CREATEEXE},
      {"ERROR", B::ERROR_},          {"ERRORLEVEL", B::ERRORLEVEL}, {"TIMER", B::TIMER},
      {"EXTRACT", B::EXTRACT},       {"WHERE", B::WHERE},           {"LASTSET", B::LASTSET},
      {"LASTFOCUS", B::LASTFOCUS},   {"ADMIN", B::ADMIN},           {"CHOICE", B::CHOICE},
      {"TIME", B::TIME},             {"NANSWER", B::NANSWER},       {"NDATA", B::NDATA},
      {"DATE", B::DATE},             {"WEEKDAY", B::WEEKDAY},       {"SCREENHEIGHT", B::SCREENHEIGHT},
      {"SCREENWIDTH", B::SCREENWIDTH}, {"SCRIPT", B::SCRIPT},       {"SCRIPTEXT", B::SCRIPTEXT}};
  return m;
}

// Seconds since the first read; the count keeps increasing across midnight.
std::string TimerValue() {
  static bool started = false;
  static double base = 0, last = 0, days = 0;
  SYSTEMTIME t;
  GetLocalTime(&t);
  const double now = t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0;
  if (!started) {
    started = true;
    base = last = now;
  }
  if (now < last) days += 86400;
  last = now;
  return FormatNumber(static_cast<Num>(now + days - base), "0.000");
}

}  // namespace

SubstHost::Found Interp::Builtin(std::string_view name, std::string& out) {
  // Names between "WORKAREA.H" and "WORKAREA.Y" select by their last letter.
  if (name >= std::string_view("WORKAREA.H") && name <= std::string_view("WORKAREA.Y")) {
    RECT r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    switch (name.back()) {
      case 'X': out = std::to_string(r.left); break;
      case 'Y': out = std::to_string(r.top); break;
      case 'W': out = std::to_string(r.right - r.left); break;
      case 'H': out = std::to_string(r.bottom - r.top); break;
      default: out.clear(); break;
    }
    return Found::Final;
  }
  const auto& m = Names();
  auto it = m.find(name);
  if (it == m.end()) return Found::NotBuiltin;
  char buf[32];
  SYSTEMTIME t;
  switch (it->second) {
    case B::THREADID: out = std::to_string(GetCurrentThreadId()); break;
    case B::BINGET: out = cfg.binget; break;
    case B::CREATEEXE: out = mach.packaged ? "1" : "0"; break;
    case B::ERROR_: out = std::to_string(err.code); break;
    case B::ERRORLEVEL: out = std::to_string(err.errorlevel); break;
    case B::TIMER: out = TimerValue(); break;
    case B::EXTRACT: out = cfg.extract; break;
    case B::WHERE: out = std::to_string(cfg.where); break;
    case B::LASTSET: out = cfg.lastSet; break;
    case B::LASTFOCUS: out = automation.lastFocus ? IntText(static_cast<int64_t>(automation.lastFocus)) : ""; break;
    case B::ADMIN: out = RegistryCanOpenSecurity() ? "1" : "0"; break;
    case B::CHOICE:
      if (!ChoiceValue(*this, out)) return Found::NotBuiltin;
      cfg.choice = out;
      break;
    case B::TIME:
      GetLocalTime(&t);
      std::snprintf(buf, sizeof buf, "%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
      out = buf;
      break;
    case B::NANSWER: out = std::to_string(vars.Sys(SysList::ANSWER).size()); break;
    case B::NDATA: out = std::to_string(vars.Sys(SysList::DATA).size()); break;
    case B::DATE:
      GetLocalTime(&t);
      std::snprintf(buf, sizeof buf, "%04u/%02u/%02u", t.wYear, t.wMonth, t.wDay);
      out = buf;
      break;
    case B::WEEKDAY:
      GetSystemTime(&t);
      out = std::to_string(t.wDayOfWeek + 1);
      break;
    case B::SCREENHEIGHT: out = std::to_string(GetSystemMetrics(SM_CYSCREEN)); break;
    case B::SCREENWIDTH: out = std::to_string(GetSystemMetrics(SM_CXSCREEN)); break;
    case B::SCRIPT: out = run.ScriptName(); break;
    case B::SCRIPTEXT: {
      const std::string s = run.ScriptName();
      const size_t dot = s.find('.');
      out = dot == std::string::npos ? std::string() : s.substr(dot + 1);
      break;
    }
  }
  return Found::Value;
}

const std::vector<std::string>* Interp::ComputedList(SysList id) {
  if (id != SysList::ATRUN) return nullptr;
  return AtRunList();
}

}  // namespace kes
