// The network management library, loaded by name for one command and
// freed at its end: "NetApi32.dll" on the NT line, "Radmin32.dll" on
// Windows 95/98. Functions are looked up by name, so a system without one
// of them still runs every other command.
#pragma once

#include <windows.h>

#include <string>

namespace kes {

// A library loaded for the life of the object.
class Library {
 public:
  explicit Library(const char* name) : h_(LoadLibraryA(name)) {}
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  ~Library() {
    if (h_) FreeLibrary(h_);
  }
  explicit operator bool() const { return h_ != nullptr; }
  // A function of the library as type F; null when it has none of that name.
  template <class F>
  F Get(const char* function) const {
    return h_ ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(h_, function))) : nullptr;
  }

 private:
  HMODULE h_;
};

// The network management library of this system's line.
class NetApi : public Library {
 public:
  explicit NetApi(bool nt) : Library(nt ? "NetApi32.dll" : "Radmin32.dll") {}
  // NetApiBufferFree on a buffer the library answered with (null is fine).
  void Free(void* buffer) const;
};

// The test switch KES_TEST_NET holds words separated by ","; true when it
// holds this one. "time": NET TIME takes a made-up time of day in place of
// the server's and gives the clock it would set as its answer instead of
// setting it; "groupusers": USERLIST names the server and group it would
// ask with NetGroupGetUsers instead of asking (Wine does not have it).
bool NetTestSwitch(const char* word);

// UTF-16 text from ANSI, and ANSI from UTF-16 (null gives "").
std::wstring WideFromAnsi(const std::string& s);
std::string AnsiFromWide(const wchar_t* w);

}  // namespace kes
