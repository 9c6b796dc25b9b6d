// Every value a script can name: ordinary variables, user lists ($NAME),
// system lists (ANSWER, DIR, ...), the arguments and locals of each call
// level, and %NAME% substitution over all of them. Pure: what needs the
// system (built-in values, shared variables, computed lists) comes through
// the SubstHost interface.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "interp/text.h"

namespace kes {

// Byte that marks a name assigned by SETLOCAL.
inline constexpr char kLocalMarker = '\0';
inline constexpr int kMaxUserLists = 48;
inline constexpr int kArgSlots = 64;
inline constexpr int kLocalSlots = 32;
inline constexpr int kCallLevels = 17;  // call depths 0 to 15, plus one spare
// Writing a list element by number grows the list; beyond this the write is
// refused, so a stray index cannot exhaust memory.
inline constexpr size_t kMaxListIndex = 2'000'000;
// Substitution stops expanding once a line reaches this length, or once it
// has replaced this many references in one line.
inline constexpr size_t kSubstLimit = 6144;
inline constexpr int kSubstPasses = 10000;

enum class SysList : int {
  ATRUN, ANSWER, ARG, ASKCHECK, ASKMULTI, CUT, DATA, DIR, FTPDIR, FTPLIST, NETINFO, NETLIST,
  OBJECTLIST, OBJECTXLIST, REGKEYLIST, REGVALUELIST, REGKEYXLIST, SERVICELIST, STDERR, STDOUT,
  XDIR, SCENARIO, TASKLIST, TASKRUN, WINDOWLIST, WINDOWXLIST, Count
};
// The system list of that (upper-case) name, in resolution order, or -1.
int SysListId(std::string_view upperName);
const char* SysListName(SysList id);

// What substitution needs from the running interpreter.
class SubstHost {
 public:
  virtual ~SubstHost() = default;
  // A built-in value by upper-case name. NotBuiltin lets resolution go on;
  // Value goes on only when the value is empty; Final ends it in every case.
  enum class Found { NotBuiltin, Value, Final };
  virtual Found Builtin(std::string_view name, std::string& out) = 0;
  // A shared variable (name begins with "!"); empty when unknown.
  virtual std::string SharedGet(std::string_view name) = 0;
  // Elements of a list computed on each read (ATRUN).
  virtual const std::vector<std::string>* ComputedList(SysList id) { return nullptr; }
  // Sets the error code (a bad list name or index).
  virtual void SetError(int32_t code) = 0;
  // A protected value was decoded into the line: name upper case, clear text.
  virtual void Revealed(std::string_view name, std::string_view clear) {}
};

// The clear texts of the protected values decoded so far, so that no log
// entry or trace record ever shows them: Hide writes each as "@NAME@", as
// LOG does. At most kMaxKept are kept (the shortest go first).
class RevealedSecrets {
 public:
  static constexpr size_t kMaxKept = 64;
  void Add(std::string_view name, std::string_view clear);
  std::string Hide(std::string_view text) const;
  bool Empty() const { return items_.empty(); }

 private:
  struct Item {
    std::string clear, shown;
  };
  std::vector<Item> items_;  // longest clear text first
};

struct Variable {
  std::string name;
  std::string value;
};

class VarStore {
 public:
  VarStore();

  // LASTSET: the name the last SET or SETLOCAL assigned, as SetVariable
  // normalised it.
  std::string lastSet;

  // ---- ordinary variables (names upper case, insertion order kept) ----
  const std::string* Find(std::string_view upperName) const;
  // Assigns the existing entry or appends a new one.
  void Store(std::string_view upperName, std::string_view value);
  bool Remove(std::string_view upperName);
  // The first variable, in table order, named base + digits whose numeric
  // value equals the digits given (so X01 and X1 find each other).
  const std::string* FindNumbered(std::string_view upperBase, std::string_view digits) const;
  // Calls f(name, value) for every variable in table order.
  template <class F>
  void ForEach(F&& f) const {
    for (const auto& e : entries_)
      if (e.live) f(e.v.name, e.v.value);
  }
  size_t Count() const { return live_; }

