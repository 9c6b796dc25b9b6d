// Registry access shared by the registry commands, the scheduled-run entries,
// start-up and the built-in values: key arguments, the key opener with
// its create fallback, the remote registry computer and the transfer buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "interp/interp.h"

struct HKEY__;  // the Win32 key handle type, without pulling in <windows.h>

namespace kes {

using RegHandle = HKEY__*;

// The one buffer through which registry string data to be written (and
// captured program output) passes. Data that does not fit is refused, never
// cut or overrun. Values are read whole, whatever their size.
inline constexpr size_t kTransferBufferSize = 256000;
char* TransferBuffer();

// Buffer for a value name: the longest the platform allows (16,383) and NUL.
inline constexpr unsigned long kValueNameBuffer = 16384;

// String data larger than the transfer buffer is refused with this code
// (the platform's "data area too small"). The remote root HKCR or HKCU is
// refused with kErrNotAccessible, a REGCONNECT name that does not resolve
// with kErrNotReachable.
inline constexpr int32_t kRegTooLong = 122;

// A key path cut into its root name (trimmed, upper case) and subkey path.
struct KeyPath {
  std::string root;
  std::string subkey;
};
KeyPath SplitKeyPath(std::string_view path);
// The predefined handle of a root name; null for any other name.
RegHandle RootHandle(std::string_view upperRoot);

// An open key. Closes the key, then the remote root it was opened under.
class RegKey {
 public:
  RegKey() = default;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  ~RegKey() { Close(); }
  RegHandle get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }
  void Close();
  // Takes ownership of an opened key and of the remote root it lies under.
  void Reset(RegHandle key, RegHandle remoteRoot);

 private:
  RegHandle key_ = nullptr;
  RegHandle remoteRoot_ = nullptr;
};

struct OpenOptions {
  bool createFallback = true;  // create the key when it cannot be opened
  bool useRemote = true;       // honour the remote registry computer
};

// The key opener: RegOpenKeyExA with `access` unless `create`; then, when
// `create` is set or the open failed (and the fallback is allowed),
// RegCreateKeyExA with KEY_WRITE, under the open-security descriptor when
// that switch of `state` is on. The key lies on state's remote computer
// unless the options say otherwise. Answers the code of the last call made
// (0: opened).
int32_t OpenKey(const RegistryState& state, const KeyPath& path, bool create, uint32_t access, RegKey& out,
                const OpenOptions& opt = {});

// A value read as text, the way REGKEYGET answers it.
struct RegValueText {
  int32_t code = 0;      // 0, the platform's code, or 1 for a missing or unsupported value
  std::string text;      // empty on failure
  std::string typeName;  // "REG_SZ", ...; empty on failure
};
// Reads keyPath (root\subkey) / valueName ("DEFAULT" is the default value)
// with KEY_READ through the key opener; sep joins multi-strings.
RegValueText RegistryGetValue(const RegistryState& state, std::string_view keyPath, std::string_view valueName,
                              std::string_view sep, const OpenOptions& opt = {});

// Writes string data (REG_SZ, REG_EXPAND_SZ: one NUL after it; REG_MULTI_SZ:
// two) through the transfer buffer, with the NULs counted in the size as the
// platform documents. Data that does not fit is refused with kRegTooLong.
int32_t WriteStringValue(RegHandle key, const std::string& name, unsigned long type, std::string_view data,
                         size_t extraNuls);
// Writes a REG_SZ value the way REGKEYSET does: the key opened (or created)
// by the key opener, the data through the transfer buffer.
int32_t RegistryWriteString(const RegistryState& state, std::string_view keyPath, const std::string& valueName,
                            std::string_view data, const OpenOptions& opt = {});

// Reads a string value ("ROOT\key\path", value name); empty when missing.
std::string RegistryReadString(Interp& in, std::string_view key, std::string_view value);
// True when HKEY_LOCAL_MACHINE\SECURITY opens with read-control access.
bool RegistryCanOpenSecurity();

// ---- scheduled runs (ATRUN, ATDELETE)
// Every entry lives in this key of the local machine, as a REG_SZ value
// named kAtRunPrefix followed by a number, whose data is the command line.
inline constexpr const char* kAtRunKey = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr const char* kAtRunPrefix = "KestrovaAtRun";
struct AtRunEntry {
  long number;
  std::string valueName;
  std::string command;
};
// The entries present now, by number; code receives the error of the read.
std::vector<AtRunEntry> AtRunEntries(int32_t* code = nullptr);
// The commands of the entries, for the computed ATRUN list.
const std::vector<std::string>* AtRunList();

}  // namespace kes
