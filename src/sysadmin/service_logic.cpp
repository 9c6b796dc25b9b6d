#include "sysadmin/service_logic.h"

namespace kes {

namespace {

struct OpRow {
  std::string_view word;
  ServiceOp op;
  ServiceAccess access;
};

constexpr uint32_t kGenericRead = 0x80000000u;
constexpr uint32_t kManagerConnect = 1, kManagerEnumerate = 4;
constexpr uint32_t kManagerControl = 9;       // connect, lock
constexpr uint32_t kManagerCreate = 0x2B;     // connect, create service, lock, modify boot configuration
constexpr uint32_t kManagerChange = 0x2F;     // the same and enumerate
constexpr uint32_t kServiceChangeExtra = 0x1CA;  // change config, enumerate dependents, pause, interrogate, user control
constexpr uint32_t kServiceAll = 0xF01FE;     // every right but query config

constexpr OpRow kOps[] = {
    {"ECHO", ServiceOp::Echo, {0, 0}},
    {"LIST", ServiceOp::List, {kManagerEnumerate, kGenericRead}},
    {"STATUS", ServiceOp::Status, {kManagerEnumerate, kGenericRead}},
    {"CONFIG", ServiceOp::Config, {kManagerEnumerate, kGenericRead}},
    {"START", ServiceOp::Start, {kManagerConnect, 0x8000019Cu}},
    {"STOP", ServiceOp::Stop, {kManagerControl, 0x80000020u}},
    {"PAUSE", ServiceOp::Pause, {kManagerControl, 0x80000040u}},
    {"CONTINUE", ServiceOp::Continue, {kManagerControl, 0x80000040u}},
    {"CREATE", ServiceOp::Create, {kManagerCreate, kServiceAll}},
    {"DELETE", ServiceOp::Delete, {kManagerCreate, kServiceAll}},
    {"CONNECT", ServiceOp::Connect, {0, 0}},
    {"ALL", ServiceOp::All, {0, 0}},
    {"CALLSUB", ServiceOp::CallSub, {0, 0}},
};

}  // namespace

ServiceOp ServiceOpFromWord(std::string_view upper) {
  for (const OpRow& r : kOps)
    if (r.word == upper) return r.op;
  return ServiceOp::Unknown;
}

ServiceAccess AccessFor(ServiceOp op, bool changing) {
  for (const OpRow& r : kOps) {
    if (r.op != op) continue;
    ServiceAccess a = r.access;
    if (op == ServiceOp::Config && changing) {
      a.manager = kManagerChange;
      a.service |= kServiceChangeExtra;
    }
    return a;
  }
  return {};
}

ServiceReference ParseServiceReference(std::string_view text) {
  ServiceReference r;
  if (!text.empty() && text[0] == '*') {
    r.keyName = true;
    text.remove_prefix(1);
  }
  r.name.assign(text);
  r.valid = !r.name.empty() && r.name.size() <= kMaxServiceReference;
  return r;
}

std::string ServiceListEntry(std::string_view keyName, std::string_view sep, std::string_view displayName) {
  std::string e;
  e.reserve(1 + keyName.size() + sep.size() + displayName.size());
  e += '*';
  e += keyName;
  e += sep;
  e += displayName;
  return e;
}

uint32_t ServiceTypeFor(bool build2000) {
  return build2000 ? kServiceTypeOwnProcess | kServiceTypeInteractive : kServiceTypeOwnProcess;
}

ControlOutcome ApplyControl(ServiceStatusRecord& s, uint32_t control) {
  ControlOutcome out;
  // Once a stop is under way the state no longer moves back.
  const bool stopping = s.state == kServiceStopPending || s.state == kServiceStopped;
  switch (control) {
    case kControlPause:
      if (!stopping) s.state = kServicePaused;
      break;
    case kControlContinue:
      if (!stopping) s.state = kServiceRunning;
      break;
    case kControlStop:
    case kControlShutdown:
      s.win32Exit = s.specificExit = s.checkpoint = s.waitHint = 0;
      if (s.state != kServiceStopped) s.state = kServiceStopPending;
      out.endBody = true;
      break;
    default:  // INTERROGATE and anything else: the status as it stands
      break;
  }
  return out;
}

}  // namespace kes
