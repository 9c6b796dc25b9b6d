#include "interp/condition.h"

#include "interp/expression.h"
#include "interp/numformat.h"
#include "interp/wildcard.h"

namespace kes {

namespace {

// Comparison operators in the order in which they win ties.
constexpr std::string_view kOperators[] = {"==", "<>", ">=", "=>", "<=", "=<", "^", "=", ">", "<"};

// Splits off the first space-separated word of text.
std::string_view FirstWord(std::string_view text, std::string_view& after) {
  text = LTrimView(text);
  const size_t sp = text.find(' ');
  if (sp == std::string_view::npos) {
    after = std::string_view();
    return text;
  }
  after = text.substr(sp + 1);
  return text.substr(0, sp);
}

// A keyword operand: the text up to the next quote character when it starts
// with one, otherwise the first word.
std::string_view Operand(std::string_view text, std::string_view quote, std::string_view& after) {
  text = LTrimView(text);
  if (!quote.empty() && StartsWith(text, quote)) {
    const size_t e = text.find(quote, quote.size());
    if (e == std::string_view::npos) {
      after = std::string_view();
      return text.substr(quote.size());
    }
    after = text.substr(e + quote.size());
    return text.substr(quote.size(), e - quote.size());
  }
  return FirstWord(text, after);
}

bool MatchElement(std::string_view element, const std::string& text, bool anchorStart, bool anchorEnd, bool ci) {
  std::string up;
  if (ci) {
    up = Upper(element);
    element = up;
  }
  if (anchorStart && anchorEnd) return element == text;
  if (anchorStart) return StartsWith(element, text);
  if (anchorEnd) return EndsWith(element, text);
  return element.find(text) != std::string_view::npos;
}

// The system lists a condition searches by name; the others (ATRUN, ARG,
// ASKCHECK, ASKMULTI) are searched like any variable family.
int SearchableSysList(const std::string& upperName) {
  const int id = SysListId(upperName);
  if (id < 0) return -1;
  switch (static_cast<SysList>(id)) {
    case SysList::ATRUN:
    case SysList::ARG:
    case SysList::ASKCHECK:
    case SysList::ASKMULTI:
      return -1;
    default:
      return id;
  }
}

std::vector<std::string> ReadLines(Interp& in, const std::string& path, bool& ok) {
  std::vector<std::string> lines;
  std::string s;
  ok = in.system->ReadFile(path, s);
  if (!ok) return lines;
  for (std::string_view l : LinesOf(s)) lines.emplace_back(l);
  return lines;
}

// SEARCH and SEARCHNEXT over a list, a numbered variable family or a file.
bool SearchTest(Interp& in, std::string_view rest, bool next, std::string_view& leftover) {
  const std::string& q = in.sep.quote;
  std::string_view after;
  std::string listName = Trim(in.Substituted(Operand(rest, q, after)));
  // The search text, with "^" anchors before and after its quotes.
  std::string_view t = LTrimView(after);
  bool anchorStart = false, anchorEnd = false;
  if (StartsWith(t, "^") && StartsWith(t.substr(1), q)) {
    anchorStart = true;
    t.remove_prefix(1);
  }
  std::string text;
  if (!q.empty() && StartsWith(t, q)) {
    const size_t e = t.find(q, q.size());
    if (e == std::string_view::npos) {
      text = t.substr(q.size());
      t = std::string_view();
    } else {
      text = t.substr(q.size(), e - q.size());
      t.remove_prefix(e + q.size());
      if (StartsWith(t, "^") && (t.size() == 1 || t[1] == ' ')) {
        anchorEnd = true;
        t.remove_prefix(1);
      }
    }
  } else {
    text = FirstWord(t, t);
  }
  leftover = t;
  in.Subst(text);
  const bool ci = in.sw.caseInsensitive;
  if (ci) UpperInPlace(text);

  const int32_t savedError = in.err.code;
  SearchState& ss = in.search;
  const long long from = next ? ss.position : 0;
  long long found = 0;
  bool fileError = false;
  bool wildName = false;

  const std::string upName = Upper(listName);
  const int sysId = SearchableSysList(upName);
  if (!upName.empty() && upName[0] == '$') {
    ListOpArgs a;
    a.value = text;
    a.index = from;
    a.anchorStart = anchorStart;
    a.anchorEnd = anchorEnd;
    a.caseInsensitive = ci;
    a.search = &ss;
    const std::string r = ListOperation(in.vars, in, ListOp::Search, upName, a);
    if (r != kAbsent) found = ValInt64(r);
  } else if (sysId >= 0) {
    const auto id = static_cast<SysList>(sysId);
    const std::vector<std::string>* list = in.ComputedList(id);
    if (!list) list = &in.vars.Sys(id);
    for (size_t i = static_cast<size_t>(from < 0 ? 0 : from); i < list->size(); ++i) {
      const std::string& el = (*list)[i];
      const bool hit = text.find('*') != std::string::npos ? WildcardMatch(el, text, ci)
                                                            : MatchElement(el, text, anchorStart, anchorEnd, ci);
      if (hit) {
        found = static_cast<long long>(i) + 1;
        break;
      }
    }
  } else if (!upName.empty() && upName.find_first_of("*.:\\") == std::string::npos) {
    // The family NAME1, NAME2, ... in table order.
    in.vars.ForEach([&](const std::string& name, const std::string& value) {
      if (found || name.size() <= upName.size() || !StartsWith(name, upName)) return;
      const std::string_view digits = std::string_view(name).substr(upName.size());
      if (!AllDigits(digits)) return;
      const long long n = ValInt64(digits);
      if (n <= from) return;
      if (MatchElement(value, text, anchorStart, anchorEnd, ci)) found = n;
    });
  } else {
    std::string path = listName;
    if (path.empty()) {
      in.err.code = kErrNotFound;
      fileError = true;
    } else {
      if (path.find('*') != std::string::npos) {
        // The file matched by the pattern goes to FILE, which then takes
        // the place of NLINE: NLINE is left as it was.
        wildName = true;
        std::string resolved;
        const bool matched = in.system->FirstMatchingFile(path, resolved);
        if (matched) path = resolved;
        SetVariable(in, "FILE", matched ? resolved : std::string());
      }
      bool ok = false;
      const std::vector<std::string> lines = ReadLines(in, path, ok);
      if (!ok) {
        in.err.code = kErrNotFound;
        fileError = true;
      } else if (!text.empty()) {
        for (size_t i = static_cast<size_t>(from < 0 ? 0 : from); i < lines.size(); ++i) {
          if (MatchElement(lines[i], text, anchorStart, anchorEnd, ci)) {
            found = static_cast<long long>(i) + 1;
            break;
          }
        }
      }
    }
  }
  if (!fileError) in.err.code = savedError;

  if (found > 0) {
    ss.position = found;
    ss.started = true;
    if (!wildName) SetVariable(in, "NLINE", std::to_string(found));
    return true;
  }
  ss.position = 0;
  ss.started = false;
  if (!wildName) SetVariable(in, "NLINE", next ? kAbsent : std::string("0"));
  return false;
}

// SIZE, DATETIME and FREE: a value of the operand compared with the value
// after an operator; without an operator only the variable is set.
bool MeasureTest(Interp& in, const std::string& kw, std::string_view rest, bool negate, std::string_view& leftover) {
  std::string_view after;
  const std::string operand = Trim(in.Substituted(Operand(rest, in.sep.quote, after)));
  std::string measured;
  bool ok = false;
  if (kw == "SIZE") {
    uint64_t size = 0;
    ok = in.system->FileSize(operand, size);
    if (ok) measured = std::to_string(size);
  } else if (kw == "DATETIME") {
    ok = in.system->FileWriteTime(operand, measured);
  } else {
    uint64_t bytes = 0;
    ok = in.system->FreeBytes(operand, bytes);
    if (ok) measured = std::to_string(bytes);
  }
  SetVariable(in, kw, measured);
  std::string_view op;
  const size_t p = FindOperator(after, op);
  if (p == std::string_view::npos) {
    leftover = after;
    return false;
  }
  std::string_view tail = after.substr(p + op.size());
  std::string value;
  const std::string& q = in.sep.quote;
  const std::string_view lt = LTrimView(tail);
  if (kw == "DATETIME" && !q.empty() && StartsWith(lt, q)) {
    // A quoted value is another file whose date-time is compared.
    const std::string other = Trim(in.Substituted(Operand(lt, q, leftover)));
    if (!in.system->FileWriteTime(other, value)) return false;
  } else {
    value = FirstWord(tail, leftover);
  }
  if (!ok) return false;
  return Compare(in, measured, value, op, negate);
}

bool KeywordTest(Interp& in, const std::string& kw, std::string_view rest, bool negate, std::string_view& leftover,
                 bool& handled) {
  handled = true;
  if (kw == "SEARCH" || kw == "SEARCHNEXT") return SearchTest(in, rest, kw == "SEARCHNEXT", leftover) != negate;
  if (kw == "SIZE" || kw == "DATETIME" || kw == "FREE") return MeasureTest(in, kw, rest, negate, leftover);
  if (kw == "EXIST" || kw == "HOST" || kw == "MEMBER" || kw == "PRINTER" || kw == "SERVER" || kw == "SHARE") {
    const std::string operand = Trim(in.Substituted(Operand(rest, in.sep.quote, leftover)));
    bool r = false;
    System& sys = *in.system;
    if (kw == "EXIST") {
      r = sys.Exists(in, operand);
    } else if (kw == "HOST") {
      const std::string addr = sys.ResolveHost(operand);
      SetVariable(in, "HOST", addr);
      r = !addr.empty();
    } else if (kw == "MEMBER") {
      r = sys.IsGroupMember(in, operand);
    } else if (kw == "PRINTER") {
      r = sys.PrinterKnown(operand);
    } else if (kw == "SERVER") {
      r = sys.ServerReachable(operand);
    } else {
      r = sys.ShareReachable(operand);
    }
    return r != negate;
  }
  handled = false;
  return false;
}

bool Comparison(Interp& in, std::string_view rest, bool negate, std::string_view& leftover) {
  const std::string& q = in.sep.quote;
  if (!q.empty() && StartsWith(rest, q)) {
    // "left" op "right"
    const size_t p2 = rest.find(q, q.size());
    if (p2 == std::string_view::npos) {
      leftover = std::string_view();
      return false;
    }
    const std::string_view left = rest.substr(q.size(), p2 - q.size());
    const size_t p3 = rest.find(q, p2 + q.size());
    if (p3 == std::string_view::npos) {
      leftover = std::string_view();
      return false;
    }
    const std::string_view op = TrimView(rest.substr(p2 + q.size(), p3 - p2 - q.size()));
    const size_t p4 = rest.find(q, p3 + q.size());
    std::string_view right;
    if (p4 == std::string_view::npos) {
      right = rest.substr(p3 + q.size());
      leftover = std::string_view();
    } else {
      right = rest.substr(p3 + q.size(), p4 - p3 - q.size());
      leftover = rest.substr(p4 + q.size());
    }
    return Compare(in, left, right, op, negate);
  }
  std::string_view op;
  const size_t p = FindOperator(rest, op);
  if (p == std::string_view::npos) {
    leftover = std::string_view();
    return false;
  }
  const std::string_view left = TrimView(rest.substr(0, p));
  const std::string_view right = FirstWord(rest.substr(p + op.size()), leftover);
  return Compare(in, left, right, op, negate);
}

}  // namespace

size_t FindOperator(std::string_view text, std::string_view& op) {
  // The first position where an operator starts; at that position the table
  // order decides. The scan stops there, so a long line costs only its head.
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '=' && c != '<' && c != '>' && c != '^') continue;
    for (std::string_view o : kOperators) {
      if (text.compare(i, o.size(), o) == 0) {
        op = o;
        return i;
      }
    }
  }
  return std::string_view::npos;
}

