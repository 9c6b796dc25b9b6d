// System and file information: SYSTEM, DRIVEFREE, FREE, DRIVESIZE, VERSION,
// EXITWINDOWS and AUDIT.
#include <windows.h>

#include <cpuid.h>

#include <cstdio>
#include <cstring>

#include "interp/commands.h"
#include "interp/numformat.h"
#include "sysadmin/fileversion.h"
#include "sysadmin/registry.h"
#include "sysadmin/sysinfo_text.h"
#include "sysadmin/sysquery.h"

namespace kes {

namespace {

// ---- SYSTEM items

// Version and date of the BIOS, read as REGKEYGET reads registry values.
std::string BiosText(Interp& in, bool nt) {
  OpenOptions local;
  local.createFallback = false;
  local.useRemote = false;
  const auto get = [&](const char* key, const char* value) {
    return RegistryGetValue(in.registry, key, value, in.Sep(), local).text;
  };
  if (nt) {
    const char* key = "HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System";
    return get(key, "SYSTEMBIOSVERSION") + in.Sep() + get(key, "SYSTEMBIOSDATE");
  }
  const char* key = "HKEY_LOCAL_MACHINE\\Enum\\Root\\*PNP0C01\\0000";
  std::string name = get(key, "BIOSNAME");
  if (name.empty()) name = get(key, "BIOSVERSION");
  return name + in.Sep() + get(key, "BIOSDATE");
}

// The BIOS area of the first megabyte as text; the 9x line maps it into
// every process.
void BiosDump(Interp& in) {
  const std::string start = Field(in, 2);
  const int64_t address = start.empty() ? 0 : ValInt64("&H" + start);
  if (address < 0xF0000 || address > 0xFFFFF) {
    in.err.code = kErrUsage;
    return;
  }
  int64_t length = FieldInt(in, 3);
  if (length <= 0) length = 16384;
  // Never past the end of the first megabyte, whatever the length asked.
  if (length > 0x100000 - address) length = 0x100000 - address;
  const auto* p = reinterpret_cast<const unsigned char*>(static_cast<uintptr_t>(address));
  if (IsBadReadPtr(p, static_cast<UINT_PTR>(length))) {
    in.err.code = kErrNotAccessible;
    in.line.result.clear();
    return;
  }
  in.line.result = PrintableBytes(p, static_cast<size_t>(length));
}

// Name, number of processors and serial text, from the CPUID instruction.
std::string CpuText() {
  unsigned a, b, c, d;
  __cpuid(0, a, b, c, d);
  char vendor[13] = {};
  std::memcpy(vendor, &b, 4);
  std::memcpy(vendor + 4, &d, 4);
  std::memcpy(vendor + 8, &c, 4);
  unsigned signature;
  __cpuid(1, signature, b, c, d);
  __cpuid(2, a, b, c, d);
  const uint8_t descriptor = static_cast<uint8_t>(d & 0xFF);
  unsigned ecx3, edx3;
  __cpuid(3, a, b, ecx3, edx3);
  SYSTEM_INFO si{};
  GetSystemInfo(&si);
  std::string name = CpuName(vendor, signature, descriptor);
  if (name.empty()) name = std::to_string(si.dwProcessorType);
  return name + "," + std::to_string(si.dwNumberOfProcessors) + "," + CpuSerialText(signature, edx3, ecx3);
}

// The processor clock: time-stamp counts over 100 ms of the tick count, at
// real-time priority so that nothing comes between.
std::string FrequencyText() {
  using TickCount = DWORD(WINAPI*)();
  const auto tick = reinterpret_cast<TickCount>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount"));
  HANDLE self = GetCurrentProcess();
  const DWORD priority = GetPriorityClass(self);
  if (!tick || !SetPriorityClass(self, REALTIME_PRIORITY_CLASS)) return "0";
  DWORD t = tick();
  while (tick() == t) {
  }
  t = tick();
  const uint64_t first = __builtin_ia32_rdtsc();
  while (tick() - t < 100) {
  }
  const uint64_t last = __builtin_ia32_rdtsc();
  SetPriorityClass(self, priority);
  return IntText(ClockMhz(last - first));
}

// The memory items in kilobytes. GlobalMemoryStatus cannot count past 2 GB
// (4 GB with a large address space), so the extended call is preferred
// where the system has it.
bool MemoryText(const std::string& item, std::string& out) {
  uint64_t v[4];  // total and available physical memory, total and available address space
  MEMORYSTATUSEX x{};
  x.dwLength = sizeof x;
  using StatusEx = BOOL(WINAPI*)(MEMORYSTATUSEX*);
  const auto ex = reinterpret_cast<StatusEx>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GlobalMemoryStatusEx"));
  if (ex && ex(&x)) {
    v[0] = x.ullTotalPhys, v[1] = x.ullAvailPhys, v[2] = x.ullTotalVirtual, v[3] = x.ullAvailVirtual;
  } else {
    MEMORYSTATUS m{};
    m.dwLength = sizeof m;
    GlobalMemoryStatus(&m);
    v[0] = m.dwTotalPhys, v[1] = m.dwAvailPhys, v[2] = m.dwTotalVirtual, v[3] = m.dwAvailVirtual;
  }
  static const char* const kItems[] = {"TOTALPHYMEM", "AVAILPHYMEM", "TOTALVIRMEM", "AVAILVIRMEM"};
  for (int i = 0; i < 4; ++i) {
    if (item != kItems[i]) continue;
    out = KiloBytesText(v[i]);
    return true;
  }
  return false;
}

// VOL, TYP and PAR: the drive is in the item after its three letters, else
// in field 2; any other item is VOL with the drive of field 2.
void DriveItem(Interp& in, const std::string& item) {
  const std::string kind = item.substr(0, 3);
  const bool known = kind == "VOL" || kind == "TYP" || kind == "PAR";
  std::string drive = known ? item.substr(3) : std::string();
  if (drive.empty()) drive = FieldUnquoted(in, 2);
  const DWORD mask = GetLogicalDrives();
  if (kind != "TYP" && Upper(drive) == "LIST") {
    in.line.result = DriveListText(mask, in.Sep());
    return;
  }
  if (drive.empty() || drive.back() != ':') drive += ':';
  const std::string root = drive + "\\";
  const char letter = UpperChar(drive[0]);
  if (kind == "TYP") {
    if (letter < 'A' || letter > 'Z' || !(mask & (1u << (letter - 'A')))) {
      in.err.code = kErrNotReachable;
      return;
    }
    in.line.result = DriveTypeName(GetDriveTypeA(root.c_str()));
    return;
  }
  if (kind == "PAR") {
    // The current drive is asked without a root name, meaning the root of
    // the current folder.
    char cur[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cur);
    const bool current = letter == UpperChar(cur[0]);
    char label[MAX_PATH + 1] = {}, system[MAX_PATH + 1] = {};
    DWORD serial = 0;
    if (!GetVolumeInformationA(current ? nullptr : root.c_str(), label, sizeof label, &serial, nullptr, nullptr,
                               system, sizeof system)) {
      in.err.code = kErrNotReachable;
      return;
    }
    in.line.result = std::string(label) + in.Sep() + system + in.Sep() + VolumeSerialText(serial);
    return;
  }
  // VOL: a removable drive is not read (no floppy to wait for).
  if (GetDriveTypeA(root.c_str()) == DRIVE_REMOVABLE) {
    in.line.result.clear();
    return;
  }
  uint64_t bytes = 0;
  DiskSpace(drive, true, bytes);
  in.line.result = FormatNumber(static_cast<Num>(bytes), "#");
  if (bytes == 0) in.err.code = kErrNotReachable;
}

// Enables the shutdown privilege on the process's own token.
bool EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES tp{};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  const bool ok = LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &tp.Privileges[0].Luid) &&
                  AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr) && GetLastError() == ERROR_SUCCESS;
  CloseHandle(token);
  return ok;
}

}  // namespace

