// Separators, switches and the small commands that belong to no module.
#include <windows.h>

#include <cmath>
#include <cstring>

#include "interp/commands.h"
#include "interp/log.h"
#include "interp/workfile.h"
#include "script/loader.h"
#include "startup/runner.h"
#include "sysadmin/fileops.h"
#include "sysadmin/services.h"

namespace kes {

// ---- separators and quoting

void CmdSep(Interp& in, Ctx&) {
  const std::string s = Trim(in.line.args);
  in.sep.argSep = s.empty() ? std::string(",") : s;
  in.sep.keepSepOneLine = true;
  in.line.result = in.line.args;
}

void CmdSepAll(Interp& in, Ctx&) {
  const std::string s = Trim(in.line.args);
  in.sep.defaultSep = s;
  in.sep.argSep = s.empty() ? std::string(",") : s;
  in.sep.keepSepOneLine = true;
  in.line.result = in.line.args;
}

void CmdVarSep(Interp& in, Ctx&) {
  const std::string s = Trim(in.line.args);
  in.sep.varDelim = s.empty() ? std::string("%") : s;
}

void CmdQuote(Interp& in, Ctx&) {
  in.sep.quote = in.line.args;
  in.sep.keepQuoteOneLine = true;
  in.line.result = in.line.args;
}

// ---- switches: on for the word ON, off for anything else

namespace {

// Sets a switch from the line's ON test; the result is the new state as
// "1" or "0", so %ESC%, %OK% and the others always show it.
void SetSwitch(Interp& in, bool& flag) {
  flag = in.line.on;
  in.line.result = flag ? "1" : "0";
}

}  // namespace

void CmdCenter(Interp& in, Ctx&) { SetSwitch(in, in.sw.center); }
void CmdDrive(Interp& in, Ctx&) { SetSwitch(in, in.sw.drive); }
void CmdEsc(Interp& in, Ctx&) { SetSwitch(in, in.sw.esc); }
void CmdInterrupt(Interp& in, Ctx&) { SetSwitch(in, in.sw.interrupt); }
void CmdLogMute(Interp& in, Ctx&) { SetSwitch(in, in.sw.logmute); }
void CmdMandatory(Interp& in, Ctx&) { SetSwitch(in, in.sw.mandatory); }
void CmdMask(Interp& in, Ctx&) { SetSwitch(in, in.sw.mask); }
void CmdOk(Interp& in, Ctx&) { SetSwitch(in, in.sw.ok); }
void CmdTop(Interp& in, Ctx&) { SetSwitch(in, in.sw.top); }

void CmdCodeCall(Interp& in, Ctx&) {
  SetSwitch(in, in.sw.codecall);
  in.sw.codecallDepth = in.run.callDepth;
}

void CmdLogStop(Interp& in, Ctx&) {
  in.log.stop = in.line.on ? 1 : 0;
  in.line.result = in.line.on ? "1" : "0";
}

// These read the ON test without giving a result.
void CmdNoSensitive(Interp& in, Ctx&) { in.sw.nosensitive = in.line.on; }
void CmdOldApp(Interp& in, Ctx&) { in.sw.oldapp = in.line.on; }
void CmdProfile(Interp& in, Ctx&) { in.sw.profile = in.line.on; }
void CmdStdInOut(Interp& in, Ctx&) { in.sw.stdinout = in.line.on; }

void CmdCase(Interp& in, Ctx&) {
  const bool on = in.line.second == "NOSENSITIVE";
  in.sw.caseInsensitive = on;
  in.sw.switchCaseInsensitive = on;
  in.line.result = on ? "1" : "0";
}

// ---- folders

void CmdChdir(Interp& in, Ctx&) {
  const std::string path = WholeArg(in);
  if (path.size() >= 2 && path[1] == ':') {
    // The drive first: "D:" alone goes to that drive's current folder.
    const std::string drive = path.substr(0, 2);
    if (!SetCurrentDirectoryA(drive.c_str())) {
      in.err.code = LanguageError(GetLastError(), WinErrorUse::Drive);
      return;
    }
  }
  if (!SetCurrentDirectoryA(path.c_str())) {
    in.err.code = LanguageError(GetLastError(), WinErrorUse::Folder);
    return;
  }
  in.line.result = path;
}

void CmdMd(Interp& in, Ctx&) {
  in.err.code = 0;
  MakeFolderTree(WholeArg(in));
}

void CmdRd(Interp& in, Ctx&) {
  const std::string path = WholeArg(in);
  if (!RemoveDirectoryA(path.c_str())) in.err.code = LanguageError(GetLastError(), WinErrorUse::Folder);
}

// ---- clipboard

void CmdClipCopy(Interp& in, Ctx&) {
  const std::string& text = in.line.args;
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
  if (!mem) {
    in.err.code = kErrOutOfMemory;
    return;
  }
  if (void* p = GlobalLock(mem)) {
    std::memcpy(p, text.data(), text.size());
    GlobalUnlock(mem);
  }
  if (!OpenClipboard(nullptr)) {
    in.err.code = kErrRefused;
    GlobalFree(mem);
    return;
  }
  EmptyClipboard();
  if (!SetClipboardData(CF_TEXT, mem)) GlobalFree(mem);  // the clipboard owns it on success
  CloseClipboard();
}

void CmdClipPaste(Interp& in, Ctx& c) {
  if (!OpenClipboard(nullptr)) {
    in.err.code = kErrRefused;
    return;
  }
  std::string text;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      text.assign(p, strnlen(p, GlobalSize(h)));
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  in.line.result = text;
  if (c.Word<ClipPasteWord>() == ClipPasteWord::ClipInsert) {
    // Inserts the text at the caret of the control that has the focus.
    HWND fg = GetForegroundWindow();
    const DWORD tid = fg ? GetWindowThreadProcessId(fg, nullptr) : 0;
    const DWORD me = GetCurrentThreadId();
    if (tid && tid != me) AttachThreadInput(me, tid, TRUE);
    HWND focus = GetFocus();
    if (tid && tid != me) AttachThreadInput(me, tid, FALSE);
    if (focus) {
      DWORD_PTR r;
      SendMessageTimeoutA(focus, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 2000, &r);
    } else {
      in.err.code = kErrUsage;
    }
  }
}

// ---- small commands

void CmdLabel(Interp& in, Ctx&) { in.line.result = in.line.args; }

void CmdNothing(Interp&, Ctx&) {}

void CmdStop(Interp& in, Ctx&) {
  WriteLog(in, "Stop " + in.mach.exeBase);
  ExitSequence(in);
}

void CmdSleep(Interp& in, Ctx&) {
  PumpMessages();
  const Num s = Val(in.line.second);
  if (!(s > 0)) return;
  const Num ms = std::min<Num>(s * 1000, 0x7FFFFFFF);
  SleepUnlessStopped(in, static_cast<unsigned>(ms));
}

void CmdWait(Interp& in, Ctx&) {
  const Num s = Val(in.line.second);
  if (!(s > 0)) {
    PumpMessages();
    return;
  }
  const Num ms = std::min<Num>(s * 1000, 0x7FFFFFFF);
  PumpMessages();
  Sleep(20);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < static_cast<DWORD>(ms)) {
    if (in.sw.interrupt || in.run.abort || in.run.stopRequested) return;
    PumpMessages();
    Sleep(40);
  }
}

