// The rules of the service commands that need no system call: the
// operation words and the access each asks for, service references, the
// entries of SERVICELIST, and what the service-mode control handler does
// with each control code. Pure: no Win32 calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kes {

enum class ServiceOp {
  Echo,
  List,
  Status,
  Config,
  Start,
  Stop,
  Pause,
  Continue,
  Create,
  Delete,
  Connect,
  All,
  CallSub,
  Unknown,
};

// The operation named by an upper-case word; Unknown for any other word.
ServiceOp ServiceOpFromWord(std::string_view upper);

// What an operation opens the service manager and the service with.
struct ServiceAccess {
  uint32_t manager = 0;
  uint32_t service = 0;
};
// `changing`: CONFIG with a new start type, which needs more rights.
ServiceAccess AccessFor(ServiceOp op, bool changing);

// The service-control codes and states the commands use.
inline constexpr uint32_t kServiceTypeOwnProcess = 0x10;
inline constexpr uint32_t kServiceTypeInteractive = 0x100;
inline constexpr uint32_t kServiceStopped = 1, kServiceStartPending = 2, kServiceStopPending = 3,
                          kServiceRunning = 4, kServicePaused = 7;
inline constexpr uint32_t kControlStop = 1, kControlPause = 2, kControlContinue = 3, kControlInterrogate = 4,
                          kControlShutdown = 5;
// STOP, PAUSE and CONTINUE, SHUTDOWN.
inline constexpr uint32_t kControlsAccepted = 7;

// Longest service reference (the service's name buffer holds 128 bytes
// with its terminating NUL) and longest service-mode name.
inline constexpr size_t kMaxServiceReference = 127;
inline constexpr size_t kMaxServiceModeName = 50;

// A service reference as written: a display name, or a key name written
// with a leading "*". The text is already trimmed and unquoted.
struct ServiceReference {
  std::string name;      // without the "*"
  bool keyName = false;  // written with "*": used as it is
  bool valid = false;    // not empty and not longer than the buffer
};
ServiceReference ParseServiceReference(std::string_view text);

// One SERVICELIST entry: "*" + key name + separator + display name, so the
// part before the separator is a key-name reference.
std::string ServiceListEntry(std::string_view keyName, std::string_view sep, std::string_view displayName);

// The status a service reports, as the system's SERVICE_STATUS holds it.
struct ServiceStatusRecord {
  uint32_t type = kServiceTypeOwnProcess;
  uint32_t state = kServiceStopped;
  uint32_t controls = 0;
  uint32_t win32Exit = 0;
  uint32_t specificExit = 0;
  uint32_t checkpoint = 0;
  uint32_t waitHint = 0;
};

// The service type the interpreter registers and creates services with:
// own process, and interactive from Windows 2000 on.
uint32_t ServiceTypeFor(bool build2000);

// What the control handler does with a control code: the record is updated
// and reported; STOP and SHUTDOWN also ask the service body to end (the
// body's end reports SERVICE_STOPPED, never the handler, so the process is
// never told the service stopped while its body still runs).
struct ControlOutcome {
  bool endBody = false;
};
ControlOutcome ApplyControl(ServiceStatusRecord& status, uint32_t control);

}  // namespace kes
