// List and value commands: whole-list operations on system lists, user lists
// ($NAME) and variable families (LINE1, LINE2, ...), the value commands on one
// variable, and ARRAY.
#include "interp/commands.h"
#include "interp/families.h"
#include "interp/numformat.h"
#include "interp/strops.h"

namespace kes {

namespace {

// The list a command's target names. A family is taken out of the variable
// table when opened and written back by Close, as the commands require.
class ListTarget {
 public:
  enum class Kind { None, System, User, Family };

  ListTarget(Interp& in, std::string_view target) : in_(in), name_(Upper(TrimView(target))) {
    if (name_.empty()) return;
    if (name_[0] == '$') {
      std::string list;
      long long n;
      VarStore::SplitListName(name_, list, n);
      const int slot = in.vars.UserListSlot(list);
      if (slot < 0) {
        in.err.code = kErrUsage;
        return;
      }
      kind_ = Kind::User;
      vec_ = &in.vars.UserList(slot);
      return;
    }
    const int id = SysListId(name_);
    if (id >= 0) {
      kind_ = Kind::System;
      // ATRUN is computed on each read and ARG lives per call level: neither
      // is a list these commands can change, but both can be read (FLAT ARG,
      // TRANSFER ATRUN, F). They work on a copy that is then dropped.
      if (id == static_cast<int>(SysList::ATRUN)) {
        if (const auto* l = in.ComputedList(SysList::ATRUN)) family_ = *l;
        vec_ = &family_;
        return;
      }
      if (id == static_cast<int>(SysList::ARG)) {
        const auto& a = in.vars.Args(in.run.callDepth);
        size_t n = a.size();
        while (n > 0 && a[n - 1].empty()) --n;
        family_.assign(a.begin(), a.begin() + static_cast<long>(n));
        vec_ = &family_;
        return;
      }
      vec_ = &in.vars.Sys(static_cast<SysList>(id));
      return;
    }
    kind_ = Kind::Family;
    family_ = TakeFamily(in, name_);
    vec_ = &family_;
  }
  ListTarget(const ListTarget&) = delete;
  ListTarget& operator=(const ListTarget&) = delete;
  ~ListTarget() { Close(); }

  Kind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  bool Valid() const { return kind_ != Kind::None; }
  std::vector<std::string>& Elements() {
    static std::vector<std::string> none;
    return vec_ ? *vec_ : none;
  }
  // The family is not written back (CLEAR, or a family being replaced).
  void Discard() {
    family_.clear();
    written_ = true;
  }
  void Close() {
    if (kind_ == Kind::Family && !written_) WriteFamily(in_, name_, family_);
    written_ = true;
  }