bool Compare(Interp& in, std::string_view leftIn, std::string_view rightIn, std::string_view op, bool negate) {
  const std::string left = in.Substituted(leftIn);
  const std::string right = in.Substituted(rightIn);
  bool r = false;
  const std::string ln = ReplaceAllCopy(left, ",", "."), rn = ReplaceAllCopy(right, ",", ".");
  if (IsNumber(ln) && IsNumber(rn)) {
    const Num a = Val(ln), b = Val(rn);
    if (op == "=" || op == "==") r = a == b;
    else if (op == ">") r = a > b;
    else if (op == "<") r = a < b;
    else if (op == "<=" || op == "=<") r = !(a > b);
    else if (op == ">=" || op == "=>") r = !(a < b);
    else if (op == "<>") r = a != b;
  } else {
    const bool ci = in.sw.caseInsensitive;
    if (op == "^") {
      r = WildcardMatch(left, right, ci);
    } else {
      const std::string a = ci ? Upper(left) : left;
      const std::string b = ci ? Upper(right) : right;
      const int c = a.compare(b);
      if (op == "=" || op == "==") r = c == 0;
      else if (op == ">") r = c > 0;
      else if (op == "<") r = c < 0;
      else if (op == "<=" || op == "=<") r = c <= 0;
      else if (op == ">=" || op == "=>") r = c >= 0;
      else if (op == "<>") r = c != 0;
    }
  }
  return r != negate;
}

