#include "script/checker.h"

#include <algorithm>
#include <set>

#include "interp/special_vars.h"
#include "interp/variables.h"
#include "script/prepare.h"

namespace kes {

namespace {

struct Found {
  int index;  // store index
  std::string message;
  bool hint;
};

bool IsSubLine(std::string_view raw) { return raw.size() >= 4 && Upper(raw.substr(0, 4)) == "SUB "; }

std::string FirstField(std::string_view args) {
  std::string f = Trim(args.substr(0, args.find(',')));
  RemoveChar(f, '"');
  return Trim(f);
}

// Names of %NAME% references, in order.
template <class F>
void ForEachReference(std::string_view l, F&& f) {
  size_t p = l.find('%');
  while (p != std::string_view::npos) {
    const size_t q = l.find('%', p + 1);
    if (q == std::string_view::npos) return;
    f(l.substr(p + 1, q - p - 1));
    p = l.find('%', q + 1);
  }
}

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
         c == '$' || c == '!';
}

// The variables a line sets: assignments, loop variables, the result
// variables of the commands it runs.
void CollectSets(std::string_view clean, std::set<std::string>& sets) {
  const size_t as = clean.find(":=");
  if (as != std::string_view::npos) {
    std::string name(clean.substr(0, as));
    ReplaceAll(name, "SET ", "");
    ReplaceAll(name, "set ", "");
    sets.insert(Upper(Trim(name)));
  }
  std::string word, args, second;
  SplitLineWords(clean, word, args, second);
  sets.insert(word);
  sets.insert("N" + word);
  if (word == "SET" || word == "SETLOCAL" || word == "SETSHARE" || word == "LET" || word == "SETCDE") {
    const size_t eq = args.find('=');
    if (eq != std::string::npos) {
      sets.insert(Upper(Trim(std::string_view(args).substr(0, eq))));
      // LET K=REGKEYGET ...: the nested command leaves its own result too.
      const std::string rest = Trim(std::string_view(args).substr(eq + 1));
      const std::string nested = Upper(std::string_view(rest).substr(0, rest.find(' ')));
      sets.insert(nested);
      sets.insert("N" + nested);
    }
  } else if (word == "FOR") {
    std::string name = FirstField(args);
    RemoveChar(name, '%');
    sets.insert(Upper(name));
  }
}

class Checker {
 public:
  explicit Checker(const CheckInput& in) : in_(in), lv_(*in.level) {}

  std::vector<Problem> Run() {
    Loader();
    Labels();
    CollectAllSets();
    Walk();
    std::stable_sort(found_.begin(), found_.end(), [](const Found& a, const Found& b) { return a.index < b.index; });
    std::vector<Problem> out;
    for (const Found& f : found_) {
      Problem p;
      Place(f.index, p.file, p.line);
      p.message = f.message;
      p.hint = f.hint;
      out.push_back(std::move(p));
    }
    return out;
  }

 private:
  const CheckInput& in_;
  const ScriptLevel& lv_;
  std::vector<Found> found_;
  std::set<std::string> sets_;
  std::set<std::string> hinted_;
  std::vector<int> ifs_, fors_, switches_;
  std::string segment_;  // empty: the main flow; else the sub being read

  void Report(int index, std::string message, bool hint = false) {
    found_.push_back(Found{index, std::move(message), hint});
  }

  // The file and 1-based line of a store index.
  void Place(int index, std::string& file, int& line) const {
    for (const IncludedFile& f : in_.includes.files) {
      if (index >= f.first && index < f.first + f.count) {
        file = f.name;
        line = index - f.first + 1;
        return;
      }
    }
    file = in_.file;
    line = index + 1;
  }

  void Loader() {
    for (const IncludedFile& f : in_.includes.missing)
      Report(f.includeLine, "INCLUDE " + f.name + ": the file cannot be opened (the script would not run)");
  }

  void Labels() {
    for (size_t i = 0; i < lv_.labels.size(); ++i) {
      for (size_t j = 0; j < i; ++j) {
        if (lv_.labels[j].name != lv_.labels[i].name) continue;
        std::string file;
        int line = 0;
        Place(lv_.labels[j].line, file, line);
        Report(lv_.labels[i].line, "label :" + lv_.labels[i].name + " is defined again: GOTO goes to the first one, " +
                                       file + "(" + std::to_string(line) + ")");
        break;
      }
    }
  }

  void CollectAllSets() {
    for (int i = 0; i < lv_.lineCount; ++i) {
      std::string l = lv_.lines[static_cast<size_t>(i)];
      CleanLine(l);
      if (l.empty() || l[0] == '@' || l[0] == ':' || IsCommentLine(l)) continue;
      CollectSets(l, sets_);
    }
  }

  std::string Where() const { return segment_.empty() ? "the main flow" : "SUB " + segment_; }

  void CloseSegment() {
    for (int i : ifs_) Report(i, "IF ... THEN without ENDIF in " + Where());
    for (int i : fors_) Report(i, "FOR without NEXT in " + Where());
    for (int i : switches_) Report(i, "SWITCH ON without SWITCH OFF in " + Where());
    ifs_.clear();
    fors_.clear();
    switches_.clear();
  }

