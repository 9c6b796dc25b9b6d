// Service mode (SERVICE CALLSUB,name): the interpreter registers as the
// service `name` and runs the SUB of that name as the service's body.
//
// Threads. The interpreter keeps running on its own thread: a helper
// thread calls StartServiceCtrlDispatcherA, the dispatcher runs the service
// main routine on a thread of its own, and the control handler on the
// helper thread. Neither of them touches the interpreter: they share only
// the plumbing below (the status record under a lock, events, the
// interpreter thread's ID). The main routine registers the handler, reports
// START_PENDING then RUNNING, signals `started`, and waits for `bodyDone`
// before it reports STOPPED; the interpreter runs the SUB between the two.
//
// Stopping. STOP (and SHUTDOWN) report STOP_PENDING, set the stop event and
// post WM_QUIT to the interpreter thread. Every message pump turns WM_QUIT
// into the stop request that the runner tests before each line and every
// wait tests while it waits (WAIT, the window and program waits, boxes);
// SLEEP waits on the stop event. So the SUB ends at its next line, the
// service reports STOPPED only once it has ended, and the lines after the
// SERVICE line run. The STOPPED report never comes from the handler: it
// would let the dispatcher return while the SUB still runs.
#include <windows.h>

#include "automation/session.h"
#include "interp/dispatcher.h"
#include "startup/runner.h"
#include "sysadmin/launcher.h"
#include "sysadmin/service_logic.h"
#include "sysadmin/services.h"

namespace kes {

namespace {

// The plumbing between the service manager's callbacks and the
// interpreter thread.
struct Plumbing {
  CRITICAL_SECTION lock;
  bool lockReady = false;
  SERVICE_STATUS_HANDLE handle = nullptr;  // set by the main routine, read by the handler
  ServiceStatusRecord status;              // under the lock
  bool bodyRunning = false;                // under the lock: a stop is posted only while the SUB runs
  bool stopAsked = false;                  // under the lock
  HANDLE started = nullptr;   // the main routine reported RUNNING (or failed to register)
  HANDLE bodyDone = nullptr;  // the SUB has ended
  HANDLE stopEvent = nullptr;
  DWORD interpThread = 0;
  char name[kMaxServiceModeName + 1] = {};
  DWORD dispatcherError = 0;  // StartServiceCtrlDispatcherA's failure
  DWORD registerError = 0;    // RegisterServiceCtrlHandlerA's failure
};
Plumbing g;

class Locked {
 public:
  Locked() { EnterCriticalSection(&g.lock); }
  ~Locked() { LeaveCriticalSection(&g.lock); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
};

// Reports the status record; called with the lock held.
void ReportLocked() {
  if (!g.handle) return;
  SERVICE_STATUS s;
  s.dwServiceType = g.status.type;
  s.dwCurrentState = g.status.state;
  s.dwControlsAccepted = g.status.controls;
  s.dwWin32ExitCode = g.status.win32Exit;
  s.dwServiceSpecificExitCode = g.status.specificExit;
  s.dwCheckPoint = g.status.checkpoint;
  s.dwWaitHint = g.status.waitHint;
  SetServiceStatus(g.handle, &s);
}

void SetState(uint32_t state) {
  Locked l;
  g.status.state = state;
  ReportLocked();
}

void WINAPI ControlHandler(DWORD control) {
  Locked l;
  const ControlOutcome out = ApplyControl(g.status, control);
  ReportLocked();
  if (!out.endBody) return;
  g.stopAsked = true;
  SetEvent(g.stopEvent);
  if (g.bodyRunning) PostThreadMessageA(g.interpThread, WM_QUIT, 0, 0);
}

void WINAPI ServiceMain(DWORD, LPSTR*) {
  g.handle = RegisterServiceCtrlHandlerA(g.name, ControlHandler);
  if (!g.handle) {
    g.registerError = GetLastError();
    SetEvent(g.started);
    return;
  }
  SetState(kServiceStartPending);
  {
    Locked l;
    g.status.controls = kControlsAccepted;
    g.status.state = kServiceRunning;
    ReportLocked();
  }
  SetEvent(g.started);
  WaitForSingleObject(g.bodyDone, INFINITE);
  Locked l;
  g.status.controls = 0;
  g.status.win32Exit = g.status.specificExit = g.status.checkpoint = g.status.waitHint = 0;
  g.status.state = kServiceStopped;
  ReportLocked();
}

DWORD WINAPI DispatcherThread(void*) {
  SERVICE_TABLE_ENTRYA table[2] = {{g.name, ServiceMain}, {nullptr, nullptr}};
  if (!StartServiceCtrlDispatcherA(table)) g.dispatcherError = GetLastError();
  return 0;
}

// Waits for one of the handles while the interpreter's windows answer;
// answers the index of the one signalled.
DWORD WaitAnswering(HANDLE a, HANDLE b) {
  const HANDLE hs[2] = {a, b};
  for (;;) {
    const DWORD r = MsgWaitForMultipleObjects(2, hs, FALSE, INFINITE, QS_ALLINPUT);
    if (r < WAIT_OBJECT_0 + 2) return r - WAIT_OBJECT_0;
    // WM_QUIT is left for the pumps of the body, and a stop is seen through
    // the event anyway.
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, WM_QUIT - 1, PM_REMOVE) ||
           PeekMessageA(&m, nullptr, WM_QUIT + 1, 0xFFFFFFFF, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }
}

// ---- desktops

// Attaches the process to "winsta0" and this thread to the named desktop,
// so the boxes of the service body show where the user is.
void AttachToDesktop(const std::string& desktop) {
  if (desktop.empty()) return;
  if (HWINSTA ws = OpenWindowStationA("winsta0", FALSE, MAXIMUM_ALLOWED)) SetProcessWindowStation(ws);
  if (HDESK d = OpenDesktopA(desktop.c_str(), 0, FALSE, MAXIMUM_ALLOWED)) SetThreadDesktop(d);
}

// Before Windows 2000 the service waits until the manager shows it running
// before it attaches to the desktop.
void AttachBody(Interp& in) {
  if (in.mach.build2000) {
    AttachToDesktop(InputDesktopName(in.mach.build2000));
  } else {
    SleepResponsive(in, 170, false);
    for (int i = 0; i < 17 && QueryServiceState(in, "*" + in.services.modeName) != kServiceRunning; ++i)
      SleepResponsive(in, 500, false);
    in.err.code = 0;
    AttachToDesktop(in.services.lockedDesktop.empty() ? InputDesktopName(in.mach.build2000) : in.services.lockedDesktop);
  }
  in.run.desktopWatch = true;
}

bool SubExists(const Interp& in, std::string_view name) {
  if (const ScriptLevel* lvl = in.run.CurrentLevel())
    for (const Label& s : lvl->subs)
      if (EqualsNoCase(s.name, name)) return true;
  return false;
}

// The service body's marks, set for as long as the SUB runs and restored
// however it ends: the running-as-service flag, the packaged flag cleared
// (the SUB runs as CALLSUB runs it), and the SERVICE line's own state for
// its epilogue. A stop request that ended the body is used up: it does not
// end the script.
class BodyScope {
 public:
  explicit BodyScope(Interp& in) : in_(in), saved_(in.line), packaged_(in.mach.packaged) {
    in.mach.packaged = false;
    in.services.runningAsService = true;
    Locked l;
    g.bodyRunning = true;
  }
  ~BodyScope() {
    bool stopAsked;
    {
      Locked l;
      g.bodyRunning = false;
      stopAsked = g.stopAsked;
    }
    if (stopAsked) {
      MSG m;
      while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
      }
      in_.run.stopRequested = false;
    }
    in_.services.runningAsService = false;
    in_.mach.packaged = packaged_;
    in_.line = std::move(saved_);
  }
  BodyScope(const BodyScope&) = delete;
  BodyScope& operator=(const BodyScope&) = delete;

