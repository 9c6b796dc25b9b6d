#include "startup/childmode.h"

#include <windows.h>

#include <map>
#include <unordered_set>

#include "interp/dispatcher.h"
#include "script/prepare.h"
#include "startup/exchange.h"
#include "sysadmin/launcher.h"

namespace kes {

namespace {

constexpr int kExchangeControl = 10;
// The runner sets NARG for the child's own run; it never travels back.
constexpr std::string_view kNotReturned[] = {"NARG"};

ExchangeState CurrentState(Interp& in, char direction) {
  ExchangeState s;
  s.direction = direction;
  in.vars.ForEach([&](const std::string& n, const std::string& v) { s.vars.emplace_back(n, v); });
  for (const std::string& name : in.vars.UserListNames())
    s.lists.emplace_back(name, in.vars.UserList(in.vars.UserListSlot(name)));
  for (int i = 0; i < static_cast<int>(SysList::Count); ++i)
    s.lists.emplace_back(SysListName(static_cast<SysList>(i)), in.vars.Sys(static_cast<SysList>(i)));
  s.hasErrors = true;
  s.error = in.err.code;
  s.errorlevel = in.err.errorlevel;
  return s;
}

// Takes a state over: variables through SetVariable (so settings such as
// DIRLOG take effect), then the lists, then the error state. Names in keep
// stay as they are.
void ApplyState(Interp& in, const ExchangeState& s, const std::unordered_set<std::string>* keep) {
  for (const auto& [name, value] : s.vars)
    if (!keep || !keep->count(name)) SetVariable(in, name, value);
  for (const auto& [name, elements] : s.lists) {
    if (!name.empty() && name[0] == '$') {
      const int slot = in.vars.UserListSlot(name);
      if (slot >= 0) in.vars.UserList(slot) = elements;
    } else {
      const int id = SysListId(name);
      if (id >= 0) in.vars.Sys(static_cast<SysList>(id)) = elements;
    }
  }
  if (s.hasErrors) {
    in.err.code = s.error;
    in.err.errorlevel = s.errorlevel;
  }
}

std::string ControlText(HWND control, bool otherProcess) {
  DWORD_PTR n = 0;
  if (otherProcess) {
    if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 30000, &n)) return std::string();
  } else {
    n = static_cast<DWORD_PTR>(GetWindowTextLengthA(control));
  }
  std::string t(static_cast<size_t>(n) + 1, '\0');
  DWORD_PTR got = 0;
  if (otherProcess) {
    if (!SendMessageTimeoutA(control, WM_GETTEXT, t.size(), reinterpret_cast<LPARAM>(&t[0]), SMTO_ABORTIFHUNG, 30000,
                             &got))
      return std::string();
  } else {
    got = static_cast<DWORD_PTR>(GetWindowTextA(control, &t[0], static_cast<int>(t.size())));
  }
  t.resize(got < t.size() ? static_cast<size_t>(got) : t.size() - 1);
  return t;
}

LRESULT CALLBACK ExchangeProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

HWND CreateExchangeWindow(const std::string& text) {
  static bool registered = false;
  HINSTANCE inst = GetModuleHandleA(nullptr);
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ExchangeProc;
    wc.hInstance = inst;
    wc.lpszClassName = "KestrovaExchange";
    registered = RegisterClassA(&wc) != 0;
  }
  HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, "KestrovaExchange", "", WS_POPUP, -32000, -32000, 0, 0, nullptr, nullptr,
                           inst, nullptr);
  if (!w) return nullptr;
  HWND c = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 0, 0, w,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kExchangeControl)), inst, nullptr);
  if (!c || !SetWindowTextA(c, text.c_str())) {
    DestroyWindow(w);
    return nullptr;
  }
  return w;
}

// The lines of the running script from its first sub on, numbered after the
// block, so the child finds the subs the block calls.
std::string SubLines(Interp& in, int next) {
  std::string out;
  if (in.run.scriptLevel < 0) return out;
  const ScriptLevel& level = in.run.levels[static_cast<size_t>(in.run.scriptLevel)];
  bool inSubs = false;
  for (int i = 0; i < level.lineCount && i < static_cast<int>(level.lines.size()); ++i) {
    const std::string& l = level.lines[static_cast<size_t>(i)];
    if (!inSubs) inSubs = StartsWithNoCase(TrimBlanks(l), "SUB ");
    if (inSubs) out += EncodeBlockLine(next++, l);
  }
  return out;
}

bool TestSwitchIs(const char* name, const char* value) {
  char b[32] = {};
  const DWORD n = GetEnvironmentVariableA(name, b, sizeof b);
  return n > 0 && n < sizeof b && EqualsNoCase(b, value);
}

}  // namespace

