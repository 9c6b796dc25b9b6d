#include "sysadmin/tasks.h"

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>

#include "interp/dispatcher.h"
#include "sysadmin/perfdata.h"

namespace kes {

namespace {

using SnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using WalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);

bool ForcedPerfData() {
  char b[16] = {};
  const DWORD n = GetEnvironmentVariableA("KES_TEST_TASKLIST", b, sizeof b);
  return n > 0 && n < sizeof b && EqualsNoCase(b, "perfdata");
}

// An entry of the list: the file name after its last backslash, lower case.
void AddProcess(ProgramState& p, std::string_view name, uint32_t id) {
  const size_t bs = name.rfind('\\');
  if (bs != std::string_view::npos) name.remove_prefix(bs + 1);
  p.taskNames.push_back(Lower(name));
  p.taskIds.push_back(id);
}

std::string Narrow(const std::u16string& s) {
  const std::wstring w(s.begin(), s.end());
  char name[MAX_PATH + 8] = {};
  WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), name, MAX_PATH, nullptr, nullptr);
  return name;
}

// The records the snapshot is made of, read in one call (the snapshot's own
// walk maps the snapshot again for each entry, which is slow where there
// are hundreds of processes). False when the system does not offer them.
bool EnumerateSystemRecords(ProgramState& p) {
  using QueryFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<QueryFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return false;
  constexpr ULONG kProcessInformation = 5;
  constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
  std::string buf(p.processInfoBytes, '\0');
  for (;;) {
    ULONG need = 0;
    const LONG st = query(kProcessInformation, &buf[0], static_cast<ULONG>(buf.size()), &need);
    if (st == 0) break;
    if (st != kLengthMismatch || buf.size() >= (64u << 20)) return false;
    buf.assign(std::max<size_t>(buf.size() * 2, need + need / 4), '\0');
    p.processInfoBytes = buf.size();
  }
  for (const PerfProcess& e : ParseSystemProcesses(buf, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(buf.data()))))
    AddProcess(p, Narrow(e.name), e.id);
  return true;
}

// The tool-help snapshot; false when the system has none.
bool EnumerateSnapshot(ProgramState& p) {
  HMODULE k = GetModuleHandleA("kernel32.dll");
  auto snap = reinterpret_cast<SnapshotFn>(reinterpret_cast<void*>(GetProcAddress(k, "CreateToolhelp32Snapshot")));
  auto first = reinterpret_cast<WalkFn>(reinterpret_cast<void*>(GetProcAddress(k, "Process32First")));
  auto next = reinterpret_cast<WalkFn>(reinterpret_cast<void*>(GetProcAddress(k, "Process32Next")));
  if (!snap || !first || !next) return false;
  if (EnumerateSystemRecords(p)) return true;
  HANDLE h = snap(TH32CS_SNAPPROCESS, 0);
  if (h == INVALID_HANDLE_VALUE) return true;
  PROCESSENTRY32 e{};
  e.dwSize = sizeof e;
  for (BOOL ok = first(h, &e); ok; ok = next(h, &e)) {
    e.szExeFile[sizeof e.szExeFile - 1] = '\0';
    AddProcess(p, e.szExeFile, e.th32ProcessID);
    e.dwSize = sizeof e;
  }
  CloseHandle(h);
  return true;
}

// The "Counter" value of the English performance names.
std::string CounterNames() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\009", 0, KEY_READ,
                    &key) != ERROR_SUCCESS)
    return std::string();
  std::string v(6144, '\0');
  DWORD size = static_cast<DWORD>(v.size());
  LONG r = RegQueryValueExA(key, "Counter", nullptr, nullptr, reinterpret_cast<BYTE*>(&v[0]), &size);
  if (r == ERROR_MORE_DATA) {
    v.assign(size, '\0');
    r = RegQueryValueExA(key, "Counter", nullptr, nullptr, reinterpret_cast<BYTE*>(&v[0]), &size);
  }
  RegCloseKey(key);
  if (r != ERROR_SUCCESS) return std::string();
  v.resize(size < v.size() ? size : v.size());
  return v;
}

// The performance-data way of NT 4.
void EnumeratePerfData(ProgramState& p) {
  const std::string names = CounterNames();
  const long process = CounterIndex(names, "Process");
  const long idProcess = CounterIndex(names, "ID Process");
  if (process < 0 || idProcess < 0) return;
  const std::string query = std::to_string(process);
  std::string data(64000, '\0');
  LONG r;
  for (;;) {
    DWORD size = static_cast<DWORD>(data.size());
    r = RegQueryValueExA(HKEY_PERFORMANCE_DATA, query.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]),
                         &size);
    if (r == ERROR_SUCCESS) {
      data.resize(size < data.size() ? size : data.size());
      break;
    }
    // Only a buffer too small is worth another try; the block stays bounded.
    if (r != ERROR_MORE_DATA || data.size() > (64u << 20)) break;
    data.resize(data.size() + 4000);
    Sleep(50);
  }
  RegCloseKey(HKEY_PERFORMANCE_DATA);
  Sleep(50);
  PumpMessages();
  if (r != ERROR_SUCCESS) return;
  for (const PerfProcess& e :
       ParseProcessPerfData(data, static_cast<uint32_t>(process), static_cast<uint32_t>(idProcess))) {
    p.taskNames.push_back(Narrow(e.name) + ".exe");
    p.taskIds.push_back(e.id);
  }
  Sleep(50);
}

}  // namespace

void EnumerateProcesses(Interp& in) {
  ProgramState& p = in.programs;
  p.taskNames.clear();
  p.taskIds.clear();
  if (ForcedPerfData() || !EnumerateSnapshot(p)) EnumeratePerfData(p);
}

uint32_t FindProcessByName(Interp& in, std::string_view name) {
  EnumerateProcesses(in);
  const ProgramState& p = in.programs;
  for (size_t i = p.taskNames.size(); i-- > 0;)
    if (p.taskIds[i] != in.mach.pid && EqualsNoCase(p.taskNames[i], name)) return p.taskIds[i];
  return 0;
}

uint32_t TerminateProcessById(uint32_t pid) {
  HANDLE h = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
  if (!h) return GetLastError() ? GetLastError() : 87;
  const DWORD e = TerminateProcess(h, 0) ? 0 : GetLastError();
  CloseHandle(h);
  return e;
}

void WaitProcessEnd(Interp& in, uint32_t pid) {
  HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!h && GetLastError() != ERROR_ACCESS_DENIED) return;  // no such process
  for (;;) {
    if (h) {
      if (MsgWaitForMultipleObjects(1, &h, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0) break;
    } else {
      // a process of another account: watch the list for its ID
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      EnumerateProcesses(in);
      bool present = false;
      for (const uint32_t id : in.programs.taskIds) present = present || id == pid;
      if (!present) break;
    }
    PumpMessages();
    if (WaitEnds(in)) break;
  }
  if (h) CloseHandle(h);
}

}  // namespace kes
