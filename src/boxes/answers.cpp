#include "boxes/answers.h"

#include "interp/text.h"

namespace kes {

namespace {

const std::string kEsc(1, '\x1B');

bool InList(std::string_view a, const std::vector<std::string>& list) {
  for (const auto& s : list)
    if (s == a) return true;
  return false;
}

// The numbers of the items to mark: "1,3" or "1 3"; empty: none.
bool ParseMarks(std::string_view line, size_t count, std::vector<std::string>& marks) {
  marks.assign(count, "0");
  std::string t(line);
  ReplaceAll(t, ",", " ");
  for (const auto& f : SplitPlain(t, " ")) {
    if (f.empty()) continue;
    if (!AllDigits(f)) return false;
    const int32_t n = ValInt(f);
    if (n < 1 || static_cast<size_t>(n) > count) return false;
    marks[static_cast<size_t>(n - 1)] = "1";
  }
  return true;
}

// Turns one line into the box's answer; false when the box would refuse it.
bool Decide(const BoxOffer& o, const std::string& line, BoxAnswer& r) {
  if (line == kEscapeAnswer) {
    r.answer = kEsc;
    return true;
  }
  switch (o.kind) {
    case BoxKind::Echo: r.answer.clear(); return true;
    case BoxKind::EchoError: r.answer.clear(); return true;
    case BoxKind::AskOk:
      if (!EqualsNoCase(Trim(line), "OK")) return false;
      r.answer = "OK";
      return true;
    case BoxKind::Ask:
      if (!AskAnswerAccepted(line, o.items, o.mandatory, o.noSensitive, o.hasInitial)) return false;
      r.answer = line;
      return true;
    case BoxKind::AskButton: {
      // At most 16 buttons are shown.
      std::vector<std::string> shown(o.items.begin(),
                                     o.items.begin() + static_cast<long>(std::min<size_t>(o.items.size(), 16)));
      if (!InList(line, shown)) return false;
      r.answer = line;
      return true;
    }
    case BoxKind::AskCheck:
      if (InList(line, o.buttonLabels)) {
        r.marks.assign(o.items.size(), "0");
        r.answer = line;
        return true;
      }
      if (!ParseMarks(line, o.items.size(), r.marks)) return false;
      r.answer = "OK";
      return true;
    case BoxKind::AskList:
      if (!InList(line, o.items) && !InList(line, o.buttonLabels)) return false;
      r.answer = line;
      return true;
    case BoxKind::AskMulti: {
      std::vector<std::string> f = SplitPlain(line, "|");
      f.resize(o.items.size());
      r.fields = std::move(f);
      r.answer = "OK";
      return true;
    }
    case BoxKind::Path:
    case BoxKind::Dialog: r.answer = line; return true;
  }
  return false;
}

std::string Shown(const BoxOffer& o, const std::string& line) {
  if (line == kEscapeAnswer) return std::string(kEscapeAnswer);
  return o.masked ? std::string(line.size(), '*') : line;
}

}  // namespace

bool AskAnswerAccepted(std::string_view answer, const std::vector<std::string>& valid, bool mandatory, bool noSensitive,
                       bool hasInitial) {
  if (!mandatory || hasInitial || valid.size() < 2) return true;
  const std::string a = noSensitive ? Upper(answer) : std::string(answer);
  for (const auto& s : valid) {
    const std::string v = noSensitive ? Upper(RTrim(s)) : RTrim(s);
    if (v == a) return true;
  }
  return false;
}

void AnswerFeed::Load(std::string_view text, std::string_view fileName) {
  active_ = true;
  file_.assign(fileName);
  lines_.clear();
  next_ = 0;
  std::string t(text);
  ReplaceAll(t, "\r\n", "\n");
  std::vector<std::string> lines = SplitPlain(t, "\n");
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  for (auto& l : lines) {
    if (StartsWith(l, ";;")) {
      lines_.push_back(l.substr(1));
    } else if (!StartsWith(l, ";")) {
      lines_.push_back(std::move(l));
    }
  }
}

BoxAnswer AnswerFeed::Answer(const BoxOffer& o, std::vector<std::string>& log) {
  BoxAnswer r;
  const std::string head = "ANSWERS " + o.word + " [" + o.caption + "]";
  while (next_ < lines_.size()) {
    const std::string& line = lines_[next_++];
    BoxAnswer tried;
    if (Decide(o, line, tried)) {
      log.push_back(head + " : " + Shown(o, line));
      return tried;
    }
    log.push_back(head + " : " + Shown(o, line) + " (refused, the next answer is taken)");
  }
  log.push_back(head + " : no answer left, the box is cancelled");
  r.answer = kEsc;
  return r;
}

bool TakeAnswersWord(std::string& args, std::string& file) {
  const std::string u = Upper(args);
  size_t p = 0;
  for (;;) {
    p = u.find("/ANSWERS", p);
    if (p == std::string::npos) return false;
    const bool startOk = p == 0 || u[p - 1] == ' ';
    const size_t e = p + 8;
    if (startOk && e < u.size() && u[e] == ' ') break;
    p = e;
  }
  size_t n = p + 8;
  while (n < args.size() && args[n] == ' ') ++n;
  size_t end;
  if (n < args.size() && args[n] == '"') {
    end = args.find('"', n + 1);
    file = args.substr(n + 1, end == std::string::npos ? std::string::npos : end - n - 1);
    end = end == std::string::npos ? args.size() : end + 1;
  } else {
    end = args.find(' ', n);
    if (end == std::string::npos) end = args.size();
    file = args.substr(n, end - n);
  }
  if (file.empty()) return false;
  args = Trim(args.substr(0, p) + args.substr(end));
  return true;
}

}  // namespace kes
