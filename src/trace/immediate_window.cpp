// The immediate window: an interactive console. A typed line runs through
// the dispatcher in the context of the script that opened the window (its
// variables, arguments, labels and subs); the window shows the line, its
// result, ERROR and the variables. Typed lines are kept in a history (the
// arrow keys, the history list, immediat.ini) and in ".imm" files of lines
// that can be loaded, saved and run.
#include <algorithm>

#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"
#include "boxes/boxes.h"
#include "interp/commands.h"
#include "interp/version.h"
#include "startup/runner.h"
#include "trace/trace.h"
#include "trace/trace_text.h"
#include "trace/trace_window.h"

namespace kes {

namespace {

enum ImmId : WORD {
  kImInput = 2001,
  kImRun = 2002,
  kImOutput = 2003,
  kImVariables = 2004,
  kImTrace = 2005,
  kImLoad = 2006,
  kImSave = 2007,
  kImRunFile = 2008,
  kImClear = 2009,
  kImClose = 2010,
  kImStatus = 2011,
  kImHistory = 2013,
  kImOutputLabel = 2014,
  kImVariablesLabel = 2015,
  kImHistoryLabel = 2016,
};

constexpr int kWidth = 420, kHeight = 238;
constexpr size_t kMaxHistory = 100;
constexpr int kMaxOutput = 3000;
constexpr const char* kSection = "Immediat";
constexpr const char* kHistorySection = "Historique";

// Window procedure plumbing: the edit procedure the input line hands on to.
WNDPROC g_editProc = nullptr;

HWND Win(Interp& in) { return reinterpret_cast<HWND>(in.immediate.window); }

std::string ItemText(HWND h) {
  const int n = GetWindowTextLengthA(h);
  std::string s(static_cast<size_t>(std::max(n, 0)) + 1, '\0');
  GetWindowTextA(h, s.data(), n + 1);
  s.resize(static_cast<size_t>(std::max(n, 0)));
  return s;
}

void Output(Interp& in, const std::string& text) {
  HWND list = GetDlgItem(Win(in), kImOutput);
  if (!list) return;
  if (SendMessageA(list, LB_GETCOUNT, 0, 0) >= kMaxOutput) SendMessageA(list, LB_DELETESTRING, 0, 0);
  for (const auto& part : SplitPlain(ReplaceAllCopy(text, "\r\n", "\n"), "\n")) {
    const LRESULT i = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(part.c_str()));
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
  }
}

// The folder of immediat.ini and of ".imm" files: DIRIMM when a script set
// it, else the executable's folder.
std::string FilesFolder(const Interp& in) { return in.folders.imm.empty() ? in.mach.exeFolder : in.folders.imm; }

std::string ImmPath(const Interp& in, std::string name) {
  name = Trim(name);
  if (!name.empty() && name.front() == '"' && name.back() == '"' && name.size() >= 2) name = name.substr(1, name.size() - 2);
  const size_t slash = name.find_last_of("\\/");
  if (name.find('.', slash == std::string::npos ? 0 : slash) == std::string::npos) name += ".imm";
  const bool absolute = name.size() > 1 && (name[1] == ':' || StartsWith(name, "\\\\") || name[0] == '\\');
  return absolute ? name : FilesFolder(in) + name;
}

std::string Ini(const std::string& file, const char* section, const char* key) {
  char buf[2048] = {};
  GetPrivateProfileStringA(section, key, "", buf, sizeof buf, file.c_str());
  return buf;
}

// ---- history

void ShowHistory(Interp& in) {
  HWND list = GetDlgItem(Win(in), kImHistory);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& h : in.immediate.history) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(h.c_str()));
  SendMessageA(list, LB_SETTOPINDEX, in.immediate.history.size(), 0);
}

void SaveHistory(Interp& in) {
  std::string block;
  block += "Count=" + IntText(static_cast<int64_t>(in.immediate.history.size()));
  block.push_back('\0');
  for (size_t i = 0; i < in.immediate.history.size(); ++i) {
    block += IntText(static_cast<int64_t>(i) + 1) + "=" + in.immediate.history[i];
    block.push_back('\0');
  }
  block.push_back('\0');
  WritePrivateProfileSectionA(kHistorySection, block.c_str(), in.immediate.settingsFile.c_str());
}