void CmdDoEvents(Interp& in, Ctx&) {
  const int n = ValInt(in.line.second);
  for (int i = 0; i <= n && i < 100000; ++i) PumpMessages();
}

void CmdLine(Interp& in, Ctx&) {
  const std::string file = FieldUnquoted(in, 1);
  const long long n = ValInt64(Field(in, 2));
  if (n <= 0) {
    in.err.code = kErrUsage;
    return;
  }
  // A file another program holds open without sharing is 75, like every
  // other command that reads a file.
  std::string text;
  if (const int e = ReadFileBytes(file, text, true)) {
    in.err.code = e;
    return;
  }
  // Lines end at CR LF or LF, as a text reader sees them.
  const std::vector<std::string_view> lines = LinesOf(text);
  if (static_cast<unsigned long long>(n) <= lines.size()) {
    in.line.result = lines[static_cast<size_t>(n - 1)];
    return;
  }
  in.line.result = kAbsent;
}

void CmdExtract(Interp& in, Ctx&) {
  // EXTRACT text,start,length: the text may hold separators itself, so the
  // last two fields are the numbers.
  const std::string& a = in.line.args;
  const std::string& sep = in.Sep();
  const size_t p2 = a.rfind(sep);
  const size_t p1 = p2 == std::string::npos || p2 == 0 ? std::string::npos : a.rfind(sep, p2 - 1);
  if (p1 == std::string::npos) {
    in.text.extract.clear();
    in.err.code = kErrUsage;
    return;
  }
  const std::string text = a.substr(0, p1);
  const long long start = ValInt64(std::string_view(a).substr(p1 + sep.size(), p2 - p1 - sep.size()));
  const long long len = ValInt64(std::string_view(a).substr(p2 + sep.size()));
  if (start <= 0 || len < 0) {
    in.text.extract.clear();
    in.err.code = kErrUsage;
    return;
  }
  if (static_cast<unsigned long long>(start) > text.size()) {
    in.text.extract.clear();
    return;
  }
  in.text.extract = text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(len));
}

void CmdSlow(Interp& in, Ctx&) {
  // "ON" is the first field: the second word of "SLOW ON,500" is "ON,500".
  const bool on = in.line.on || IsOnWord(Field(in, 1));
  in.run.stepDelayMs = on ? std::max(0, ValInt(Field(in, 2))) : 0;
  if (on && FieldCount(in) < 2) {
    // "SLOW ON 200" without a separator
    const std::string_view a = TrimView(in.line.args);
    const size_t sp = a.find(' ');
    in.run.stepDelayMs = sp == std::string_view::npos ? 0 : std::max(0, ValInt(a.substr(sp + 1)));
  }
}

}  // namespace kes

namespace kes {

// Files held open across commands are closed by the exit sequence.
void CloseOpenFiles(Interp&) {}

}  // namespace kes