 private:
  Interp& in_;
  LineState saved_;
  bool packaged_;
};

// The registration with the service manager, from the dispatcher thread's
// start to its end. However the body ends, the main routine is let go (it
// reports STOPPED), the dispatcher returns, and the plumbing is released.
class Registration {
 public:
  explicit Registration(Interp& in) {
    if (!g.lockReady) {
      InitializeCriticalSection(&g.lock);
      g.lockReady = true;
    }
    lstrcpynA(g.name, in.services.modeName.c_str(), sizeof g.name);
    g.status = ServiceStatusRecord{};
    g.status.type = ServiceTypeFor(in.mach.build2000);
    g.stopAsked = false;
    g.dispatcherError = g.registerError = 0;
    g.interpThread = GetCurrentThreadId();
    // The thread's message queue, so that a stop can be posted to it.
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
    g.started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g.bodyDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g.stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (g.started && g.bodyDone && g.stopEvent)
      thread_ = CreateThread(nullptr, 0, DispatcherThread, nullptr, 0, nullptr);
    if (!thread_) g.dispatcherError = GetLastError() ? GetLastError() : static_cast<DWORD>(kErrUsage);
  }
  ~Registration() {
    if (g.bodyDone) SetEvent(g.bodyDone);
    if (thread_) {
      WaitAnswering(thread_, thread_);
      CloseHandle(thread_);
    }
    for (HANDLE* h : {&g.started, &g.bodyDone, &g.stopEvent}) {
      if (*h) CloseHandle(*h);
      *h = nullptr;
    }
    g.handle = nullptr;
  }
  Registration(const Registration&) = delete;
  Registration& operator=(const Registration&) = delete;

  // Waits until the service runs; false when the dispatcher gave up first.
  bool Running() const { return thread_ && WaitAnswering(g.started, thread_) == 0 && !g.registerError; }

 private:
  HANDLE thread_ = nullptr;
};

}  // namespace

void RunAsService(Interp& in, const std::string& name) {
  if (name.empty() || name.size() > kMaxServiceModeName || in.services.runningAsService) {
    in.err.code = kErrUsage;
    return;
  }
  // Before Windows 2000, while the workstation is locked or another desktop
  // has the input, the service attaches to that desktop.
  if (!in.mach.build2000) {
    const std::string input = InputDesktopName(in.mach.build2000);
    if (!input.empty() && DesktopShowsShell(input)) in.services.lockedDesktop = input;
  }
  in.services.serviceMode = true;
  in.services.modeName = name;
  int32_t code = 0;
  {
    Registration reg(in);
    if (reg.Running()) {
      if (SubExists(in, name)) {
        BodyScope body(in);
        AttachBody(in);
        SetVariable(in, "SUB", name);
        bool subCall = true;
        RunScript(in, name, true, subCall);
      } else {
        code = kErrMissingPartner;
      }
    }
    // leaving the scope reports STOPPED and waits for the dispatcher
  }
  if (g.dispatcherError || g.registerError)
    code = static_cast<int32_t>(g.dispatcherError ? g.dispatcherError : g.registerError);
  in.err.code = code;
}

void SleepUnlessStopped(Interp& in, unsigned ms) {
  if (!in.services.runningAsService || !g.stopEvent) {
    Sleep(ms);
    return;
  }
  if (WaitForSingleObject(g.stopEvent, ms) == WAIT_OBJECT_0) in.run.stopRequested = true;
}

}  // namespace kes