// Lines that hold a secret never go to the history nor to immediat.ini.
void Remember(Interp& in, const std::string& line) {
  auto& h = in.immediate.history;
  in.immediate.historyPos = -1;
  if (TrimView(line).empty() || MaskedLine(in, line) != line) return;
  if (!h.empty() && h.back() == line) return;
  h.push_back(line);
  if (h.size() > kMaxHistory) h.erase(h.begin());
  ShowHistory(in);
  SaveHistory(in);
}

void Recall(Interp& in, int step) {
  auto& im = in.immediate;
  const int n = static_cast<int>(im.history.size());
  if (n == 0) return;
  int p = im.historyPos < 0 ? n : im.historyPos;
  p += step;
  if (p < 0) p = 0;
  HWND input = GetDlgItem(Win(in), kImInput);
  if (p >= n) {
    im.historyPos = -1;
    SetWindowTextA(input, "");
    return;
  }
  im.historyPos = p;
  SetWindowTextA(input, im.history[static_cast<size_t>(p)].c_str());
  SendMessageA(input, EM_SETSEL, 0, -1);
}

// ---- the context shown in the status line

void ShowState(Interp& in) {
  HWND d = Win(in);
  if (!d) return;
  const Frame& f = CurrentFrame(in);
  std::string s = "ERROR=" + IntText(in.err.code) + "    ERRORLEVEL=" + IntText(in.err.errorlevel);
  if (!f.name.empty()) s += "    " + f.name + " (profondeur " + IntText(in.run.callDepth + 1) + ")";
  SetDlgItemTextA(d, kImStatus, s.c_str());
  HWND vars = GetDlgItem(d, kImVariables);
  SendMessageA(vars, WM_SETREDRAW, FALSE, 0);
  SendMessageA(vars, LB_RESETCONTENT, 0, 0);
  for (const std::string& e : VariableEntries(in)) SendMessageA(vars, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.c_str()));
  SendMessageA(vars, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(vars, nullptr, TRUE);
  CheckDlgButton(d, kImTrace, in.trace.window ? BST_CHECKED : BST_UNCHECKED);
}

// ---- what a line did

constexpr const char* kSystemLists[] = {"ANSWER",  "ASKCHECK",     "ASKMULTI",    "CUT",        "DATA",
                                        "DIR",     "FTPDIR",       "FTPLIST",     "NETINFO",    "NETLIST",
                                        "OBJECTLIST", "OBJECTXLIST", "REGKEYLIST", "REGVALUELIST", "REGKEYXLIST",
                                        "SERVICELIST", "STDERR",    "STDOUT",      "XDIR",       "SCENARIO",
                                        "TASKLIST", "WINDOWLIST",  "WINDOWXLIST"};

std::string Shown(Interp& in, const std::string& name, const std::string& value) {
  if (IsSecretName(name) && !value.empty()) return "  " + name + " = " + std::string(kSecretMask);
  return "  " + name + " = " + MaskedLine(in, ShownValue(value));
}

void Report(Interp& in, const std::string& word, const std::string& args, bool sameLine, int32_t code,
            bool showError) {
  // the assigned variable
  std::string name;
  if (word == "SET" || word == "SETLOCAL" || word == "LET" || word == "SETCDE") {
    name = Trim(std::string_view(args).substr(0, args.find('=')));
  }
  const size_t assign = args.find(":=");
  if (name.empty() && assign != std::string::npos) name = Trim(std::string_view(word + " " + args).substr(0, word.size() + 1 + assign));
  if (!name.empty() && name.back() == ':') name = Trim(std::string_view(name).substr(0, name.size() - 1));
  if (!name.empty() && name[0] == '@') name.erase(0, 1);
  if (!name.empty() && !showError) Output(in, Shown(in, Upper(name), GetVariable(in, name)));
  // the result, and the list it filled
  if (sameLine && in.line.result != kNoResult) Output(in, Shown(in, word, in.line.result));
  if (word == "CALL" || word == "CALLSUB") {
    const std::string v = GetVariable(in, word);
    if (!v.empty()) Output(in, Shown(in, word, v));
  }
  for (const char* list : kSystemLists) {
    if (word != list) continue;
    const std::string n = GetVariable(in, "N" + word);
    if (!n.empty()) Output(in, Shown(in, "N" + word, n));
    for (int i = 1; i <= 50; ++i) {
      const std::string v = GetVariable(in, word + IntText(i));
      if (v == kAbsent) break;
      Output(in, Shown(in, word + IntText(i), v));
    }
  }
  if (showError) {
    const char* text = ErrorText(code);
    Output(in, "  ERROR = " + IntText(code) + (text && *text ? std::string("  (") + text + ")" : std::string()));
  }
}