  // ---- user lists ----
  // The slot of a list name ("$NAME", upper case, no element number); a new
  // name is entered; -1 when the 48 names are used up.
  int UserListSlot(std::string_view upperName);
  std::vector<std::string>& UserList(int slot) { return userLists_[static_cast<size_t>(slot)]; }
  // The user list names ("$NAME") in slot order.
  const std::vector<std::string>& UserListNames() const { return userNames_; }
  // Splits "$NAME12" into "$NAME" and 12 (-1 when no digits end the name).
  // The name keeps its letter case: assignments and the list commands pass
  // upper-case names, a %$name% reference passes the name as written.
  static void SplitListName(std::string_view name, std::string& listName, long long& number);

  // ---- system lists ----
  std::vector<std::string>& Sys(SysList id) { return sys_[static_cast<size_t>(id)]; }
  const std::vector<std::string>& Sys(SysList id) const { return sys_[static_cast<size_t>(id)]; }

  // ---- call-level stores ----
  std::array<std::string, kArgSlots>& Args(int level) { return args_[Clamp(level)]; }
  struct Local {
    std::string name;
    std::string value;
  };
  std::array<Local, kLocalSlots>& Locals(int level) { return locals_[Clamp(level)]; }
  const std::string* FindLocal(int level, std::string_view upperName) const;
  // Assigns a local of that level; false when all slots are in use.
  bool SetLocal(int level, std::string_view upperName, std::string_view value);
  void ClearLocals(int level);

 private:
  static size_t Clamp(int level) {
    return static_cast<size_t>(level < 0 ? 0 : (level >= kCallLevels ? kCallLevels - 1 : level));
  }
  struct Entry {
    Variable v;
    bool live = true;
  };
  static bool NumberedKey(std::string_view name, std::string& key);
  void Compact();
  void IndexEntry(uint32_t idx);

  std::vector<Entry> entries_;
  size_t live_ = 0;
  std::unordered_map<std::string, uint32_t> byName_;
  // base + '\1' + digits without leading zeros -> entry indexes in table order
  std::unordered_map<std::string, std::vector<uint32_t>> byNumber_;

  std::vector<std::string> userNames_;
  std::unordered_map<std::string, int> userSlots_;
  std::vector<std::vector<std::string>> userLists_;

  std::array<std::vector<std::string>, static_cast<size_t>(SysList::Count)> sys_;
  std::array<std::array<std::string, kArgSlots>, kCallLevels> args_;
  std::array<std::array<Local, kLocalSlots>, kCallLevels> locals_;
};

// ---- list operations on user lists ----
enum class ListOp : int {
  SetElement = 1, GetElement = 2, Search = 3, GetOrAbsent = 4, Clear = 5, Delete = 6,
  Clean = 7, Count = 8, Compact = 9
};

struct SearchState {
  long long position = 0;  // element or line number after which SEARCHNEXT goes on
  bool started = false;
};

struct ListOpArgs {
  std::string_view value;
  long long index = -1;  // zero-based for Set/Get, element number for the others
  bool anchorStart = false;
  bool anchorEnd = false;
  bool caseInsensitive = true;
  SearchState* search = nullptr;
};

// Runs one operation on the user list named by listName (trailing digits are
// the element number and are ignored here). Sets error 1 through the host
// for a 49th list name or a bad index.
std::string ListOperation(VarStore& vars, SubstHost& host, ListOp op, std::string_view listName,
                          const ListOpArgs& a);

// ---- substitution ----
struct SubstOptions {
  std::string_view delim = "%";
  int callLevel = -1;
  bool protectedDisplay = false;  // LOG shows @NAME@ instead of the decoded value
};

// Replaces the %NAME% references of line in place.
void Substitute(std::string& line, VarStore& vars, SubstHost& host, const SubstOptions& opt);
// The value a single reference name resolves to (the name as written between
// the delimiters).
std::string ResolveName(std::string_view name, VarStore& vars, SubstHost& host, const SubstOptions& opt);

// The reversible encoding of "@" protected values.
std::string EncodeProtected(std::string_view plain);
std::string DecodeProtected(std::string_view coded);

}  // namespace kes