  bool KnownVariable(const std::string& name) const {
    // Set by the runner for every script and sub it starts.
    static const char* const kRunner[] = {"NARG", "SUB", "CALL", "CALLSUB", "SCRIPTPATH"};
    for (const char* r : kRunner)
      if (name == r) return true;
    if (sets_.count(name) || FindSpecialVariable(name)) return true;
    if (in_.preset && in_.preset(in_.presetCtx, name)) return true;
    // A list element: the list's name followed by its number.
    size_t e = name.size();
    while (e > 0 && name[e - 1] >= '0' && name[e - 1] <= '9') --e;
    if (e == 0) return true;  // %1% and the like
    if (e < name.size()) {
      const std::string base = name.substr(0, e);
      if (SysListId(base) >= 0 || sets_.count(base)) return true;
    }
    return false;
  }

  void References(int index, std::string_view l) {
    ForEachReference(l, [&](std::string_view ref) {
      if (ref.empty() || !std::all_of(ref.begin(), ref.end(), IsNameChar)) return;
      if (ref[0] == '$' || ref[0] == '!') return;  // lists and shared variables
      const std::string name = Upper(ref);
      if (KnownVariable(name) || !hinted_.insert(name).second) return;
      Report(index, "%" + name + "% is read but never set in the script", true);
    });
  }

  void Walk() {
    size_t nextInclude = 0;
    bool awaitingSub = false;  // in an included file, before its first SUB line
    std::string includeName;
    for (int i = 0; i < lv_.lineCount; ++i) {
      while (nextInclude < in_.includes.files.size() && in_.includes.files[nextInclude].first <= i) {
        const IncludedFile& f = in_.includes.files[nextInclude++];
        if (f.count > 0 && f.first == i) {
          awaitingSub = true;
          includeName = f.name;
        }
      }
      const std::string& raw = lv_.lines[static_cast<size_t>(i)];
      // The runner ends the flow at a line that starts with "SUB ".
      if (IsSubLine(raw)) {
        CloseSegment();
        segment_ = Trim(std::string_view(raw).substr(4));
        awaitingSub = false;
        continue;
      }
      std::string L = raw;
      CleanLine(L);
      if (L.empty() || L[0] == '@' || L[0] == ':' || IsCommentLine(L)) continue;
      if (awaitingSub) {
        awaitingSub = false;
        Report(i, "this line of " + includeName + " comes before its first SUB: it runs as part of " + Where() +
                      " (included lines follow the script's last line)");
      }
      References(i, L);
      const std::string_view U = TrimView(L);
      if (IsBlockIfLine(U)) {
        ifs_.push_back(i);
        continue;
      }
      if (EqualsNoCase(U, "ELSE")) {
        if (ifs_.empty()) Report(i, "ELSE without IF ... THEN");
        continue;
      }
      if (IsEndifLine(U)) {
        if (ifs_.empty()) Report(i, "ENDIF without IF ... THEN");
        else ifs_.pop_back();
        continue;
      }
      std::string word, args, second;
      SplitLineWords(L, word, args, second);
      if (word.find('%') != std::string::npos) continue;  // the word comes from a variable
      Command(i, L, word, args, second);
    }
    CloseSegment();
  }

  void Command(int i, const std::string& L, const std::string& word, const std::string& args,
               const std::string& second) {
    if (word == "FOR") {
      fors_.push_back(i);
    } else if (word == "NEXT") {
      if (fors_.empty()) Report(i, "NEXT without FOR");
      else fors_.pop_back();
    } else if (word == "ITERATE" || word == "EXITFOR") {
      if (fors_.empty()) Report(i, word + " outside a FOR loop");
    } else if (word == "SWITCH") {
      const std::string kw = Upper(FirstField(args));
      if (kw == "ON") {
        switches_.push_back(i);
      } else if (kw == "OFF") {
        if (switches_.empty()) Report(i, "SWITCH OFF without SWITCH ON");
        else switches_.pop_back();
      } else if ((kw == "CASE" || kw == "ELSE" || kw == "BREAK") && switches_.empty()) {
        Report(i, "SWITCH " + kw + " without SWITCH ON");
      }
    } else if (word == "GOTO") {
      if (second.find('%') != std::string::npos) return;
      const bool found =
          std::any_of(lv_.labels.begin(), lv_.labels.end(), [&](const Label& l) { return l.name == second; });
      if (!found) Report(i, "GOTO " + second + ": there is no label :" + second);
    } else if (word == "CALLSUB") {
      const std::string name = FirstField(args);
      if (name.find('%') != std::string::npos) return;
      const bool found =
          std::any_of(lv_.subs.begin(), lv_.subs.end(), [&](const Label& s) { return EqualsNoCase(s.name, name); });
      if (!found) Report(i, "CALLSUB " + name + ": there is no SUB " + name);
    } else if (word == "SUB") {
      // Tabled as a sub, but indented: the runner does not stop at it.
      Report(i, "SUB " + Trim(args) + " does not start its line: the flow runs into the sub's body");
      return;
    }
    if (!in_.word) return;
    switch (in_.word(word)) {
      case WordStatus::Known: break;
      case WordStatus::NotBuilt: Report(i, word + ": the command is not available in this build"); break;
      case WordStatus::Unknown:
        if (L.find(":=") == std::string::npos) Report(i, word + ": no command of that name");
        break;
    }
  }
};

}  // namespace

std::vector<Problem> CheckScript(const CheckInput& input) {
  if (!input.level) return {};
  return Checker(input).Run();
}

std::string FormatProblem(const Problem& p) {
  return p.file + "(" + std::to_string(p.line) + "): " + (p.hint ? "hint: " : "") + p.message;
}

}  // namespace kes