// A control code the line returned: EXIT and ENDSUB end the window's loop
// and go to the script that opened it, so does a GOTO to one of its labels.
void TakeControl(Interp& in, const std::string& out) {
  if (out.size() < 5) return;
  const std::string code = out.substr(0, 5), operand = out.substr(5);
  if (code == "#EXI#" || code == "#CSB#") {
    in.immediate.control = out;
  } else if (code == "#GTO#") {
    const ScriptLevel* lvl = in.run.CurrentLevel();
    const bool known = lvl && std::any_of(lvl->labels.begin(), lvl->labels.end(),
                                          [&](const Label& l) { return l.name == operand; });
    if (known) {
      in.immediate.control = out;
    } else {
      in.err.code = kErrRefused;
      Output(in, "  Étiquette inconnue : " + operand);
    }
  } else if (code == "#OPT#") {
    for (const std::string& e : SplitPlain(operand, "\xFF\xFE"))
      if (e.size() > 4) in.immediate.toRun.push_front(e.substr(4));
  } else if (code == "#FOR#") {
    Output(in, "  (FOR et NEXT ne bouclent que dans un script)");
  }
}

// Runs one typed line. During a trace pause (nested) the paused line's
// prepared state is kept aside and comes back afterwards.
void RunTyped(Interp& in, std::string line, bool nested) {
  ImmediateState& im = in.immediate;
  if (TrimView(line).empty()) return;
  im.lineNumber = im.lineNumber >= 9999 ? 1 : im.lineNumber + 1;
  Output(in, ZeroPad(im.lineNumber, 4) + "> " + MaskedLine(in, line));
  std::string word, args;
  SplitCommandWord(TrimView(line), word, args);

  // the paused line's prepared state waits aside (moved, not copied)
  LineState savedLine;
  Separators savedSep;
  const int savedFrameLine = CurrentFrame(in).line;
  const bool savedTraced = in.trace.lineTraced;
  if (nested) {
    savedLine = std::move(in.line);
    savedSep = std::move(in.sep);
    in.sep = savedSep;
  } else {
    CurrentFrame(in).line = im.lineNumber - 1;
    TraceView(in, -1);
  }
  BlockStacks pauseStacks;
  std::string out;
  const int32_t codeBefore = in.err.code;
  std::string caller = in.run.ScriptName();
  if (caller.empty()) caller = "IMMEDIATE";
  ++im.running;
  Dispatch(in, line, caller, out, nested ? pauseStacks : im.stacks);
  --im.running;
  const int32_t code = in.err.code;
  // ERROR is shown when the line set it: most commands start from 0, a few
  // (SET, ECHO, IF...) leave the previous code as it was
  const bool showError = code != 0 && (code != codeBefore || !(WordFlags(word) & kKeepsError));
  if (in.run.abort) {
    // a nesting error, or IMMEDIATE in a script this line started
    in.run.abort = false;
    Output(in, "  Retour à la fenêtre immédiate");
  }
  Report(in, word, args, in.line.word == word, code, showError);
  TakeControl(in, out);
  if (nested) {
    in.line = std::move(savedLine);
    in.sep = std::move(savedSep);
    CurrentFrame(in).line = savedFrameLine;
    in.trace.lineTraced = savedTraced;
  }
  ShowState(in);
  TraceRefresh(in);
}

// ---- console commands: lines that start with "." act on the window itself

void LoadFile(Interp& in, const std::string& path, bool run) {
  std::string text;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    in.err.code = LanguageError(GetLastError(), WinErrorUse::Open);
    Output(in, "  Fichier introuvable : " + path + "  (ERROR = " + IntText(in.err.code) + ")");
    return;
  }
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got) text.append(buf, got);
  CloseHandle(h);
  in.immediate.lastFile = path;
  int n = 0;
  for (std::string_view l : LinesOf(text)) {
    if (TrimView(l).empty()) continue;
    ++n;
    if (run) {
      in.immediate.toRun.emplace_back(l);
    } else {
      in.immediate.history.emplace_back(l);
    }
  }
  while (in.immediate.history.size() > kMaxHistory) in.immediate.history.erase(in.immediate.history.begin());
  ShowHistory(in);
  Output(in, (run ? "  Exécution de " : "  Chargé : ") + path + " (" + IntText(n) + " lignes)");
}

