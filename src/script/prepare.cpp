#include "script/prepare.h"

namespace kes {

namespace {

// A FOR line is substituted field by field so the loop variable's name
// keeps its letters: FOR %I%,1,%N% becomes FOR I,1,10.
void SubstituteForLine(Interp& in, std::string& l) {
  const std::string& sep = in.Sep();
  std::vector<std::string> f = SplitPlain(l + sep + sep + sep + sep, sep);
  RemoveChar(f[0], '%');
  if (in.sep.varDelim != "%") ReplaceAll(f[0], in.sep.varDelim, "");
  std::string joined = f[0];
  for (size_t i = 1; i < 4 && i < f.size(); ++i) joined += sep + f[i];
  in.Subst(joined);
  l = joined;
}

}  // namespace

void SplitCommandWord(std::string_view l, std::string& word, std::string& args) {
  const size_t eq = l.find('=');
  size_t cut;
  if (eq != std::string_view::npos) {
    const size_t sp = l.substr(0, eq).find(' ');
    cut = sp != std::string_view::npos ? sp : eq;
  } else {
    cut = l.find(' ');
  }
  if (cut == std::string_view::npos) {
    word = Upper(l);
    args.clear();
  } else {
    word = Upper(l.substr(0, cut));
    args.assign(l.substr(cut + 1));
  }
}

std::string FirstWordUpper(std::string_view l) {
  const size_t eq = l.find('=');
  std::string_view w = l.substr(0, eq);
  w = w.substr(0, w.find(' '));
  return Upper(w);
}

bool IsCommentLine(std::string_view l) {
  if (TrimView(l).empty()) return true;
  const char c = l[0];
  if (c == '#' || c == ';' || c == '\'') return true;
  return StartsWithNoCase(l, "REM ");
}

void CleanLine(std::string& l) {
  RemoveChar(l, '\t');
  size_t b = 0;
  while (b < l.size() && l[b] == ' ') ++b;
  if (b) l.erase(0, b);
}

bool IsEndifLine(std::string_view u) {
  const size_t sp = u.find(' ');
  const std::string_view w1 = u.substr(0, sp);
  if (EqualsNoCase(w1, "ENDIF")) return true;
  if (!EqualsNoCase(w1, "END") || sp == std::string_view::npos) return false;
  const std::string_view rest = TrimView(u.substr(sp + 1));
  return EqualsNoCase(rest.substr(0, rest.find(' ')), "IF");
}

void SplitLineWords(std::string_view l, std::string& word, std::string& args, std::string& second) {
  SplitCommandWord(l, word, args);
  {
    const std::string_view a = TrimView(args);
    second = Upper(a.substr(0, a.find(' ')));
  }
  if ((word == "END" || word == "EXIT") && (second == "SUB" || second == "FOR")) {
    word = "EXIT" + second;
    std::string_view a = LTrimView(args);
    a.remove_prefix(std::min(a.size(), second.size()));
    args = LTrim(a);
    const std::string_view b = TrimView(args);
    second = Upper(b.substr(0, b.find(' ')));
  }
}

void TableLabelOrSub(ScriptLevel& level, std::string_view l, int i) {
  size_t b = 0;
  while (b < l.size() && (l[b] == ' ' || l[b] == '\t')) ++b;
  const std::string_view copy = l.substr(b);
  if (!copy.empty() && copy[0] == ':') {
    level.labels.push_back(Label{Upper(RTrimView(TrimBlanks(copy.substr(1)))), i});
  } else if (copy.size() >= 4 && Upper(copy.substr(0, 4)) == "SUB ") {
    level.subs.push_back(Label{Trim(copy.substr(4)), i + 1});
  }
}

std::string EncodeBlockLine(int number, std::string_view line) {
  std::string c(line);
  ReplaceAll(c, std::string_view("\0", 1), std::string_view("\xFF\x01\xFF\x01\xFF", 5));
  ReplaceAll(c, "\r\n", "\xFE\x01\xFE\x01\xFE");
  return std::to_string(900000 + number) + c + "\r\n";
}

void DecodeBlockLine(std::string& line) {
  ReplaceAll(line, std::string_view("\xFF\x01\xFF\x01\xFF", 5), std::string_view("\0", 1));
  ReplaceAll(line, "\xFE\x01\xFE\x01\xFE", "\r\n");
}

bool IsBlockIfLine(std::string_view line) {
  const std::string_view u = TrimView(line);
  return StartsWithNoCase(u, "IF") && u.size() >= 4 && EqualsNoCase(u.substr(u.size() - 4), "THEN");
}

bool LoopFinished(const ForRecord& f) {
  if (f.exit) return true;
  return (f.step > 0 && f.end < f.start) || (f.step < 0 && f.end > f.start);
}

Prepared PrepareLine(Interp& in, std::string& L, bool lineOnly, BlockStacks& st) {
  LineState& ln = in.line;
  Frame& frame = in.run.CurrentFrame();

  // 1-3: clean the line and remember it
  ++frame.line;
  ln.lastRaw = L;
  CleanLine(L);
  ln.commandText = L;
  ln.location = frame.name + "[" + std::to_string(frame.line) + "]";

  // 4: "@" lines are dropped silently
  if (!L.empty() && L[0] == '@') return Prepared::Finished;

  // 5: comments
  const bool comment = IsCommentLine(L);
  if (comment && !L.empty() && L[0] == '#') {
    L.erase(0, 1);
    ln.commandText = L;
    in.system->Trace(in, ">", L);
    return Prepared::Finished;
  }

  // 6-7
  const bool hasDelim = L.find(in.sep.varDelim) != std::string::npos;
  const std::string word1 = FirstWordUpper(L);

  // 8: inside a SWITCH whose current case does not match, only SWITCH lines run
  if (!st.switches.empty()) {
    const SwitchRecord& s = st.switches.back();
    if (s.active && !s.matched && word1 != "SWITCH") return Prepared::Finished;
  }

  // 9: ADMIN block collection
  if (in.run.adminCollecting) {
    if (word1 == "ADMIN") {
      in.run.adminCollecting = false;
    } else if (!TrimView(L).empty()) {
      in.run.adminBlock += EncodeBlockLine(in.run.adminLines, L);
      ++in.run.adminLines;
      if (FindNoCase(L, "CALLSUB ") != std::string::npos) in.run.adminCallsSubs = true;
      return Prepared::Finished;
    }
  }

  // 10: labels
  if (!L.empty() && L[0] == ':') return Prepared::Finished;

  // 11: substitution (IF lines substitute their own operands)
  if (hasDelim && st.IfAllows() && !comment) {
    if (word1 == "IF") {
    } else if (word1 == "FOR") {
      SubstituteForLine(in, L);
    } else {
      in.Subst(L);
    }
  }

  // 12: a loop with nothing left to run skips its body up to NEXT
  if (!lineOnly && !st.fors.empty() && LoopFinished(st.fors.back()) && word1 != "FOR" && word1 != "NEXT")
    return Prepared::Finished;

  // 13: block words
  bool endif = false;
  {
    // Tested without an upper-case copy: this runs for every line.
    const std::string_view U = TrimView(L);
    if (IsBlockIfLine(U)) {
      st.PushIf(true);
    } else if (EqualsNoCase(U, "ELSE")) {
      if (st.IfDepth() > 0) {
        st.SetTopIf(!st.TopIf());
        return Prepared::Finished;
      }
      return Prepared::Epilogue;
    } else if (IsEndifLine(U)) {
      if (st.IfDepth() > 0) {
        st.SetTopIf(false);
        st.PopIf();
      } else {
        return Prepared::Epilogue;
      }
      endif = true;
    }
  }

  // 14-15
  if (!lineOnly && !st.IfAllows()) return Prepared::Finished;
  if (comment || endif) return Prepared::Finished;

  // 16-17: command word, argument text, second word
  SplitLineWords(L, ln.word, ln.args, ln.second);

  return Prepared::Run;
}

Prepared PrepareCommand(Interp& in, const std::string& L, uint8_t flags) {
  LineState& ln = in.line;

  // 18: trace
  if (!(flags & kNotTraced)) in.system->Trace(in, ">", L);

  // 19: lines attached to a box are collected, not run
  if (flags & kOpensBoxLines) {
  } else if (flags & kEndsBoxLines) {
    in.run.boxCollecting = false;
  } else if (ln.word == "#IGNOREBOX" || ln.word == "#OPTIONALBOX") {
    return Prepared::Finished;
  } else if (in.run.boxCollecting) {
    // The runner reads exactly four digits back; later lines show 9999,
    // the highest number the box lines carry.
    in.run.boxBlock += ZeroPad(std::min(in.run.CurrentFrame().line, 9999), 4) + ln.commandText + "\xFF\xFE";
    return Prepared::Finished;
  }

  // 20: most commands start with a clean error code
  if (!(flags & kKeepsError)) in.err.code = 0;
  return Prepared::Run;
}

void PerLineResets(Interp& in) {
  if (in.sep.keepSepOneLine) {
    in.sep.keepSepOneLine = false;
  } else {
    in.sep.argSep = in.sep.defaultSep.empty() ? std::string(",") : in.sep.defaultSep;
  }
  if (in.sep.keepQuoteOneLine) {
    in.sep.keepQuoteOneLine = false;
  } else {
    in.sep.quote = "\"";
  }
}

}  // namespace kes
