#include "sysadmin/launch_text.h"

#include <algorithm>
#include <utility>

#include "interp/text.h"

namespace kes {

namespace {

// A file name as cmd reads it after ">" or TYPE: quoted when it holds a blank.
std::string ShellName(const std::string& name) {
  return name.find(' ') == std::string::npos ? name : "\"" + name + "\"";
}

}  // namespace

bool EchoCarries(std::string_view t) {
  if (t.empty()) return false;
  for (const char ch : t) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 && c != '\t') return false;
    switch (c) {
      case '&':
      case '|':
      case '<':
      case '>':
      case '^':
      case '%':
      case '"': return false;
      default: break;
    }
  }
  const std::string u = Upper(TrimBlanks(t));
  if (u == "ON" || u == "OFF" || StartsWith(u, "/?")) return false;
  return true;
}

CaptureCommand PrepareCapture(std::string_view command, std::string_view stdinText, const CaptureFiles& f) {
  CaptureCommand r;
  std::string redirect = " >" + ShellName(f.out);
  if (f.isNT) redirect += " 2>" + ShellName(f.err);

  // Where the program part begins: after the prefix the command already
  // holds, or after the prefix put in front of it.
  const size_t at = FindNoCase(command, f.prefix);
  std::string head, body;
  if (at != std::string_view::npos) {
    head.assign(command.substr(0, at + f.prefix.size()));
    body.assign(command.substr(at + f.prefix.size()));
  } else {
    head = f.prefix;
    body.assign(command);
  }

  if (!stdinText.empty()) {
    std::string feeder;
    if (stdinText == "\r\n") {
      feeder = "ECHO.";
    } else if (EchoCarries(stdinText)) {
      feeder = "ECHO ";
      feeder += stdinText;
      if (head.size() + feeder.size() + 1 + body.size() + redirect.size() > kShellLineLimit) feeder.clear();
    }
    if (feeder.empty()) {
      // ECHO would change or run the text: the program reads it from a file.
      r.inputFile = true;
      r.inputText.assign(stdinText);
      if (r.inputText.back() != '\n') r.inputText += "\r\n";
      feeder = "TYPE " + ShellName(f.in);
    }
    body = feeder + "|" + body;
  }
  r.commandLine = head + body + redirect;
  return r;
}

std::string EnvironmentBlock(std::string_view cur) {
  std::string block;
  int taken = 0;
  size_t p = 0;
  while (p < cur.size() && taken < 255) {
    size_t e = cur.find('\0', p);
    if (e == std::string_view::npos) e = cur.size();
    if (e == p) break;  // the empty entry ends the block
    const std::string_view entry = cur.substr(p, e - p);
    if (entry.find('=') != std::string_view::npos) {
      block.append(entry);
      block += '\0';
      ++taken;
    }
    p = e + 1;
  }
  if (block.empty()) block += '\0';
  block += '\0';
  return block;
}

AccountFields SplitAccountText(std::string_view text, std::string_view sep, std::string_view quote) {
  // Start offsets of the fields, cutting at the separator outside quotes.
  auto starts = [&](std::string_view cut, bool runs) {
    std::vector<size_t> s{0};
    std::vector<size_t> ends;
    bool inQuote = false;
    size_t i = 0;
    while (i < text.size()) {
      if (!quote.empty() && text.compare(i, quote.size(), quote) == 0) {
        inQuote = !inQuote;
        i += quote.size();
        continue;
      }
      if (!inQuote && !cut.empty() && text.compare(i, cut.size(), cut) == 0) {
        ends.push_back(i);
        i += cut.size();
        if (runs)
          while (i < text.size() && text.compare(i, cut.size(), cut) == 0) i += cut.size();
        s.push_back(i);
        continue;
      }
      ++i;
    }
    ends.push_back(text.size());
    return std::pair{s, ends};
  };
  auto cuts = starts(sep, false);
  if (cuts.first.size() < 4) cuts = starts(" ", true);
  const std::vector<size_t>& s = cuts.first;
  const std::vector<size_t>& e = cuts.second;

  AccountFields a;
  if (s.size() < 4) {
    a.commandLine = Trim(text);
    return a;
  }
  auto field = [&](size_t k) { return Unquote(Trim(text.substr(s[k], e[k] - s[k])), quote); };
  a.account = field(0);
  a.domain = field(1);
  a.password = field(2);
  a.commandLine = RTrim(LTrimView(text.substr(s[3])));
  a.fromText = true;
  return a;
}

void AppendLines(std::string_view text, std::vector<std::string>& out) {
  for (const std::string_view l : LinesOf(text)) out.emplace_back(l);
}

void LineAssembler::Add(char* bytes, size_t n) {
  if (convert_) convert_(bytes, n);
  const std::string_view text(bytes, n);
  size_t more = 1;
  for (size_t p = text.find('\n'); p != std::string_view::npos; p = text.find('\n', p + 1)) ++more;
  const size_t need = lines_.size() + more;
  if (need > lines_.capacity()) lines_.reserve(std::max(need, lines_.capacity() + lines_.capacity() / 4));
  AppendLines(text, lines_);
}

void LineAssembler::Feed(char* bytes, size_t n) {
  const std::string_view chunk(bytes, n);
  const size_t last = chunk.rfind('\n');
  if (last == std::string_view::npos) {
    carry_.append(bytes, n);
    return;
  }
  size_t from = 0;
  if (!carry_.empty()) {
    const size_t first = chunk.find('\n');
    carry_.append(bytes, first + 1);
    Add(&carry_[0], carry_.size());
    carry_.clear();
    from = first + 1;
  }
  if (last + 1 > from) Add(bytes + from, last + 1 - from);
  carry_.assign(bytes + last + 1, n - last - 1);
}

void LineAssembler::Finish() {
  if (carry_.empty()) return;
  Add(&carry_[0], carry_.size());
  carry_.clear();
}

}  // namespace kes