void SaveFile(Interp& in, const std::string& path) {
  std::string text;
  for (const std::string& l : in.immediate.history) text += l + "\r\n";
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD done = 0;
  if (h == INVALID_HANDLE_VALUE || !WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &done, nullptr)) {
    in.err.code = LanguageError(GetLastError(), WinErrorUse::Open);
    Output(in, "  Enregistrement impossible : " + path + "  (ERROR = " + IntText(in.err.code) + ")");
  } else {
    in.immediate.lastFile = path;
    Output(in, "  Enregistré : " + path + " (" + IntText(static_cast<int64_t>(in.immediate.history.size())) + " lignes)");
  }
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

void ShowHelp(Interp& in) {
  Output(in, "  Entrée exécute la ligne ; flèches haut et bas : lignes précédentes.");
  Output(in, "  .load fichier   charge un fichier .imm dans l'historique");
  Output(in, "  .run fichier    exécute les lignes d'un fichier .imm");
  Output(in, "  .save fichier   enregistre l'historique dans un fichier .imm");
  Output(in, "  .clear          efface cette liste ;  .help  cette aide");
  Output(in, "  Fichiers .imm et immediat.ini : " + FilesFolder(in));
}

bool ConsoleCommand(Interp& in, const std::string& line) {
  const std::string_view t = TrimView(line);
  if (t.empty() || t[0] != '.') return false;
  const size_t sp = t.find(' ');
  const std::string cmd = Lower(t.substr(0, sp));
  const std::string arg = sp == std::string_view::npos ? std::string() : Trim(t.substr(sp + 1));
  Output(in, "> " + std::string(t));
  if (cmd == ".clear") {
    SendDlgItemMessageA(Win(in), kImOutput, LB_RESETCONTENT, 0, 0);
  } else if ((cmd == ".load" || cmd == ".run" || cmd == ".save") && !arg.empty()) {
    if (cmd == ".save") SaveFile(in, ImmPath(in, arg));
    else LoadFile(in, ImmPath(in, arg), cmd == ".run");
  } else {
    ShowHelp(in);
  }
  return true;
}

// Enter: the line goes to the loop (or to the trace pause, which runs it).
void Submit(Interp& in) {
  HWND input = GetDlgItem(Win(in), kImInput);
  const std::string line = ItemText(input);
  if (in.immediate.running > 0 && !in.trace.pausing) {
    MessageBeep(MB_ICONEXCLAMATION);
    return;
  }
  SetWindowTextA(input, "");
  if (ConsoleCommand(in, line)) return;
  Remember(in, line);
  in.immediate.toRun.push_back(line);
}

void ChooseFile(Interp& in, int id) {
  if (in.immediate.running > 0) return;
  const std::string start = in.immediate.lastFile.empty() ? FilesFolder(in) : in.immediate.lastFile;
  const std::string path = FileDialog(in, start, "*.imm", id == kImSave);
  if (path.empty()) return;
  if (id == kImSave) SaveFile(in, ImmPath(in, path));
  else LoadFile(in, path, id == kImRunFile);
}

LRESULT CALLBACK InputProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Interp& in = K();
  switch (m) {
    case WM_GETDLGCODE:
      return CallWindowProcA(g_editProc, h, m, w, l) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (w == VK_RETURN) {
        Submit(in);
        return 0;
      }
      if (w == VK_UP || w == VK_DOWN) {
        Recall(in, w == VK_UP ? -1 : 1);
        return 0;
      }
      if (w == VK_ESCAPE) {
        SetWindowTextA(h, "");
        in.immediate.historyPos = -1;
        return 0;
      }
      break;
    case WM_CHAR:
      if (w == '\r' || w == '\n' || w == 27) return 0;
      break;
  }
  return CallWindowProcA(g_editProc, h, m, w, l);
}

