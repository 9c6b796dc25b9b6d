// Services: SERVICE (also written DEVICE), SERVICELIST and DEVICELIST.
// Every operation opens and closes its own handles on the service manager
// of the service computer (SERVICECONNECT). The first failing manager call
// ends the operation with its error number; the answer is then 0.
#include <windows.h>

#include <vector>

#include "interp/commands.h"
#include "sysadmin/service_logic.h"
#include "sysadmin/services.h"

namespace kes {

namespace {

// A manager or service handle, closed when the operation ends.
class ScHandle {
 public:
  ScHandle() = default;
  explicit ScHandle(SC_HANDLE h) : h_(h) {}
  ~ScHandle() { Reset(); }
  ScHandle(const ScHandle&) = delete;
  ScHandle& operator=(const ScHandle&) = delete;
  SC_HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void Reset(SC_HANDLE h = nullptr) {
    if (h_) CloseServiceHandle(h_);
    h_ = h;
  }

 private:
  SC_HANDLE h_ = nullptr;
};

// The error rule: the failed call's error number, unless an error is set.
// Answers false so a caller can return it.
bool Failed(Interp& in) {
  const DWORD e = GetLastError();
  if (in.err.code == 0) in.err.code = e ? static_cast<int32_t>(e) : kErrUsage;
  return false;
}

SC_HANDLE OpenManager(const Interp& in, uint32_t access) {
  const std::string& c = in.services.computer;
  if (c.empty()) return OpenSCManagerA(nullptr, nullptr, access);
  // The documented form of the machine name is "\\name".
  const std::string unc = StartsWith(c, "\\\\") ? c : "\\\\" + c;
  return OpenSCManagerA(unc.c_str(), nullptr, access);
}

// The key name of a reference: as written after "*", else looked up from
// the display name (asked first with a one-byte buffer to learn the size).
bool KeyNameOf(Interp& in, SC_HANDLE manager, const ServiceReference& ref, std::string& key) {
  if (ref.keyName) {
    key = ref.name;
    return true;
  }
  char probe[1] = {0};
  DWORD size = 1;
  if (!GetServiceKeyNameA(manager, ref.name.c_str(), probe, &size)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return Failed(in);
    std::vector<char> buf(size + 2, '\0');
    size = static_cast<DWORD>(buf.size());
    if (!GetServiceKeyNameA(manager, ref.name.c_str(), buf.data(), &size)) return Failed(in);
    key.assign(buf.data());
  } else {
    key.clear();
  }
  if (key.empty()) {
    SetLastError(ERROR_SERVICE_DOES_NOT_EXIST);
    return Failed(in);
  }
  return true;
}

// Opens the manager and the service a reference names.
bool OpenNamed(Interp& in, const ServiceReference& ref, ServiceAccess access, ScHandle& manager, ScHandle& service) {
  if (!ref.valid) {
    in.err.code = kErrUsage;
    return false;
  }
  manager.Reset(OpenManager(in, access.manager));
  if (!manager) return Failed(in);
  std::string key;
  if (!KeyNameOf(in, manager.get(), ref, key)) return false;
  service.Reset(OpenServiceA(manager.get(), key.c_str(), access.service));
  if (!service) return Failed(in);
  return true;
}

void AnswerNumber(Interp& in, uint32_t n) { in.line.result = IntText(n); }

// LIST: "*" + key name + separator + display name for each Win32 service,
// active ones only unless SERVICE ALL is on.
void ListServices(Interp& in) {
  std::vector<std::string>& list = in.vars.Sys(SysList::SERVICELIST);
  list.clear();
  const auto publish = [&] {
    AnswerNumber(in, static_cast<uint32_t>(list.size()));
    SetVariable(in, "NSERVICELIST", in.line.result);
  };
  ScHandle manager(OpenManager(in, AccessFor(ServiceOp::List, false).manager));
  if (!manager) {
    Failed(in);
    return publish();
  }
  const DWORD states = in.services.allStates ? SERVICE_STATE_ALL : SERVICE_ACTIVE;
  DWORD need = 0, count = 0, resume = 0;
  if (EnumServicesStatusA(manager.get(), SERVICE_WIN32, states, nullptr, 0, &need, &count, &resume))
    return publish();  // nothing to list
  // Services started or created meanwhile may need more room: the walk
  // goes on from where the last call stopped.
  resume = 0;
  for (int round = 0; round < 64; ++round) {
    std::vector<ENUM_SERVICE_STATUSA> records(need / sizeof(ENUM_SERVICE_STATUSA) + 1);
    const DWORD bytes = static_cast<DWORD>(records.size() * sizeof(ENUM_SERVICE_STATUSA));
    count = 0;
    const BOOL ok = EnumServicesStatusA(manager.get(), SERVICE_WIN32, states, records.data(), bytes, &need, &count,
                                        &resume);
    if (!ok && GetLastError() != ERROR_MORE_DATA) {
      list.clear();
      Failed(in);
      break;
    }
    for (DWORD i = 0; i < count; ++i) {
      const ENUM_SERVICE_STATUSA& r = records[i];
      if (!r.lpServiceName || !r.lpDisplayName) break;
      list.push_back(ServiceListEntry(r.lpServiceName, in.Sep(), r.lpDisplayName));
    }
    if (ok || (count == 0 && need <= bytes)) break;
  }
  publish();
}

// CONFIG: the start type; with a rest, the rest's number becomes the new one.
void ConfigService(Interp& in, const ServiceReference& ref, const std::string& rest) {
  const bool changing = !rest.empty();
  ScHandle manager, service;
  AnswerNumber(in, 0);
  if (!OpenNamed(in, ref, AccessFor(ServiceOp::Config, changing), manager, service)) return;
  DWORD need = 0;
  QueryServiceConfigA(service.get(), nullptr, 0, &need);
  std::vector<char> buf(need < sizeof(QUERY_SERVICE_CONFIGA) ? sizeof(QUERY_SERVICE_CONFIGA) : need);
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buf.data());
  if (!QueryServiceConfigA(service.get(), config, static_cast<DWORD>(buf.size()), &need)) return (void)Failed(in);
  DWORD start = config->dwStartType;
  if (changing) {
    start = static_cast<DWORD>(ValInt64(rest));
    if (!ChangeServiceConfigA(service.get(), config->dwServiceType, start, SERVICE_NO_CHANGE, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr))
      return (void)Failed(in);
  }
  AnswerNumber(in, start);
}

// Waits a little for a service asked to stop, so that it can be deleted
// and created again at once.
void WaitStopped(Interp& in, SC_HANDLE service) {
  for (int i = 0; i < 100; ++i) {
    SERVICE_STATUS st = {};
    if (!QueryServiceStatus(service, &st) || st.dwCurrentState == SERVICE_STOPPED) return;
    SleepResponsive(in, 50, false);
  }
}

// CREATE: a service of that name is stopped and deleted first (errors
// ignored), then created to run the rest as its command line, on demand,
// under SERVICEDOMAIN\SERVICEACCOUNT or else the local system account.
void CreateService(Interp& in, const ServiceReference& ref, const std::string& binaryPath) {
  AnswerNumber(in, 0);
  if (!ref.valid) {
    in.err.code = kErrUsage;
    return;
  }
  const ServiceAccess access = AccessFor(ServiceOp::Create, false);
  const char* name = ref.name.c_str();
  ScHandle manager(OpenManager(in, access.manager));
  if (manager) {
    ScHandle old(OpenServiceA(manager.get(), name, access.service));
    if (old) {
      SERVICE_STATUS st = {};
      if (ControlService(old.get(), SERVICE_CONTROL_STOP, &st)) WaitStopped(in, old.get());
      DeleteService(old.get());
    }
  }
  manager.Reset(OpenManager(in, access.manager));
  if (!manager) return (void)Failed(in);

  const std::string account = GetVariable(in, "SERVICEACCOUNT");
  std::string startName, password;
  DWORD type = ServiceTypeFor(in.mach.build2000);
  if (!account.empty()) {
    std::string domain = GetVariable(in, "SERVICEDOMAIN");
    if (domain.empty()) domain = ".";
    startName = domain + "\\" + account;
    startName.push_back('\0');
    password = GetVariable(in, "SERVICEPASSWORD");
    password.push_back('\0');
    type = kServiceTypeOwnProcess;  // only the system account may be interactive
  }
  ScHandle created(CreateServiceA(manager.get(), name, name, access.service, type, SERVICE_DEMAND_START,
                                  SERVICE_ERROR_NORMAL, binaryPath.c_str(), nullptr, nullptr, nullptr,
                                  account.empty() ? nullptr : startName.c_str(),
                                  account.empty() ? nullptr : password.c_str()));
  if (!created) Failed(in);
}

// ECHO: the reference and the rest in a Yes/No box shown on the user's
// desktop even from a service; 1 for Yes.
void EchoService(Interp& in, const std::string& reference, const std::string& rest) {
  std::string text = reference;
  if (!rest.empty()) text += in.Sep() + rest;
  constexpr UINT kStyle = MB_YESNO | MB_ICONEXCLAMATION | MB_TOPMOST | MB_SERVICE_NOTIFICATION;
  static_assert(kStyle == 0x240034);
  AnswerNumber(in, MessageBoxA(nullptr, text.c_str(), in.mach.exePath.c_str(), kStyle) == IDYES ? 1 : 0);
}

// STOP, PAUSE, CONTINUE: the control is sent; its answer is not examined
// (stopping a stopped service is no error).
void ControlNamed(Interp& in, const ServiceReference& ref, ServiceOp op, DWORD control) {
  AnswerNumber(in, 0);
  ScHandle manager, service;
  if (!OpenNamed(in, ref, AccessFor(op, false), manager, service)) return;
  SERVICE_STATUS st = {};
  ControlService(service.get(), control, &st);
}

}  // namespace

