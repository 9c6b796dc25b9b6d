// The interpreter's state, gathered in a few structures with clear owners.
// One interpreter thread runs everything, so one Interp exists per process.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <map>
#include <string>
#include <vector>

#include "boxes/answers.h"
#include "interp/errors.h"
#include "interp/system.h"
#include "interp/text.h"
#include "interp/variables.h"

namespace kes {

// Argument separator, variable delimiter and quote character (variables and
// dispatcher).
struct Separators {
  std::string varDelim = "%";
  std::string argSep = ",";
  std::string defaultSep;  // empty means ","
  std::string quote = "\"";
  bool keepSepOneLine = false;    // SEP, SEPALL: hold past this line's reset
  bool keepQuoteOneLine = false;  // QUOTE
};

// Process-wide switches set by the switch commands.
struct Switches {
  bool center = false;
  bool codecall = false;
  int codecallDepth = -1;
  bool drive = false;
  bool logmute = false;  // raw log entries
  bool mandatory = true;
  bool mask = false;
  bool ok = true;
  bool esc = true;
  bool top = false;
  bool oldapp = false;
  bool profile = false;
  bool stdinout = false;
  bool interrupt = false;
  bool nosensitive = true;
  bool caseInsensitive = true;        // list searches and text comparisons
  bool switchCaseInsensitive = true;  // SWITCH comparisons
};

struct ErrorState {
  int32_t code = 0;
  int32_t errorlevel = 0;
};

struct LogState {
  std::string dir;       // DIRLOG; logging is off while empty
  std::string fileName;  // LOGFILE / FICLOG
  int64_t maxSize = 65536;
  int16_t stop = 0;  // LOGSTOP
  bool headerPending = true;
  RevealedSecrets revealed;  // clear texts of protected values, hidden in every entry
};

// State shared by the boxes.
struct BoxState {
  std::vector<std::string> buttonLabels;  // BUTTONSELECT
  std::string stopPassword;               // PASSWORD
  int popupWidth = 0;
  bool silent = false;
  std::string title;   // the script's title used by boxes; empty: the product name
  std::string label;   // LABEL: the footer text of the boxes
  std::string choice;  // CHOICE: the entry last chosen in the choice window
  bool comReady = false;  // COM initialised for the shell's dialogs
  AnswerFeed answers;  // unattended mode: the answers the boxes take instead of a person
};

// A box the waits watch for (OPTIONALBOX, IGNOREBOX) and the script lines
// collected after the command, each "NNNN" + line + "\xFF\xFE".
struct OptionalBox {
  std::string title, parent;
  std::string block;
  bool once = true;  // OPTIONALBOX: used once; IGNOREBOX: fires again and again
};

// The waits for windows, boxes and programs.
struct WaitState {
  int32_t maxWait = 600;  // MAXWAIT: seconds before a wait or a box gives up
  // The boxes the waits watch for; the runner's box block joins the last
  // entry when a wait or the next entry starts.
  std::vector<OptionalBox> boxes;
  // Set by the trace window's "Force wait": the running wait ends at once
  // with error 1 (a wait that sees it clears it).
  bool forceEnd = false;
  // When a wait ends to run a box's lines, the tick count it began at: the
  // wait line that runs again after them keeps its first deadline, so a box
  // that stays on screen cannot hold the script past MAXWAIT.
  uint32_t boxWaitStart = 0;
};

// The folders a script sets for its files (DIRLOG belongs to the log).
struct WorkFolders {
  std::string dyn, hlp, imm, run, rec;  // DIRDYN DIRHLP DIRIMM DIRRUN DIRREC, each ending in "\"
};

// Programs started by the script, and the processes seen (the launcher and
// the task commands).
struct ProgramState {
  std::string adminAccount, adminDomain, adminPassword;  // ADMINACCOUNT ADMINDOMAIN ADMINPASSWORD
  uint32_t lastPid = 0;  // the last started process
  // the last enumeration of processes: file names (lower case) and IDs
  std::vector<std::string> taskNames;
  std::vector<uint32_t> taskIds;
  size_t processInfoBytes = 256 * 1024;  // room the last process query needed, so the next needs one call
  bool inputFileLeft = false;  // a STDIN file still to delete
  bool adminOpen = false;      // ADMIN BEGIN seen, ADMIN END not yet
  // child mode: the caller's exchange control, and the state as received
  // (what the child sends back is what differs from it)
  uintptr_t exchangeControl = 0;
  std::string exchangeReceived;
};

// What the file commands keep between commands.
struct FileState {
  std::string binget;  // the text the last BINGET produced
  int16_t where = 0;   // the where-setting (WHERE)
  std::map<std::string, unsigned long long> linePositions;  // LINENEXT, by full upper-case path
};

// Text values the string commands keep.
struct TextState {
  std::string extract;  // the text of the last EXTRACT
};

// TIMER: seconds since its first read, increasing across midnight. The
// clock is compared in whole milliseconds: two reads of the same millisecond
// must never look like a clock that went back (a day added).
struct TimerState {
  bool started = false;
  long long base = 0, last = 0, days = 0;
  // The reading in milliseconds for a time of day in milliseconds.
  long long Read(long long nowMs) {
    if (!started) {
      started = true;
      base = last = nowMs;
    }
    if (nowMs < last) days += 86400000;
    last = nowMs;
    return nowMs + days - base;
  }
};

// The focus target of the keystroke and mouse commands: a top-level window
// and a control in it (0 = none), kept as numbers so this header stays free
// of Win32.
struct FocusState {
  uintptr_t window = 0;
  uintptr_t object = 0;
  uintptr_t Target() const { return object ? object : window; }
  // The window that had the front before the program last brought a window
  // there (LASTFOCUS), 0 when none.
  uintptr_t lastFocus = 0;
};

// The desktops: the input desktop as the per-line watch last saw it, and
// the window station and desktop SESSION SWITCH attached (0 = none).
struct DesktopState {
  std::string inputDesktop;
  uintptr_t winsta = 0, desktop = 0;
};

// The HTTP client's settings (HTTP PROXY, CACHE, LOG, GAUGE, and the
// variable HTTPTIMEOUT); the credentials are the variables HTTPACCOUNT and
// HTTPPASSWORD, read when a server asks for them.
struct HttpSettings {
  uint32_t timeoutMs = 10000;  // HTTPTIMEOUT: each wait, in milliseconds
  std::string proxyPrefix;     // "host:port:", empty: no proxy
  bool cache = true;
  std::string logFile;  // empty: no log
  bool gauge = false;
  std::string gaugeCaption, gaugeText;
  bool gaugeCloses = false;  // the gauge closes at the end of each transfer
};

class ReplyChannel;

// The FTP client: the server record of FTPSERVER, the control connection
// (open while logged in) and the keep-open flag of FTPOPEN ... FTPCLOSE.
struct FtpState {
  std::string server, user, password;  // FTPSERVER
  std::string host;                    // the server the control connection went to
  uint32_t timeoutMs = 10000;          // FTPTIMEOUT: every wait of the control connection
  bool keepOpen = false;
  // The control connection, made by the FTP commands on first use (the core
  // itself holds no socket); Control() is defined with them in net/cmd_ftp.cpp.
  std::unique_ptr<ReplyChannel, void (*)(ReplyChannel*)> control{nullptr, nullptr};
  ReplyChannel& Control();
};

// PING's setting: the variable PINGTIMEOUT.
struct PingSettings {
  uint32_t timeoutMs = 1000;  // the wait for the echo reply
};

// The registry commands' connection and options, kept across commands.
struct RegistryState {
  std::string remoteComputer;  // REGCONNECT; empty: the local registry
  bool openSecurity = false;   // keys created get a null DACL (REG IMPERSONATE)
};

// The service commands' state, and the service mode's (SERVICE CALLSUB):
// what the interpreter registered as, and whether the service body runs.
struct ServiceState {
  std::string computer;    // SERVICECONNECT, SERVICE CONNECT; empty: the local machine
  bool allStates = false;  // SERVICE ALL: LIST shows services in every state, not only active ones
  bool serviceMode = false;       // the process registered as a service
  bool runningAsService = false;  // the service body (the SUB) is running
  std::string modeName;           // the service's name, which is also its SUB's
  std::string lockedDesktop;      // before Windows 2000: the input desktop remembered at registration
};

// What start-up learnt about the machine and the executable.
struct MachineInfo {
  std::string exePath, exeFolder, exeBase, launchFolder;
  std::string userName, computerName;  // USERNAME, COMPUTERNAME: from the system, or as a script set them
  std::string systemFolder, windowsFolder;  // windowsFolder ends in "\"
  std::string tempFolder;                   // never ends in "\"
  uint32_t pid = 0;
  std::string workTmp, workErr, tempPrefix;
  std::string cacheFolder;
  std::string shellCommand;  // "cmd.exe /C " or "command.com /C "
  bool isNT = true, build2000 = true, build2600 = true;
  std::string osName;
  std::string userDomain;
  int priority = 32;
  // package descriptor
  long firstPos = 0, firstLen = 0, secondPos = 0, secondLen = 0, mainPos = 0, mainLen = 0;
  bool packaged = false;
  std::string optionField;  // scrambled credentials and run-once flag, "#" when unset
  bool plugin = false;
  bool pluginBuild = false;
  bool traceAtStart = false;
  bool selfDelete = false;
  bool childMode = false;
  std::vector<std::string> exitCommands;
  std::vector<std::string> tempFiles;
};

// Files embedded in the packages read by this process: the extraction path,
// the variable that names it, and the content inside the package body.
struct EmbeddedFile {
  std::string path, var;
  std::shared_ptr<const std::string> body;
  size_t offset = 0, size = 0;
};
struct PackageState {
  std::vector<EmbeddedFile> files;
  std::string askIndex;  // the "TEMP#" entry of the last package: ASKDIALOG index and definitions
  bool loaded = false;   // a package (executable or plug file) was read
  std::vector<std::pair<std::string, std::string>> packList;  // PACKJOIN source, destination
};


// Block stacks of one run of the script runner.
struct SwitchRecord {
  bool brk = false, anyMatched = false, active = false, matched = false;
  std::string value;
};
struct ForRecord {
  double step = 1, current = 0, start = 0, end = 0;
  int forLine = 0, nextLine = 0;
  int ifDepth = 0;    // IF depth at the FOR line, restored when the body is left
  size_t switchDepth = 0;  // open SWITCHes at the FOR line, likewise
  bool exit = false;  // EXITFOR or a finished ITERATE: skip to NEXT, which ends the loop
  std::string name;
};
struct BlockStacks {
  std::vector<char> ifs{1};  // entry 0 is true and never removed
  int falseIfs = 0;          // entries that are false, so the test is O(1)
  std::vector<SwitchRecord> switches;
  std::vector<ForRecord> fors;