INT_PTR CALLBACK ImmediateProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  Interp& in = K();
  switch (m) {
    case WM_INITDIALOG:
      return FALSE;
    case WM_CLOSE:
      in.immediate.goOn = true;
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(w), code = HIWORD(w);
      if (id == kImHistory && code == LBN_DBLCLK) {
        const LRESULT i = SendDlgItemMessageA(d, kImHistory, LB_GETCURSEL, 0, 0);
        if (i != LB_ERR && static_cast<size_t>(i) < in.immediate.history.size()) {
          SetDlgItemTextA(d, kImInput, in.immediate.history[static_cast<size_t>(i)].c_str());
          SetFocus(GetDlgItem(d, kImInput));
        }
        return TRUE;
      }
      if (code != BN_CLICKED) return FALSE;
      switch (id) {
        case kImRun:
          Submit(in);
          SetFocus(GetDlgItem(d, kImInput));
          return TRUE;
        case kImTrace:
          in.immediate.traceChecked = IsDlgButtonChecked(d, kImTrace) != BST_CHECKED;
          CheckDlgButton(d, kImTrace, in.immediate.traceChecked ? BST_CHECKED : BST_UNCHECKED);
          if (in.immediate.traceChecked) TraceOpen(in);
          else TraceClose(in);
          SetForegroundWindow(d);
          SetFocus(GetDlgItem(d, kImInput));
          return TRUE;
        case kImLoad:
        case kImSave:
        case kImRunFile:
          ChooseFile(in, id);
          return TRUE;
        case kImClear:
          SendDlgItemMessageA(d, kImOutput, LB_RESETCONTENT, 0, 0);
          return TRUE;
        case kImClose:
          in.immediate.goOn = true;
          return TRUE;
      }
      return TRUE;
    }
  }
  return FALSE;
}

HWND CreateImmediate(Interp& in, bool fromScript) {
  DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_CENTER | DS_3DLOOK, 0, kWidth, kHeight,
                   std::string(kProductName) + " IMMEDIATE");
  constexpr DWORD list = LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_TABSTOP;
  t.AddNamed(AnswerFieldClass(kImInput), kImInput, 1, 2, 340, 13, ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER, 0, "");
  t.Add(DialogTemplate::kButton, kImRun, 344, 2, 75, 13, BS_PUSHBUTTON | WS_TABSTOP, 0, "&Exécuter");
  t.Add(DialogTemplate::kStatic, kImOutputLabel, 1, 18, 200, 9, SS_NOPREFIX, 0, "Lignes et résultats");
  t.Add(DialogTemplate::kStatic, kImVariablesLabel, 273, 18, 100, 9, SS_NOPREFIX, 0, "Variables");
  t.Add(DialogTemplate::kListBox, kImOutput, 1, 28, 270, 180, list, 0, "");
  t.Add(DialogTemplate::kListBox, kImVariables, 273, 28, 146, 106, list, 0, "");
  t.Add(DialogTemplate::kStatic, kImHistoryLabel, 273, 136, 146, 9, SS_NOPREFIX, 0, "Historique (double-clic)");
  t.Add(DialogTemplate::kListBox, kImHistory, 273, 146, 146, 62, list, 0, "");
  t.Add(DialogTemplate::kEdit, kImStatus, 1, 210, 418, 11, ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 0, "");
  t.Add(DialogTemplate::kButton, kImTrace, 1, 224, 40, 12, BS_CHECKBOX | WS_TABSTOP, 0, "&Trace");
  const struct {
    WORD id;
    const char* text;
  } buttons[] = {{kImLoad, "&Charger..."},
                 {kImSave, "E&nregistrer..."},
                 {kImRunFile, "Exécuter un &fichier..."},
                 {kImClear, "Effa&cer"},
                 {kImClose, fromScript ? "C&ontinuer" : "&Fermer"}};
  int x = 45;
  for (const auto& b : buttons) {
    const int wdt = b.id == kImRunFile ? 90 : 70;
    t.Add(DialogTemplate::kButton, b.id, x, 224, wdt, 12, BS_PUSHBUTTON | WS_TABSTOP, 0, b.text);
    x += wdt + 3;
  }
  HWND d = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, ImmediateProc, 0);
  if (!d) return nullptr;
  HWND input = GetDlgItem(d, kImInput);
  g_editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(input, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InputProc)));
  const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIdIcon));
  if (icon) SendMessageA(d, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  return d;
}