uint32_t QueryServiceState(Interp& in, std::string_view reference) {
  ScHandle manager, service;
  if (!OpenNamed(in, ParseServiceReference(reference), AccessFor(ServiceOp::Status, false), manager, service))
    return 0;
  SERVICE_STATUS st = {};
  QueryServiceStatus(service.get(), &st);
  return st.dwCurrentState;
}

// SERVICE operation,reference,rest (DEVICE the same); SERVICELIST and
// DEVICELIST list the services. The operation word and the rest are read
// in upper case; the reference as written.
void CmdService(Interp& in, Ctx& c) {
  const ServiceWord w = c.Word<ServiceWord>();
  if (w == ServiceWord::ServiceList || w == ServiceWord::DeviceList) return ListServices(in);
  const ServiceOp op = ServiceOpFromWord(Upper(Field(in, 1)));
  const std::string written = FieldUnquoted(in, 2);
  const ServiceReference ref = ParseServiceReference(written);
  const std::string rest = Upper(ArgsFromField(in, 3));
  switch (op) {
    case ServiceOp::Echo:
      return EchoService(in, written, rest);
    case ServiceOp::List:
      return ListServices(in);
    case ServiceOp::Status:
      return AnswerNumber(in, QueryServiceState(in, written));
    case ServiceOp::Config:
      return ConfigService(in, ref, rest);
    case ServiceOp::Start: {
      AnswerNumber(in, 0);
      ScHandle manager, service;
      if (OpenNamed(in, ref, AccessFor(op, false), manager, service) && !StartServiceA(service.get(), 0, nullptr))
        Failed(in);
      return;
    }
    case ServiceOp::Stop:
      return ControlNamed(in, ref, op, SERVICE_CONTROL_STOP);
    case ServiceOp::Pause:
      return ControlNamed(in, ref, op, SERVICE_CONTROL_PAUSE);
    case ServiceOp::Continue:
      return ControlNamed(in, ref, op, SERVICE_CONTROL_CONTINUE);
    case ServiceOp::Create:
      return CreateService(in, ref, rest);
    case ServiceOp::Delete: {
      AnswerNumber(in, 0);
      ScHandle manager, service;
      if (!OpenNamed(in, ref, AccessFor(op, false), manager, service)) return;
      SERVICE_STATUS st = {};
      ControlService(service.get(), SERVICE_CONTROL_STOP, &st);
      if (!DeleteService(service.get())) Failed(in);
      return;
    }
    case ServiceOp::Connect:
      // The computer is taken as written: no check that it can be reached.
      if (IsOnWord(written)) in.services.computer = Field(in, 3);
      else in.services.computer.clear();
      return;
    case ServiceOp::All:
      in.services.allStates = IsOnWord(written);
      return;
    case ServiceOp::CallSub:
      return RunAsService(in, written);
    case ServiceOp::Unknown:
      break;
  }
  in.err.code = kErrUsage;
  AnswerNumber(in, 0);
}

}  // namespace kes