  bool IfAllows() const { return falseIfs == 0; }
  int IfDepth() const { return static_cast<int>(ifs.size()) - 1; }
  void PushIf(bool v) {
    ifs.push_back(v);
    if (!v) ++falseIfs;
  }
  void SetTopIf(bool v) {
    if (static_cast<bool>(ifs.back()) == v) return;
    falseIfs += v ? -1 : 1;
    ifs.back() = v;
  }
  bool TopIf() const { return ifs.back(); }
  void PopIf() {
    if (ifs.size() <= 1) return;
    if (!ifs.back()) --falseIfs;
    ifs.pop_back();
  }
  void PopIfsTo(int depth) {
    while (IfDepth() > depth && IfDepth() > 0) PopIf();
  }
  // Leaving or restarting a loop body closes the blocks opened inside it.
  void PopBlocksTo(int ifDepth, size_t switchDepth) {
    PopIfsTo(ifDepth);
    if (switches.size() > switchDepth) switches.resize(switchDepth);
  }
  void ResetIfs() {
    ifs.assign(1, 1);
    falseIfs = 0;
  }
};

struct Label {
  std::string name;
  int line;
};

struct ScriptLevel {
  std::string name, folder, text;
  std::vector<std::string> lines;  // the line store: slot i holds line i + 1
  int lineCount = 0;
  std::vector<Label> labels;  // first duplicate wins
  std::vector<Label> subs;
  bool scrambled = false;
  bool unscrambled = false;
  bool numbered = false;  // child mode: lines still carry their block numbers
};

struct Frame {
  int line = 0;  // 16-bit line number shown to the user
  std::string name;
  bool sub = false;  // a sub run by CALLSUB (ENDSUB is honoured only there)
};

// The script runner's state.
struct RunnerState {
  int callDepth = -1;
  int nestedCommands = 0;  // commands now running inside another's line (NestedCommand)
  std::vector<Frame> frames;
  int scriptLevel = -1;
  std::vector<ScriptLevel> levels;