// SYSTEM item[,...]: information on the machine (see docs/sysinfo.md).
void CmdSystem(Interp& in, Ctx&) {
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  if (!GetVersionExA(&v)) {
    in.err.code = kErrUsage;
    return;
  }
  const bool nt = v.dwPlatformId == VER_PLATFORM_WIN32_NT;
  const std::string item = Upper(Field(in, 1));
  std::string& r = in.line.result;
  if (item == "BIOS") {
    r = BiosText(in, nt);
  } else if (item == "BIOSDUMP") {
    if (nt) r.clear();
    else BiosDump(in);
  } else if (item == "CPU") {
    r = CpuText();
  } else if (item == "FREQUENCY") {
    r = FrequencyText();
  } else if (item == "PLATEFORM") {
    r = in.mach.osName;
  } else if (item == "VER") {
    // the 9x line keeps major and minor version in the high word of the build
    const DWORD build = nt ? v.dwBuildNumber : LOWORD(v.dwBuildNumber);
    char b[48];
    std::snprintf(b, sizeof b, "%lu.%lu(%lu)", v.dwMajorVersion, v.dwMinorVersion, build);
    r = b;
  } else if (!MemoryText(item, r)) {
    DriveItem(in, item);
  }
}

// DRIVEFREE drive, FREE drive, DRIVESIZE drive: free space in megabytes or
// bytes, size in megabytes; 76 when the count is 0 (no such drive).
void CmdDriveSpace(Interp& in, Ctx& c) {
  const DriveSpaceWord w = c.Word<DriveSpaceWord>();
  uint64_t bytes = 0;
  DiskSpace(WholeArg(in), w == DriveSpaceWord::DriveSize, bytes);
  const uint64_t n = w == DriveSpaceWord::Free ? bytes : MegaBytes(bytes);
  in.line.result = FormatNumber(static_cast<Num>(n), "#");
  if (bytes == 0) in.err.code = kErrNotReachable;
}