void LoadSettings(Interp& in, HWND d) {
  ImmediateState& im = in.immediate;
  im.settingsFile = FilesFolder(in) + "immediat.ini";
  const std::string& f = im.settingsFile;
  im.lastFile = Ini(f, kSection, "LastFile");
  im.history.clear();
  const int n = std::min<int>(ValInt(Ini(f, kHistorySection, "Count")), static_cast<int>(kMaxHistory));
  for (int i = 1; i <= n; ++i) {
    const std::string l = Ini(f, kHistorySection, IntText(i).c_str());
    if (!l.empty()) im.history.push_back(l);
  }
  const std::string x = Ini(f, kSection, "X"), y = Ini(f, kSection, "Y");
  if (!x.empty() && !y.empty()) {
    const int px = ValInt(x), py = ValInt(y);
    if (px >= 0 && py >= 0 && px < GetSystemMetrics(SM_CXSCREEN) - 40 && py < GetSystemMetrics(SM_CYSCREEN) - 40)
      SetWindowPos(d, nullptr, px, py, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
}

void SaveSettings(Interp& in, HWND d) {
  const std::string& f = in.immediate.settingsFile;
  RECT r;
  GetWindowRect(d, &r);
  WritePrivateProfileStringA(kSection, "X", IntText(r.left).c_str(), f.c_str());
  WritePrivateProfileStringA(kSection, "Y", IntText(r.top).c_str(), f.c_str());
  WritePrivateProfileStringA(kSection, "LastFile", in.immediate.lastFile.c_str(), f.c_str());
  SaveHistory(in);
}

}  // namespace

HWND ImmediateWindow(Interp& in) { return Win(in); }

void ImmediateTraceClosed(Interp& in) {
  HWND d = Win(in);
  if (!d) return;
  in.immediate.traceChecked = false;
  CheckDlgButton(d, kImTrace, BST_UNCHECKED);
  SetForegroundWindow(d);
  SetFocus(GetDlgItem(d, kImInput));
}

void ImmediateRunQueued(Interp& in) {
  if (in.immediate.toRun.empty() || !Win(in)) return;
  std::string line = std::move(in.immediate.toRun.front());
  in.immediate.toRun.pop_front();
  RunTyped(in, std::move(line), true);
}

void ImmediateClose(Interp& in) {
  if (!Win(in)) return;
  in.immediate.goOn = true;
  in.immediate.toRun.clear();
  // a run started from the window stops at its next line
  if (in.immediate.running > 0) in.run.abort = true;
  in.trace.go = -1;
}

void CmdImmediate(Interp& in, Ctx& c) {
  ImmediateState& im = in.immediate;
  if (im.window) {
    // A script started from the window reached IMMEDIATE: it ends, and so
    // does every script above it, back to the window.
    in.run.abort = true;
    c.control = "#IMM#";
    return;
  }
  // Opened by the IMMEDIATE word of the command line, closing it ends the
  // program; opened by a script, the script goes on.
  const bool fromCommandLine = in.run.callDepth == 0 && EqualsNoCase(TrimView(in.run.commandText), "IMMEDIATE");
  HWND d = CreateImmediate(in, !fromCommandLine);
  if (!d) {
    in.err.code = kErrUsage;
    return;
  }
  im.window = reinterpret_cast<uintptr_t>(d);
  in.run.immediateOpen = true;
  im.baseDepth = in.run.callDepth;
  im.stacks = BlockStacks{};
  im.goOn = false;
  im.control.clear();
  im.toRun.clear();
  im.lineNumber = 0;
  LoadSettings(in, d);
  ShowHistory(in);
  ShowState(in);
  Output(in, std::string(kProductName) + " IMMEDIATE : tapez une commande puis Entrée (.help pour l'aide).");
  ShowWindow(d, SW_SHOW);
  SetForegroundWindow(d);
  SetFocus(GetDlgItem(d, kImInput));
  // The window has control until it is closed or a line hands control back.
  const int lineOnEntry = CurrentFrame(in).line;
  while (!im.goOn && im.control.empty() && !in.run.stopRequested) {
    if (!im.toRun.empty()) {
      std::string line = std::move(im.toRun.front());
      im.toRun.pop_front();
      RunTyped(in, std::move(line), false);
      continue;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    PumpTraceMessages();
  }
  SaveSettings(in, d);
  DestroyWindow(d);
  im.window = 0;
  in.run.immediateOpen = false;
  CurrentFrame(in).line = lineOnEntry;
  c.control = im.control;
}

}  // namespace kes