bool ChildModeText(Interp& in, std::string_view handleText, std::string& text) {
  text.clear();
  const std::string digits = Trim(handleText);
  if (!AllDigits(digits) || digits.size() > 10) return false;
  HWND w = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::stoull(digits)));
  HWND control = IsWindow(w) ? GetDlgItem(w, kExchangeControl) : nullptr;
  if (!control) return false;
  ExchangeState s;
  if (!UnpackExchange(ControlText(control, true), s) || s.direction != '>') return false;
  in.programs.exchangeControl = reinterpret_cast<uintptr_t>(control);
  // What the child's own start-up set (its folders, user, process) stays its own.
  std::unordered_set<std::string> own;
  in.vars.ForEach([&](const std::string& n, const std::string&) { own.insert(n); });
  ApplyState(in, s, &own);
  in.programs.exchangeReceived = PackExchange(CurrentState(in, '>'));
  text = std::move(s.lines);
  return true;
}

void ChildModeReturn(Interp& in) {
  if (!in.programs.exchangeControl) return;
  HWND control = reinterpret_cast<HWND>(in.programs.exchangeControl);
  in.programs.exchangeControl = 0;
  ExchangeState before, now = CurrentState(in, '<'), back;
  UnpackExchange(in.programs.exchangeReceived, before);
  std::map<std::string, const std::string*> vars;
  for (const auto& [n, v] : before.vars) vars[n] = &v;
  std::map<std::string, const std::vector<std::string>*> lists;
  for (const auto& [n, e] : before.lists) lists[n] = &e;
  back.direction = '<';
  for (auto& [n, v] : now.vars) {
    bool skip = false;
    for (const std::string_view x : kNotReturned) skip = skip || n == x;
    const auto it = vars.find(n);
    if (!skip && (it == vars.end() || *it->second != v)) back.vars.emplace_back(n, std::move(v));
  }
  for (auto& [n, e] : now.lists) {
    const auto it = lists.find(n);
    if (it == lists.end() ? !e.empty() : *it->second != e) back.lists.emplace_back(n, std::move(e));
  }
  back.hasErrors = true;
  back.error = now.error;
  back.errorlevel = now.errorlevel;
  const std::string text = PackExchange(back);
  DWORD_PTR r = 0;
  SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 30000, &r);
  PumpMessages();
}

void RunAdminBlock(Interp& in) {
  ExchangeState s = CurrentState(in, '>');
  s.lines = in.run.adminBlock;
  if (in.run.adminCallsSubs) s.lines += SubLines(in, in.run.adminLines);
  in.run.adminBlock.clear();
  in.run.adminLines = 0;
  in.run.adminCallsSubs = false;
  HWND w = CreateExchangeWindow(PackExchange(s));
  s = ExchangeState();
  if (!w) {
    in.err.code = kErrRefused;
    return;
  }
  const std::string handle = std::to_string(reinterpret_cast<uintptr_t>(w));
  LaunchRequest r;
  r.text = "\"" + in.mach.exePath + "\" $" + handle;
  r.wait = true;
  r.capture = CaptureMode::Off;
  r.setErrorlevel = false;
  if (!in.programs.adminAccount.empty()) {
    r.account = true;
    r.explicitCredentials = true;
  }
  // Test switch KES_TEST_CHILD=argdll: the child learns the handle from the
  // ARGDLL1 marker and ARGDLL2, as the library form of the program starts it.
  const bool argdll = TestSwitchIs("KES_TEST_CHILD", "argdll");
  if (argdll) {
    SetEnvironmentVariableA("ARGDLL1", (std::string(16, '\xFF') + std::string(16, '\xFE')).c_str());
    SetEnvironmentVariableA("ARGDLL2", ("$" + handle).c_str());
    r.text = "\"" + in.mach.exePath + "\"";
  }
  in.err.code = 0;
  const LaunchResult res = Launch(in, r);
  if (argdll) {
    SetEnvironmentVariableA("ARGDLL1", nullptr);
    SetEnvironmentVariableA("ARGDLL2", nullptr);
  }
  if (res.pid) {
    HWND control = GetDlgItem(w, kExchangeControl);
    ExchangeState back;
    if (res.ended && UnpackExchange(ControlText(control, false), back) && back.direction == '<')
      ApplyState(in, back, nullptr);
    else if (in.err.code == 0) in.err.code = kErrRefused;  // the child did not answer
  }
  DestroyWindow(w);
}

}  // namespace kes