// VERSION file[,item]: one item of the file's version information, or with
// no item every item into VERSION.<item> (VERSION.CompanyName, ...).
void CmdVersion(Interp& in, Ctx&) {
  const std::string item = Upper(Field(in, 2));
  std::string file = Field(in, 1);
  RemoveChar(file, '"');
  if (file.size() > 255) file.resize(255);
  std::vector<VersionValue> values;
  in.err.code = ReadFileVersion(file, item, in.Sep(), values);
  if (!item.empty()) {
    in.line.result = values.empty() ? std::string() : values.front().value;
    return;
  }
  // Nothing of an earlier file may stay behind: what this file lacks is empty.
  for (const char* name : kVersionStringItems) SetVariable(in, std::string("VERSION.") + name, "");
  for (const char* name : {"LANGUAGE", "FILE", "PRODUCT", "FLAGS", "TYPE", "SIZE", "CREATION", "ACCESS", "WRITE"})
    SetVariable(in, std::string("VERSION.") + name, "");
  for (const VersionValue& value : values) SetVariable(in, "VERSION." + value.name, value.value);
  in.line.result.clear();
}

// EXITWINDOWS [OFF|BOOT]: logs off (any other word), powers off or
// restarts, forcing the programs to close, then ends the interpreter.
// Test switch KES_TEST_EXITWINDOWS=file: the flags ExitWindowsEx would get
// (and, on the NT line, whether the shutdown privilege was enabled) are
// written to the file in place of the call.
void CmdExitWindows(Interp& in, Ctx&) {
  const bool privilege = in.mach.isNT && EnableShutdownPrivilege();
  const unsigned flags = ExitWindowsFlags(Upper(RTrim(in.line.args)), in.mach.isNT);
  char test[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableA("KES_TEST_EXITWINDOWS", test, sizeof test);
  if (n > 0 && n < sizeof test) {
    const std::string text = std::to_string(flags) + (privilege ? " SeShutdownPrivilege" : "") + "\r\n";
    HANDLE h = CreateFileA(test, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD w = 0;
    if (h != INVALID_HANDLE_VALUE) WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &w, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  } else {
    ExitWindowsEx(flags, 0);
  }
  Sleep(1000);
  ExitProcess(0);
}

// AUDIT ON,level | OFF | CLEAR | STATUS: the audit values under
// HKEY_LOCAL_MACHINE\Software\Kestrova\Audit. ON and OFF set the value
// Audit (the level, or 0), CLEAR deletes every value, STATUS lists the
// values other than Audit into AUDIT1, AUDIT2, ...
void CmdAudit(Interp& in, Ctx&) {
  const std::string word = Upper(Field(in, 1));
  const bool on = word == "ON", off = word == "OFF", clear = word == "CLEAR", status = word == "STATUS";
  if (!on && !off && !clear && !status) return;
  static constexpr const char* kKey = "HKEY_LOCAL_MACHINE\\Software\\Kestrova\\Audit";
  OpenOptions opt;
  opt.createFallback = on;
  opt.useRemote = false;  // the audit of this machine
  const uint32_t access = on || off ? 0x20006 : clear ? 0x2001F : 0x20019;  // write; read and write; read
  RegKey key;
  in.err.code = OpenKey(in.registry, SplitKeyPath(kKey), false, access, key, opt);
  if (in.err.code) return;
  if (on || off) {
    const std::string level = on ? GeneralFormat(FieldNumber(in, 2)) : "0";
    in.err.code = RegSetValueExA(key.get(), "Audit", 0, REG_SZ, reinterpret_cast<const BYTE*>(level.c_str()),
                                 static_cast<DWORD>(level.size() + 1));
    return;
  }
  std::vector<char> name(kValueNameBuffer);
  if (clear) {
    // Always the first value, until none is left; a value that cannot be
    // deleted ends the loop rather than being met again and again.
    for (;;) {
      DWORD n = 128;
      if (RegEnumValueA(key.get(), 0, name.data(), &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      in.err.code = RegDeleteValueA(key.get(), name.data());
      if (in.err.code) break;
    }
    return;
  }
  int count = 0;
  for (DWORD i = 0;; ++i) {
    DWORD n = kValueNameBuffer;
    const LONG rc = RegEnumValueA(key.get(), i, name.data(), &n, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) break;
    const std::string valueName(name.data(), n);
    if (Upper(valueName) == "AUDIT") continue;
    std::string data = RegistryGetValue(in.registry, kKey, valueName, in.Sep(), opt).text;
    if (data.size() > 383) data.resize(383);
    SetVariable(in, "AUDIT" + std::to_string(++count), valueName + in.Sep() + data);
  }
}

}  // namespace kes