  // The frame of the current call depth (a spare frame before any script).
  Frame& CurrentFrame() {
    if (callDepth < 0 || callDepth >= static_cast<int>(frames.size())) return spareFrame;
    return frames[static_cast<size_t>(callDepth)];
  }

  // The script level now running; null outside any script.
  ScriptLevel* CurrentLevel() {
    if (scriptLevel < 0 || scriptLevel >= static_cast<int>(levels.size())) return nullptr;
    return &levels[static_cast<size_t>(scriptLevel)];
  }
  const ScriptLevel* CurrentLevel() const { return const_cast<RunnerState*>(this)->CurrentLevel(); }
  // The name of the running script; empty outside any script.
  std::string ScriptName() const {
    const ScriptLevel* l = CurrentLevel();
    return l ? l->name : std::string();
  }

  std::string commandText;  // the "$$" source: the command text of "/C "
  bool abort = false;
  bool stopRequested = false;  // end request from a box or the trace window
  bool immediateOpen = false;
  bool tracing = false;
  // pending lines queued by "#OPT#"
  std::deque<std::string> pending;
  bool pendingFromOptional = false;
  bool afterBoxLines = false;  // the line running is the one that queued them
  // ADMIN block collection
  bool adminCollecting = false;
  std::string adminBlock;
  int adminLines = 0;
  bool adminCallsSubs = false;
  // box-line collection (IGNOREBOX / OPTIONALBOX)
  bool boxCollecting = false;
  std::string boxBlock;
  bool desktopWatch = false;
  bool ending = false;
  int stepDelayMs = 0;  // SLOW: a pause before every line
  Frame spareFrame;
};

// The trace: the window that shows and paces a running script (trace/),
// and the trace file that records the same lines and records without
// pausing. Tracing is on (run.tracing) while either is open, or while
// TRACE ERROR waits for a failed line.
struct TraceState {
  uintptr_t window = 0;  // the trace window (HWND); 0 while it is closed
  int16_t go = 0;        // 0 keep waiting, -1 proceed, 1 "Force wait" pressed
  double delay = 65000;  // seconds each traced line waits: step by step until a button is pressed
  int speed = 0;         // 0 step by step, 1 slow, 2 high: preselects the radio buttons
  std::vector<std::string> pending;  // records left for the next traced line (calls, box lines)
  uintptr_t lastFocus = 0;           // the window that had the focus before the trace took it
  bool lineTraced = false;           // the current line has been shown
  bool errorWatch = false;           // TRACE ERROR: the window opens at the first failed line
  int listed = 0;                    // entries of the line lists since they were last cleared
  int viewIndex = 0;                 // the runner's seven-line view: store index of its first line
  std::vector<std::string> view;
  std::string filePath;  // TRACE FILE: the records one per line, never pausing
  uintptr_t file = 0;    // its handle; 0 while closed
  bool pausing = false;  // a traced line is waiting
  bool Open() const { return window != 0; }
};

// The immediate window: lines typed and run through the dispatcher in the
// context of the script that opened it (its variables, labels and subs).
struct ImmediateState {
  uintptr_t window = 0;  // HWND; 0 while closed (run.immediateOpen follows it)
  int baseDepth = -1;    // the call depth its lines run at
  BlockStacks stacks;    // IF, SWITCH and FOR blocks of the typed lines
  std::vector<std::string> history;  // typed lines, oldest first
  int historyPos = -1;               // the entry the arrow keys show; -1 the new line
  std::deque<std::string> toRun;     // lines handed over (Enter, a .imm file), run by the window's loop
  int running = 0;                   // typed lines running (one, or one more during a trace pause)
  bool goOn = false;                 // "Continuer": the window gives control back
  bool traceChecked = false;         // its "Trace" check box
  std::string control;               // a control code a typed line returned (EXIT, GOTO)
  int lineNumber = 0;                // number of the last typed line (up to 9999)
  std::string settingsFile;          // immediat.ini
  std::string lastFile;              // the last .imm file loaded or saved
};

struct CommandWord;

// Values of the line being run, kept for messages and the trace.
struct LineState {
  std::string lastRaw;
  std::string commandText;  // the cleaned line before substitution
  std::string location;
  std::string word;    // command word, upper case
  const CommandWord* command = nullptr;  // its entry in the command table; null when no row lists it
  std::string args;    // argument text
  std::string second;  // second word, upper case
  std::vector<std::string> fields;  // fields 1..n at index 0..n-1
  bool on = false;
  std::string result;
  bool secondResult = false;  // publish the result as "N" + word too
  bool noLog = false;
  bool skipEpilogue = false;  // CALL, CALLSUB, ENDSUB end the line at once
  bool unhandled = false;     // no handler took the command word (not a sub-keyword)
  std::string caller;
};

struct Interp : public SubstHost {
  System* system = nullptr;  // the machine: see interp/system.h
  Separators sep;
  Switches sw;
  ErrorState err;
  LogState log;
  MachineInfo mach;
  VarStore vars;
  RunnerState run;
  LineState line;
  BoxState boxes;
  WaitState waits;
  WorkFolders folders;
  ProgramState programs;
  FileState files;
  TextState text;
  TimerState timer;
  FocusState focus;
  DesktopState desktops;
  SearchState search;
  HttpSettings http;
  FtpState ftp;
  PingSettings ping;
  RegistryState registry;
  ServiceState services;
  PackageState pkg;
  TraceState trace;
  ImmediateState immediate;
  bool protectedDisplay = false;

