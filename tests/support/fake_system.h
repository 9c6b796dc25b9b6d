// A machine made of small tables, for the native tests and fuzz targets of
// the interpreter core (conditions, line preparation, assignments): what the
// Windows build asks of the system is answered here from what the test set.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "interp/interp.h"

namespace kes {

class FakeSystem : public System {
 public:
  std::set<std::string> paths;      // EXIST answers true for these (and for folders)
  std::set<std::string> addresses;  // "http://" addresses that answer
  std::map<std::string, std::string> hosts;
  std::set<std::string> groups, printers, servers, shares;
  std::map<std::string, uint64_t> sizes, free;
  std::map<std::string, std::string> times, files;
  std::map<std::string, std::string> wildcards;  // pattern -> first matching file
  std::set<std::string> folders;
  ClockReading clock{2026, 12, 8, 13, 45, 30, 250, 2};
  ScreenArea screen{1024, 768, 0, 0, 1024, 738};
  std::map<std::string, std::string> shared;
  std::vector<std::string> atrun{"job one"};
  std::vector<std::string> traced;  // "kind text" of every trace event

  bool Exists(Interp&, const std::string& p) override {
    return paths.count(p) || folders.count(p) || addresses.count(p);
  }
  std::string ResolveHost(const std::string& name) override {
    const auto it = hosts.find(name);
    return it == hosts.end() ? std::string() : it->second;
  }
  bool IsGroupMember(Interp&, const std::string& g) override { return groups.count(Upper(g)) > 0; }
  bool PrinterKnown(const std::string& n) override { return printers.count(n) > 0; }
  bool ServerReachable(const std::string& n) override { return servers.count(n) > 0; }
  bool ShareReachable(const std::string& n) override { return shares.count(n) > 0; }
  bool FileSize(const std::string& p, uint64_t& b) override { return Get(sizes, p, b); }
  bool FileWriteTime(const std::string& p, std::string& t) override { return Get(times, p, t); }
  bool FreeBytes(const std::string& d, uint64_t& b) override { return Get(free, d, b); }
  bool ReadFile(const std::string& p, std::string& bytes) override { return Get(files, p, bytes); }
  bool FirstMatchingFile(const std::string& pattern, std::string& p) override { return Get(wildcards, pattern, p); }
  bool FolderExists(const std::string& p) override { return folders.count(p) > 0; }
  ClockReading Now() override { return clock; }
  ScreenArea Screen() override { return screen; }
  uint32_t ThreadId() override { return 7; }
  bool IsAdministrator() override { return false; }
  std::string SharedGet(std::string_view name) override {
    const auto it = shared.find(std::string(name));
    return it == shared.end() ? std::string() : it->second;
  }
  const std::vector<std::string>* AtRunList() override { return &atrun; }
  bool ChoiceValue(Interp&, std::string&) override { return false; }
  void SelectChoice(Interp&, std::string_view) override {}
  void Trace(Interp&, std::string_view kind, std::string_view text) override {
    if (traced.size() < 1000) traced.push_back(std::string(kind) + " " + std::string(text));
  }

 private:
  template <class M, class V>
  static bool Get(const M& m, const std::string& key, V& out) {
    const auto it = m.find(key);
    if (it == m.end()) return false;
    out = it->second;
    return true;
  }
};

}  // namespace kes
