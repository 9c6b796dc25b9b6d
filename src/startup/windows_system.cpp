// The interpreter core's view of Windows (interp/system.h): each call goes to
// the module that owns it.
#include <windows.h>

#include "boxes/boxes.h"
#include "interp/interp.h"
#include "interp/shared.h"
#include "net/http.h"
#include "script/loader.h"
#include "startup/startup.h"
#include "sysadmin/accounts.h"
#include "sysadmin/fileops.h"
#include "sysadmin/registry.h"
#include "sysadmin/sysquery.h"
#include "trace/trace.h"

namespace kes {

namespace {

class WindowsSystem final : public System {
 public:
  bool Exists(Interp& in, const std::string& p) override {
    return StartsWithNoCase(p, "http://") ? HttpExists(in, p) : PathExists(p);
  }
  std::string ResolveHost(const std::string& name) override { return kes::ResolveHost(name); }
  bool IsGroupMember(Interp& in, const std::string& group) override {
    return kes::IsGroupMember(in.mach.isNT, group, in.mach.computerName);
  }
  bool PrinterKnown(const std::string& name) override { return kes::PrinterKnown(name); }
  bool ServerReachable(const std::string& name) override { return kes::ServerReachable(name); }
  bool ShareReachable(const std::string& name) override { return kes::ShareReachable(name); }

  bool FileSize(const std::string& path, uint64_t& bytes) override { return FileSize64(path, bytes); }
  bool FileWriteTime(const std::string& path, std::string& text) override {
    return GetFileTimeText(path, FileTimeKind::Write, text);
  }
  bool FreeBytes(const std::string& drive, uint64_t& bytes) override { return kes::FreeBytes(drive, bytes); }
  bool ReadFile(const std::string& path, std::string& bytes) override { return ReadWholeFile(path, bytes); }
  bool FirstMatchingFile(const std::string& pattern, std::string& path) override {
    return ResolveWildcardFile(pattern, path);
  }
  bool FolderExists(const std::string& path) override {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
  }

  ClockReading Now() override {
    SYSTEMTIME t, u;
    GetLocalTime(&t);
    GetSystemTime(&u);
    ClockReading c;
    c.year = t.wYear;
    c.month = t.wMonth;
    c.day = t.wDay;
    c.hour = t.wHour;
    c.minute = t.wMinute;
    c.second = t.wSecond;
    c.millisecond = t.wMilliseconds;
    c.weekdayUtc = u.wDayOfWeek;
    return c;
  }
  ScreenArea Screen() override {
    ScreenArea a;
    a.width = GetSystemMetrics(SM_CXSCREEN);
    a.height = GetSystemMetrics(SM_CYSCREEN);
    RECT r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    a.left = r.left;
    a.top = r.top;
    a.right = r.right;
    a.bottom = r.bottom;
    return a;
  }
  uint32_t ThreadId() override { return GetCurrentThreadId(); }
  bool IsAdministrator() override { return RegistryCanOpenSecurity(); }
  std::string SharedGet(std::string_view name) override { return SharedVariable(name, "", ""); }
  const std::vector<std::string>* AtRunList() override { return kes::AtRunList(); }

  bool ChoiceValue(Interp& in, std::string& out) override { return kes::ChoiceValue(in, out); }
  void SelectChoice(Interp& in, std::string_view value) override { kes::SelectChoice(in, value); }
  void Trace(Interp& in, std::string_view kind, std::string_view text) override {
    // A protected value decoded into a line shows as @NAME@.
    if (in.log.revealed.Empty()) return TraceEvent(in, kind, text);
    TraceEvent(in, kind, in.log.revealed.Hide(text));
  }
};

}  // namespace

System& TheWindowsSystem() {
  static WindowsSystem s;
  return s;
}

}  // namespace kes