 private:
  Interp& in_;
  std::string name_;
  Kind kind_ = Kind::None;
  std::vector<std::string>* vec_ = nullptr;
  std::vector<std::string> family_;
  bool written_ = false;
};

// The mask of FORMAT: everything after the first separator, trimmed; it is
// not split, so a mask may hold the separator and quoted literals.
std::string MaskArgument(const Interp& in) {
  const size_t p = AfterSeparators(in.line.args, 1, in.Sep(), in.sep.quote);
  if (p == std::string::npos) return std::string();
  return Trim(std::string_view(in.line.args).substr(p));
}

// One element or value under the value commands that also work on lists.
std::string ApplyValueOp(ValueOpWord word, std::string_view v, std::string_view mask, bool listForm) {
  switch (word) {
    case ValueOpWord::Int: return IntPartText(Val(v));
    case ValueOpWord::Round: return RoundEvenText(Val(v));
    case ValueOpWord::Format: return FormatNumber(Val(v), mask);
    case ValueOpWord::Upper: return Upper(v);
    case ValueOpWord::Lower: return Lower(v);
    // The list forms trim spaces; the value forms spaces and tabs.
    case ValueOpWord::LTrim: {
      if (listForm) return LTrim(v);
      size_t b = 0;
      while (b < v.size() && (v[b] == ' ' || v[b] == '\t')) ++b;
      return std::string(v.substr(b));
    }
    case ValueOpWord::RTrim: {
      if (listForm) return RTrim(v);
      size_t e = v.size();
      while (e > 0 && (v[e - 1] == ' ' || v[e - 1] == '\t')) --e;
      return std::string(v.substr(0, e));
    }
    case ValueOpWord::Incr: return GeneralFormat(Val(v) + 1);
    case ValueOpWord::Decr: return GeneralFormat(Val(v) - 1);
    case ValueOpWord::Inv: return Val(v) == 0 ? "1" : "0";
  }
  return std::string(v);
}

// Removes every variable of the family base + number (CROP1..., INSET1...).
void ClearFamily(Interp& in, const std::string& base) { (void)TakeFamily(in, base); }

void ListSort(Interp& in, bool descending) {
  ListTarget t(in, Field(in, 1));
  if (!t.Valid()) return;
  SortElements(t.Elements(), ValInt64(Field(in, 2)), ValInt64(Field(in, 3)), in.sw.caseInsensitive, descending);
}

// CROP leaves its block in the family CROP1, CROP2, ...
const std::string kCropFamily = "CROP";

void ListCrop(Interp& in) {
  if (FieldCount(in) < 3) {
    in.err.code = kErrUsage;
    return;
  }
  std::vector<std::string> block;
  bool sourceIsCrop = false;
  {
    ListTarget t(in, Field(in, 1));
    // A list that names nothing leaves the earlier CROP variables alone.
    if (!t.Valid() || t.Elements().empty()) return;
    block = CropElements(t.Elements(), FieldUnquoted(in, 2), FieldUnquoted(in, 3), ValInt64(Field(in, 4)),
                         ValInt64(Field(in, 5)), in.sw.caseInsensitive);
    sourceIsCrop = t.kind() == ListTarget::Kind::Family && t.name() == kCropFamily;
    if (sourceIsCrop) t.Discard();
  }
  // The new block replaces what an earlier CROP left.
  if (!sourceIsCrop) ClearFamily(in, kCropFamily);
  for (size_t i = 0; i < block.size(); ++i) SetVariable(in, kCropFamily + std::to_string(i + 1), block[i]);
  in.line.result = std::to_string(block.size());
}

void ListFlat(Interp& in) {
  ListTarget t(in, Field(in, 1));
  const auto& e = t.Elements();
  if (e.empty()) return;
  std::string s;
  for (size_t i = 0; i < e.size(); ++i) {
    if (i) s += in.Sep();
    s += e[i];
  }
  in.line.result = std::move(s);
}

void ListTransfer(Interp& in) {
  const std::string source = Upper(Field(in, 1));
  const std::string target = Upper(Field(in, 2));
  if (source.empty() || target.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  if (source == target) return;
  std::vector<std::pair<long long, long long>> pairs;
  for (size_t i = 3; i <= FieldCount(in); i += 2) pairs.emplace_back(ValInt64(Field(in, i)), ValInt64(Field(in, i + 1)));
  std::vector<std::string> values;
  {
    ListTarget s(in, source);
    if (!s.Valid()) return;
    values.reserve(s.Elements().size());
    for (const auto& e : s.Elements()) values.push_back(TransferValue(e, pairs));
  }
  // An empty source changes nothing, not even the result.
  if (values.empty()) return;
  in.line.result = std::to_string(values.size());
  ListTarget t(in, target);
  switch (t.kind()) {
    case ListTarget::Kind::None:
      return;
    case ListTarget::Kind::System:
      // DATA collects; every other system list is refilled, so the copy is
      // what its readers see (CUT, for one, never grows by assignment).
      if (target == "DATA") {
        auto& d = t.Elements();
        d.insert(d.end(), values.begin(), values.end());
      } else {
        t.Elements() = std::move(values);
      }
      return;
    case ListTarget::Kind::User:
      t.Elements() = std::move(values);
      return;
    case ListTarget::Kind::Family:
      // Cleared, then written with zero-padded numbers.
      t.Elements() = std::move(values);
      return;
  }
}

void ListElementwise(Interp& in, ValueOpWord word) {
  ListTarget t(in, Field(in, 1));
  if (!t.Valid()) return;
  const std::string mask = word == ValueOpWord::Format ? MaskArgument(in) : std::string();
  for (auto& e : t.Elements()) e = ApplyValueOp(word, e, mask, true);
}

}  // namespace

void CmdListOp(Interp& in, Ctx& c) {
  switch (c.Word<ListOpWord>()) {
    case ListOpWord::Clear: {
      ListTarget t(in, Field(in, 1));
      // The memory goes back too: a list grown to millions of elements
      // must not keep holding it.
      std::vector<std::string>().swap(t.Elements());
      t.Discard();
      break;
    }
    case ListOpWord::Sort:
    case ListOpWord::SortD: ListSort(in, c.Word<ListOpWord>() == ListOpWord::SortD); break;
    case ListOpWord::Crop: ListCrop(in); break;
    case ListOpWord::Flat: ListFlat(in); break;
    case ListOpWord::Transfer: ListTransfer(in); break;
  }
}

// Value commands. With a variable reference in the second word as written
// (INCR %I%, UPPER %LIST(%N%)%) they work on that one variable; otherwise
// INT ... RTRIM work on the list the first argument names, and INCR, DECR and
// INV compute from the argument as written and store under that name.
void CmdValueOp(Interp& in, Ctx& c) {
  const ValueOpWord w = c.Word<ValueOpWord>();
  const std::string raw = RawArgs(in);
  const std::string_view rawTrim = TrimView(raw);
  const std::string_view second = rawTrim.substr(0, rawTrim.find(' '));
  const bool nameForm = w == ValueOpWord::Incr || w == ValueOpWord::Decr || w == ValueOpWord::Inv;
  const bool textForm =
      w == ValueOpWord::Upper || w == ValueOpWord::Lower || w == ValueOpWord::LTrim || w == ValueOpWord::RTrim;

  if (HasDelimiter(in, second)) {
    std::string ref;
    std::string mask;
    std::string value;
    if (w == ValueOpWord::Format) {
      // Split where the line as written has its separator, so a value that
      // holds the separator ("1,5") neither shifts the mask nor loses it.
      const size_t p = AfterSeparators(raw, 1, in.Sep(), in.sep.quote);
      const std::string_view written =
          std::string_view(raw).substr(0, p == std::string::npos ? raw.size() : p - in.Sep().size());
      ref = ReferenceName(in, written);
      value = Trim(in.Substituted(written));
      mask = p == std::string::npos ? std::string() : Trim(in.Substituted(std::string_view(raw).substr(p)));
    } else {
      ref = ReferenceName(in, second);
      value = textForm ? in.line.args : Field(in, 1);
    }
    const std::string r = ApplyValueOp(w, value, mask, false);
    in.line.result = r;
    if (!ref.empty()) SetVariable(in, ref, r);
    return;
  }
  if (nameForm) {
    const std::string name = Trim(in.line.args);
    if (name.empty()) {
      in.err.code = kErrUsage;
      return;
    }
    const std::string r = ApplyValueOp(w, name, "", false);
    in.line.result = r;
    SetVariable(in, name, r);
    return;
  }
  ListElementwise(in, w);
}

// ARRAY COUNT|DELETE|CLEAN|COMPACT|INSERT on user lists; the result goes to
// ARRAY and NARRAY.
void CmdArray(Interp& in, Ctx&) {
  const std::string word = Upper(Field(in, 1));
  const std::string list = Upper(Field(in, 2));
  ListOpArgs a;
  a.caseInsensitive = in.sw.caseInsensitive;
  ListOp op;
  if (word == "COUNT") {
    op = ListOp::Count;
  } else if (word == "DELETE") {
    op = ListOp::Delete;
    a.index = ValInt64(Field(in, 3));
  } else if (word == "CLEAN") {
    op = ListOp::Clean;
  } else if (word == "COMPACT") {
    op = ListOp::Compact;
  } else if (word == "INSERT") {
    const std::string source = Upper(Field(in, 3));
    if (list.size() < 2 || list[0] != '$' || source.size() < 2 || source[0] != '$') return;
    std::string tn, sn;
    long long dummy;
    VarStore::SplitListName(list, tn, dummy);
    VarStore::SplitListName(source, sn, dummy);
    const int ts = in.vars.UserListSlot(tn), ss = in.vars.UserListSlot(sn);
    if (ts < 0 || ss < 0) {
      in.err.code = kErrUsage;
      return;
    }
    const std::vector<std::string> items = in.vars.UserList(ss);  // a copy: $T may be $S
    auto& t = in.vars.UserList(ts);
    const long long n = ValInt64(Field(in, 4));
    const size_t at = n >= 0 && static_cast<unsigned long long>(n) <= t.size() ? static_cast<size_t>(n) : t.size();
    t.insert(t.begin() + static_cast<long>(at), items.begin(), items.end());
    in.line.result = std::to_string(t.size());
    in.line.secondResult = true;
    return;
  } else {
    in.err.code = kErrNoHandler;
    return;
  }
  if (list.size() < 2 || list[0] != '$') {
    in.err.code = kErrUsage;
    return;
  }
  in.line.result = ListOperation(in.vars, in, op, list, a);
  in.line.secondResult = true;
}

}  // namespace kes