  SubstOptions SubstOpts() const {
    SubstOptions o;
    o.delim = sep.varDelim;
    o.callLevel = run.callDepth;
    o.protectedDisplay = protectedDisplay;
    return o;
  }
  void Subst(std::string& s) { Substitute(s, vars, *this, SubstOpts()); }
  std::string Substituted(std::string_view s) {
    std::string r(s);
    Subst(r);
    return r;
  }
  const std::string& Sep() const { return sep.argSep; }

  // SubstHost
  Found Builtin(std::string_view name, std::string& out) override;
  std::string SharedGet(std::string_view name) override;
  const std::vector<std::string>* ComputedList(SysList id) override;
  void SetError(int32_t code) override { err.code = code; }
  void Revealed(std::string_view name, std::string_view clear) override { log.revealed.Add(name, clear); }
};

// The one interpreter of the process.
Interp& K();

// The single entry for every assignment.
void SetVariable(Interp& in, std::string_view name, std::string_view value);
// Reads a variable the way %NAME% does.
std::string GetVariable(Interp& in, std::string_view name);

// The test of every wait loop, after its messages: a stop request or an
// abort ends the wait; so does the trace window's "Force wait", with error 1.
inline bool WaitEnds(Interp& in) {
  if (in.waits.forceEnd) {
    in.waits.forceEnd = false;
    in.err.code = kErrUsage;
    return true;
  }
  return in.run.stopRequested || in.run.abort;
}

}  // namespace kes