namespace {

// One test of a chain: an optional NOT, then a keyword test or a comparison.
// leftover receives the text after the test (a suffix of rest).
bool EvaluateTest(Interp& in, std::string_view rest, std::string_view& leftover) {
  bool negate = false;
  if (StartsWithNoCase(rest, "NOT")) {
    // No word boundary: NOTE=1 reads as NOT E=1.
    negate = true;
    rest = LTrimView(rest.substr(3));
  }
  std::string_view dummy;
  const std::string kw = Upper(FirstWord(rest, dummy));
  bool handled = false;
  const bool r = KeywordTest(in, kw, rest.substr(std::min(rest.size(), kw.size())), negate, leftover, handled);
  if (handled) return r;
  return Comparison(in, rest, negate, leftover);
}

// One OR or AND step of a chain: the accumulated value it captured.
struct ChainStep {
  bool isOr;
  bool accumulated;
};

}  // namespace

// A chain "IF a OR b AND c ..." is the left-to-right recursion "evaluate the
// test, then the rest of the line as a new condition, then combine", run here
// as a loop over the steps and a combination from the last step back, so a
// chain of any length needs neither deep recursion nor copies of the rest of
// the line. Every step is a condition of its own: it loses its first " THEN "
// and its first word (IF, OR or AND) like the line itself.
bool EvaluateCondition(Interp& in, std::string& lineText, ConditionState& cs) {
  std::string text = Trim(lineText);
  std::vector<ChainStep> steps;
  size_t at = 0;  // where the current condition starts in text
  size_t thenAt = FindNoCase(text, " THEN ");
  bool r = false;
  std::string_view left;
  for (;;) {
    // "IF A=1 THEN GOTO X" reads as "IF A=1 GOTO X".
    if (thenAt != std::string::npos && thenAt < at) thenAt = FindNoCase(text, " THEN ", at);
    if (thenAt != std::string::npos) {
      text.erase(thenAt, 5);
      thenAt = FindNoCase(text, " THEN ", thenAt);
    }
    const std::string_view cur = std::string_view(text).substr(at);
    const size_t sp = cur.find(' ');
    if (sp == std::string_view::npos) {
      r = false;
      left = std::string_view();
      break;
    }
    std::string_view leftover;
    r = EvaluateTest(in, LTrimView(cur.substr(sp + 1)), leftover);
    left = TrimView(leftover);

    const bool isOr = StartsWithNoCase(left, "OR ");
    const bool isAnd = !isOr && StartsWithNoCase(left, "AND ");
    if (isOr || isAnd) {
      if (isOr) {
        cs.orSeen = true;
        cs.accumulated = cs.accumulated || r;
      } else {
        cs.andSeen = true;
        cs.accumulated = cs.andSteps == 0 ? r : (r && cs.accumulated);
        ++cs.andSteps;
      }
      steps.push_back({isOr, cs.accumulated});
      const std::string_view whole(text);
      if (left.data() >= whole.data() && left.data() <= whole.data() + whole.size()) {
        at = static_cast<size_t>(left.data() - whole.data());
      } else {
        // Not a part of the line (no test hands back such a text): go on
        // with a copy.
        text = std::string(left);
        at = 0;
        thenAt = FindNoCase(text, " THEN ");
      }
      continue;
    }
    if (StartsWithNoCase(left, "THEN") && (left.size() == 4 || left[4] == ' ')) {
      cs.thenSeen = true;
      left = TrimView(left.substr(4));
    }
    break;
  }
  lineText = left.empty() ? std::string("@") : std::string(left);
  // From the last step back: an OR step keeps its result as the accumulated
  // value, an AND step does not.
  for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
    if (it->isOr) {
      r = r || it->accumulated;
      cs.accumulated = r;
    } else {
      r = r && it->accumulated;
    }
  }
  cs.result = r;
  return r;
}

}  // namespace kes
