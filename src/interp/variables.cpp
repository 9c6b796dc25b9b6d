#include "interp/variables.h"

#include <unordered_set>

#include "interp/errors.h"
#include "interp/wildcard.h"
#include "packaging/scramble.h"

namespace kes {

namespace {

constexpr const char* kSysNames[] = {
    "ATRUN",       "ANSWER",      "ARG",          "ASKCHECK",    "ASKMULTI",    "CUT",
    "DATA",        "DIR",         "FTPDIR",       "FTPLIST",     "NETINFO",     "NETLIST",
    "OBJECTLIST",  "OBJECTXLIST", "REGKEYLIST",   "REGVALUELIST", "REGKEYXLIST", "SERVICELIST",
    "STDERR",      "STDOUT",      "XDIR",         "SCENARIO",    "TASKLIST",    "TASKRUN",
    "WINDOWLIST",  "WINDOWXLIST"};
static_assert(sizeof(kSysNames) / sizeof(kSysNames[0]) == static_cast<size_t>(SysList::Count));

const std::unordered_map<std::string_view, int>& SysIndex() {
  static const std::unordered_map<std::string_view, int> m = [] {
    std::unordered_map<std::string_view, int> r;
    for (int i = 0; i < static_cast<int>(SysList::Count); ++i) r.emplace(kSysNames[i], i);
    return r;
  }();
  return m;
}

// Digits without leading zeros; empty when the value is 0.
std::string_view CanonicalDigits(std::string_view d) {
  size_t i = 0;
  while (i < d.size() && d[i] == '0') ++i;
  return d.substr(i);
}

// Splits a name into its base and the run of digits that ends it.
void SplitNumbered(std::string_view name, std::string_view& base, std::string_view& digits) {
  size_t e = name.size();
  while (e > 0 && name[e - 1] >= '0' && name[e - 1] <= '9') --e;
  base = name.substr(0, e);
  digits = name.substr(e);
}

// Decimal digits of a run, saturated to a large value.
long long DigitsValue(std::string_view d) {
  long long v = 0;
  for (char c : d) {
    if (v > 100'000'000'000LL) return v;
    v = v * 10 + (c - '0');
  }
  return v;
}

}  // namespace

int SysListId(std::string_view upperName) {
  const auto& m = SysIndex();
  auto it = m.find(upperName);
  return it == m.end() ? -1 : it->second;
}

const char* SysListName(SysList id) { return kSysNames[static_cast<int>(id)]; }

// ---------------------------------------------------------------------------
// VarStore

VarStore::VarStore() { byName_.reserve(256); }

bool VarStore::NumberedKey(std::string_view name, std::string& key) {
  std::string_view base, digits;
  SplitNumbered(name, base, digits);
  const std::string_view canon = CanonicalDigits(digits);
  if (canon.empty()) return false;
  key.assign(base);
  key += '\1';
  key.append(canon);
  return true;
}

void VarStore::IndexEntry(uint32_t idx) {
  const std::string& name = entries_[idx].v.name;
  byName_[name] = idx;
  std::string key;
  if (NumberedKey(name, key)) byNumber_[key].push_back(idx);
}

const std::string* VarStore::Find(std::string_view upperName) const {
  auto it = byName_.find(std::string(upperName));
  return it == byName_.end() ? nullptr : &entries_[it->second].v.value;
}

void VarStore::Store(std::string_view upperName, std::string_view value) {
  std::string key(upperName);
  auto it = byName_.find(key);
  if (it != byName_.end()) {
    entries_[it->second].v.value.assign(value);
    return;
  }
  entries_.push_back(Entry{Variable{std::move(key), std::string(value)}, true});
  ++live_;
  IndexEntry(static_cast<uint32_t>(entries_.size() - 1));
}

bool VarStore::Remove(std::string_view upperName) {
  auto it = byName_.find(std::string(upperName));
  if (it == byName_.end()) return false;
  const uint32_t idx = it->second;
  byName_.erase(it);
  std::string key;
  if (NumberedKey(entries_[idx].v.name, key)) {
    auto nit = byNumber_.find(key);
    if (nit != byNumber_.end()) {
      auto& v = nit->second;
      for (size_t i = 0; i < v.size(); ++i)
        if (v[i] == idx) {
          v.erase(v.begin() + static_cast<long>(i));
          break;
        }
      if (v.empty()) byNumber_.erase(nit);
    }
  }
  entries_[idx].live = false;
  entries_[idx].v.value.clear();
  entries_[idx].v.value.shrink_to_fit();
  --live_;
  if (entries_.size() > 1024 && entries_.size() > 2 * live_) Compact();
  return true;
}

void VarStore::Compact() {
  std::vector<Entry> kept;
  kept.reserve(live_);
  for (auto& e : entries_)
    if (e.live) kept.push_back(std::move(e));
  entries_.swap(kept);
  byName_.clear();
  byNumber_.clear();
  for (uint32_t i = 0; i < entries_.size(); ++i) IndexEntry(i);
}

const std::string* VarStore::FindNumbered(std::string_view upperBase, std::string_view digits) const {
  const std::string_view canon = CanonicalDigits(digits);
  if (canon.empty()) return nullptr;
  std::string key(upperBase);
  key += '\1';
  key.append(canon);
  auto it = byNumber_.find(key);
  if (it == byNumber_.end() || it->second.empty()) return nullptr;
  return &entries_[it->second.front()].v.value;
}

int VarStore::UserListSlot(std::string_view upperName) {
  std::string key(upperName);
  auto it = userSlots_.find(key);
  if (it != userSlots_.end()) return it->second;
  if (static_cast<int>(userNames_.size()) >= kMaxUserLists) return -1;
  const int slot = static_cast<int>(userNames_.size());
  userNames_.push_back(key);
  userSlots_.emplace(std::move(key), slot);
  userLists_.emplace_back();
  return slot;
}

void VarStore::SplitListName(std::string_view name, std::string& listName, long long& number) {
  std::string_view base, digits;
  SplitNumbered(TrimView(name), base, digits);
  listName.assign(base);
  number = digits.empty() ? -1 : DigitsValue(digits);
}

const std::string* VarStore::FindLocal(int level, std::string_view upperName) const {
  for (const auto& l : locals_[Clamp(level)])
    if (!l.name.empty() && l.name == upperName) return &l.value;
  return nullptr;
}

bool VarStore::SetLocal(int level, std::string_view upperName, std::string_view value) {
  auto& slots = locals_[Clamp(level)];
  for (auto& l : slots)
    if (l.name == upperName) {
      l.value.assign(value);
      return true;
    }
  for (auto& l : slots)
    if (l.name.empty()) {
      l.name.assign(upperName);
      l.value.assign(value);
      return true;
    }
  return false;
}

void VarStore::ClearLocals(int level) {
  for (auto& l : locals_[Clamp(level)]) {
    l.name.clear();
    l.value.clear();
  }
}

// ---------------------------------------------------------------------------
// List operations

std::string ListOperation(VarStore& vars, SubstHost& host, ListOp op, std::string_view listName,
                          const ListOpArgs& a) {
  std::string name;
  long long number;
  VarStore::SplitListName(listName, name, number);
  const int slot = vars.UserListSlot(name);
  if (slot < 0) {
    host.SetError(kErrUsage);
    return std::string();
  }
  auto& list = vars.UserList(slot);
  switch (op) {
    case ListOp::SetElement: {
      if (a.index < 0 || static_cast<unsigned long long>(a.index) >= kMaxListIndex) {
        host.SetError(kErrUsage);
        return std::string();
      }
      const size_t i = static_cast<size_t>(a.index);
      if (list.size() <= i) list.resize(i + 1);
      list[i].assign(a.value);
      return std::string();
    }
    case ListOp::GetElement:
      if (a.index < 0) {
        host.SetError(kErrUsage);
        return std::string();
      }
      if (static_cast<unsigned long long>(a.index) >= list.size()) return std::string();
      return list[static_cast<size_t>(a.index)];
    case ListOp::GetOrAbsent:
      if (a.index < 1 || static_cast<unsigned long long>(a.index) > list.size()) return kAbsent;
      return list[static_cast<size_t>(a.index - 1)];
    case ListOp::Search: {
      const bool wild = a.value.find('*') != std::string_view::npos;
      const size_t from = a.index < 0 ? 0 : static_cast<size_t>(a.index);
      std::string up;
      for (size_t i = from; i < list.size(); ++i) {
        bool hit;
        if (wild) {
          hit = WildcardMatch(list[i], a.value, a.caseInsensitive);
        } else {
          std::string_view el = list[i];
          if (a.caseInsensitive) {
            up = Upper(el);
            el = up;
          }
          if (a.anchorStart && a.anchorEnd) hit = el == a.value;
          else if (a.anchorStart) hit = StartsWith(el, a.value);
          else if (a.anchorEnd) hit = EndsWith(el, a.value);
          else hit = el.find(a.value) != std::string_view::npos;
        }
        if (hit) return std::to_string(i + 1);
      }
      return kAbsent;
    }
    case ListOp::Clear:
      list.clear();
      return std::string();
    case ListOp::Delete:
      if (a.index < 1 || static_cast<unsigned long long>(a.index) > list.size()) {
        host.SetError(kErrUsage);
        return std::to_string(list.size());
      }
      list.erase(list.begin() + static_cast<long>(a.index - 1));
      return std::to_string(list.size());
    case ListOp::Clean: {
      std::vector<std::string> kept;
      kept.reserve(list.size());
      for (auto& e : list)
        if (!TrimView(e).empty()) kept.push_back(std::move(e));
      list.swap(kept);
      return std::to_string(list.size());
    }
    case ListOp::Count:
      return std::to_string(list.size());
    case ListOp::Compact: {
      // An element goes when its trimmed text equals an element already
      // kept, as that element stands.
      std::unordered_set<std::string> seen;
      std::vector<std::string> kept;
      for (auto& e : list) {
        if (seen.count(Trim(e))) continue;
        seen.insert(e);
        kept.push_back(std::move(e));
      }
      list.swap(kept);
      return std::to_string(list.size());
    }
  }
  return std::string();
}

// ---------------------------------------------------------------------------
// Substitution

std::string ResolveName(std::string_view rawName, VarStore& vars, SubstHost& host, const SubstOptions& opt) {
  std::string value;
  if (!rawName.empty() && rawName[0] == '$') {
    std::string ln;
    long long number;
    VarStore::SplitListName(rawName, ln, number);
    ListOpArgs a;
    a.index = number < 0 ? -1 : number - 1;
    value = ListOperation(vars, host, ListOp::GetElement, rawName, a);
  }
  if (value.empty() && rawName.size() >= 2 && UpperChar(rawName[0]) == 'N' && rawName[1] == '$') {
    value = ListOperation(vars, host, ListOp::Count, rawName.substr(1), ListOpArgs{});
  }
  if (!value.empty()) return value;

  const std::string name = Upper(TrimView(rawName));
  // 1. built-in values
  const SubstHost::Found found = host.Builtin(name, value);
  if (found == SubstHost::Found::Final || (found == SubstHost::Found::Value && !value.empty())) return value;
  value.clear();
  // 2. a numeric suffix: X01 finds X1, then the system list of that base
  std::string_view base, digits;
  SplitNumbered(name, base, digits);
  if (!CanonicalDigits(digits).empty()) {
    if (const std::string* v = vars.FindNumbered(base, digits); v && !v->empty()) return *v;
    const int id = SysListId(base);
    if (id >= 0) {
      const long long n = DigitsValue(digits);
      const SysList sl = static_cast<SysList>(id);
      if (sl == SysList::ARG) {
        if (n >= 1 && n <= kArgSlots) {
          const std::string& s = vars.Args(opt.callLevel)[static_cast<size_t>(n - 1)];
          if (!s.empty()) return s;
        } else {
          return kAbsent;
        }
      } else {
        const std::vector<std::string>* list = host.ComputedList(sl);
        if (!list) list = &vars.Sys(sl);
        if (static_cast<unsigned long long>(n) > list->size()) return kAbsent;
        const std::string& s = (*list)[static_cast<size_t>(n - 1)];
        if (!s.empty()) return s;
      }
    }
  }
  // 3. locals of the current call level
  if (opt.callLevel >= 0)
    if (const std::string* v = vars.FindLocal(opt.callLevel, name); v && !v->empty()) return *v;
  // 4. ordinary variables
  if (const std::string* v = vars.Find(name); v && !v->empty()) return *v;
  // 5. shared variables
  if (!name.empty() && name[0] == '!') return host.SharedGet(name);
  return std::string();
}

namespace {

// `budget` is the number of references one line may still replace, shared
// by the nested substitutions of indexes: a value that keeps bringing back
// references ("%A%" holding "%A%", or indexes in parentheses that hold
// more) ends there instead of cycling or multiplying its work.
void SubstituteDepth(std::string& line, VarStore& vars, SubstHost& host, const SubstOptions& opt, int depth,
                     int& budget) {
  const std::string_view delim = opt.delim.empty() ? std::string_view("%") : opt.delim;
  {
    const std::string_view lt = LTrimView(line);
    if (StartsWithNoCase(lt, "REM ") || (!line.empty() && (line[0] == ';' || line[0] == '\''))) return;
  }
  while (budget-- > 0) {
    const size_t p = line.find(delim);
    if (p == std::string::npos) return;
    const size_t nameStart = p + delim.size();
    size_t q = line.find(delim, nameStart);
    // An index in parentheses before the next delimiter is substituted first:
    // %ANSWER(%I%)% becomes %ANSWER2%.
    if (q != std::string::npos && depth < 8) {
      const size_t po = line.find('(', nameStart);
      if (po != std::string::npos && po < q) {
        const size_t pc = line.find(')', po + 1);
        if (pc != std::string::npos) {
          std::string inner = line.substr(po + 1, pc - po - 1);
          SubstituteDepth(inner, vars, host, opt, depth + 1, budget);
          line.replace(po, pc - po + 1, inner);
          q = line.find(delim, nameStart);
        }
      }
    }
    if (q == std::string::npos) return;
    std::string value = ResolveName(std::string_view(line).substr(nameStart, q - nameStart), vars, host, opt);
    size_t beforeLen = p;
    if (beforeLen > 0 && line[beforeLen - 1] == '@') {
      if (beforeLen >= 2 && line[beforeLen - 2] == '@') {
        // "@@" keeps the value as stored
      } else if (opt.protectedDisplay) {
        value = "@" + Upper(TrimView(std::string_view(line).substr(nameStart, q - nameStart))) + "@";
      } else {
        value = DecodeProtected(value);
        host.Revealed(Upper(TrimView(std::string_view(line).substr(nameStart, q - nameStart))), value);
      }
      --beforeLen;
    }
    // The reference (with one "@" before it) is replaced in place; a value
    // equal to the reference itself would repeat forever, so it ends here.
    const size_t refLen = q + delim.size() - beforeLen;
    const bool unchanged = std::string_view(line).substr(beforeLen, refLen) == value;
    line.replace(beforeLen, refLen, value);
    if (unchanged || line.size() >= kSubstLimit || line.find(delim) == std::string::npos) return;
  }
}

}  // namespace

void Substitute(std::string& line, VarStore& vars, SubstHost& host, const SubstOptions& opt) {
  int budget = kSubstPasses;
  SubstituteDepth(line, vars, host, opt, 0, budget);
}

void RevealedSecrets::Add(std::string_view name, std::string_view clear) {
  if (clear.empty()) return;
  for (auto it = items_.begin(); it != items_.end(); ++it) {
    if (it->clear == clear) {
      it->shown = "@" + std::string(name) + "@";
      return;
    }
  }
  if (items_.size() >= kMaxKept) items_.pop_back();
  // Longest first, so that a secret holding another is hidden whole.
  auto at = items_.begin();
  while (at != items_.end() && at->clear.size() >= clear.size()) ++at;
  items_.insert(at, Item{std::string(clear), "@" + std::string(name) + "@"});
}

std::string RevealedSecrets::Hide(std::string_view text) const {
  std::string out(text);
  for (const Item& i : items_) ReplaceAll(out, i.clear, i.shown);
  return out;
}

// Protected values are stored through the program's scrambling routine.

std::string EncodeProtected(std::string_view plain) { return Scramble(plain); }

std::string DecodeProtected(std::string_view coded) { return UnscrambleOrKeep(coded); }

}  // namespace kes
