// kesreference: writes the command reference (docs/reference.md) from the
// command table itself. Built on the build machine from
// src/interp/command_table.cpp and a file of stand-in handlers (made by
// cmake/make-reference.sh from the table's undefined symbols, with their
// names), so every row of the table, and only the table, makes the
// reference. Examples are the script tests tests/scripts/reference/<word>.kes:
// the suite runs them, so what the reference shows is what the program does.
// An example may stand for more words of its row (a "; words:" line).
// The error codes of a word are those its description names and those its
// handler sets by name (the kErr... constants of interp/errors.h used in the
// handler's body, read from the sources).
//
// It also writes the editor grammar from its template, with every command
// word of the table in place of @COMMANDS@.
//
//   kesreference <examples folder> <output file> <source folder> [<grammar template> <grammar>]
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "interp/dispatcher.h"

// Filled by the generated stand-ins: each handler's address and name.
struct HandlerName {
  kes::Handler handler;
  const char* name;
};
extern const HandlerName kHandlerNames[];
extern const size_t kHandlerNameCount;

namespace {

std::vector<std::string> Words(std::string_view words) {
  std::vector<std::string> out;
  size_t p = 0;
  while (p < words.size()) {
    size_t e = words.find(' ', p);
    if (e == std::string_view::npos) e = words.size();
    out.emplace_back(words.substr(p, e - p));
    p = e + 1;
  }
  return out;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

const char* HandlerNameOf(kes::Handler h) {
  for (size_t i = 0; i < kHandlerNameCount; ++i)
    if (kHandlerNames[i].handler == h) return kHandlerNames[i].name;
  return nullptr;
}

// The facts of one word, in words.
std::string Facts(uint8_t f) {
  std::vector<std::string> out;
  if (f & kes::kNotLogged) out.push_back("a failure is not written to the log");
  if (f & kes::kKeepsError)
    out.push_back("the error code is not reset before it runs (ERROR keeps the previous value)");
  if (f & kes::kNoErrorTrace) out.push_back("no error record in the trace window");
  if (f & kes::kNotTraced) out.push_back("never shown in the trace window");
  if (f & kes::kOpensBoxLines) out.push_back("starts collecting the lines that follow it, up to the next wait");
  if (f & kes::kEndsBoxLines) out.push_back("ends the collection of box lines");
  std::string s;
  for (size_t i = 0; i < out.size(); ++i) s += (i ? "; " : "") + out[i];
  return s;
}

// The error codes a description names ("53 for a missing file").
std::set<long> ErrorCodes(std::string_view does) {
  std::set<long> out;
  for (size_t i = 0; i < does.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(does[i])) ||
        (i > 0 && std::isalnum(static_cast<unsigned char>(does[i - 1]))))
      continue;
    size_t e = i;
    while (e < does.size() && std::isdigit(static_cast<unsigned char>(does[e]))) ++e;
    const std::string_view after = does.substr(e);
    if (after.rfind(" for ", 0) == 0 || after.rfind(" when ", 0) == 0 || after.rfind(" if ", 0) == 0 ||
        after.rfind(" without ", 0) == 0)
      out.insert(std::stol(std::string(does.substr(i, e - i))));
    i = e;
  }
  return out;
}

bool ReadFile(const std::string& path, std::string& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::ostringstream s;
  s << f.rdbuf();
  out = s.str();
  out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
  return true;
}

bool IsIdent(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The named error codes: "inline constexpr int32_t kErrNotFound = 53;".
std::map<std::string, long> ErrorNames(const std::string& errorsH) {
  std::map<std::string, long> out;
  std::string text;
  if (!ReadFile(errorsH, text)) return out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    const size_t k = line.find("kErr");
    const size_t eq = line.find(" = ", k == std::string::npos ? 0 : k);
    if (k == std::string::npos || eq == std::string::npos || line.find("constexpr") == std::string::npos) continue;
    size_t e = k;
    while (e < line.size() && IsIdent(line[e])) ++e;
    try {
      out[line.substr(k, e - k)] = std::stol(line.substr(eq + 3));
    } catch (...) {
    }
  }
  return out;
}

// For each handler defined in the sources ("void CmdX(Interp& ...) {"), the
// codes of the kErr... names its body uses.
std::map<std::string, std::set<long>> HandlerCodes(const std::string& srcFolder) {
  std::map<std::string, std::set<long>> out;
  const auto names = ErrorNames(srcFolder + "/interp/errors.h");
  std::error_code ec;
  for (const auto& f : std::filesystem::recursive_directory_iterator(srcFolder, ec)) {
    if (f.path().extension() != ".cpp") continue;
    std::string text;
    if (!ReadFile(f.path().string(), text)) continue;
    for (size_t p = text.find("\nvoid Cmd"); p != std::string::npos; p = text.find("\nvoid Cmd", p + 1)) {
      const size_t nameAt = p + 6;
      size_t e = nameAt;
      while (e < text.size() && IsIdent(text[e])) ++e;
      const size_t close = text.find(')', e);
      if (close == std::string::npos || text.compare(e, 8, "(Interp&") != 0) continue;
      size_t open = close + 1;
      while (open < text.size() && (text[open] == ' ' || text[open] == '\n')) ++open;
      if (open >= text.size() || text[open] != '{') continue;  // a declaration
      auto& codes = out[text.substr(nameAt, e - nameAt)];
      int depth = 0;
      for (size_t i = open; i < text.size(); ++i) {
        if (text[i] == '{') ++depth;
        else if (text[i] == '}' && --depth == 0) break;
        else if (text.compare(i, 4, "kErr") == 0 && !IsIdent(text[i - 1])) {
          size_t j = i;
          while (j < text.size() && IsIdent(text[j])) ++j;
          const auto it = names.find(text.substr(i, j - i));
          if (it != names.end() && it->second > 0) codes.insert(it->second);
          i = j - 1;
        }
      }
    }
  }
  return out;
}

// The example as a reader sees it: without the test harness's directives.
std::string ExampleText(const std::string& text, std::string& form, std::string& words) {
  std::istringstream in(text);
  std::string line, out;
  while (std::getline(in, line)) {
    if (line.rfind("; form: ", 0) == 0) {
      form = line.substr(8);
      continue;
    }
    if (line.rfind("; words: ", 0) == 0) {
      words = line.substr(9);
      continue;
    }
    if (line.rfind("; expect-exit:", 0) == 0 || line.rfind("; args:", 0) == 0 || line.rfind("; cmdline:", 0) == 0 ||
        line.rfind("; env:", 0) == 0)
      continue;
    out += line + "\n";
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 6) {
    std::fprintf(stderr,
                 "usage: kesreference <examples folder> <output file> <source folder> [<grammar template> "
                 "<grammar>]\n");
    return 2;
  }
  const std::string examples = argv[1];
  const auto handlerCodes = HandlerCodes(argv[3]);
  size_t count = 0;
  const kes::CommandRow* rows = kes::CommandRows(count);

  // One entry per word, from the first row that lists it (dispatch order).
  struct Entry {
    const kes::CommandRow* row;
    size_t rowNumber;
    int index;
  };
  std::map<std::string, Entry> entries;
  for (size_t r = 0; r < count; ++r) {
    const auto words = Words(rows[r].words);
    for (size_t i = 0; i < words.size(); ++i) entries.emplace(words[i], Entry{&rows[r], r + 1, static_cast<int>(i)});
  }

  // The examples: <word>.kes, standing also for the words of its row that its
  // "; words:" line names.
  struct Example {
    std::string file, shown, form, output, answers;
  };
  std::map<std::string, Example> exampleOf;
  std::error_code ec;
  for (const auto& f : std::filesystem::directory_iterator(examples, ec)) {
    if (f.path().extension() != ".kes") continue;
    const std::string stem = f.path().stem().string();
    std::string upper = stem;
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const auto own = entries.find(upper);
    if (own == entries.end()) {
      std::fprintf(stderr, "kesreference: %s names no command word of the table\n", f.path().string().c_str());
      return 1;
    }
    std::string text, words;
    ReadFile(f.path().string(), text);
    Example ex;
    ex.file = "tests/scripts/reference/" + stem + ".kes";
    ex.shown = ExampleText(text, ex.form, words);
    std::string out;
    if (ReadFile(examples + "/" + stem + ".out", out)) ex.output = out;
    // A box example runs unattended (its "; cmdline:" names the answer file).
    if (ReadFile(examples + "/" + stem + ".answers", out)) ex.answers = out;
    exampleOf[upper] = ex;
    for (const auto& w : Words(words)) {
      const auto it = entries.find(w);
      if (w.empty() || w == upper) continue;
      if (it == entries.end() || it->second.row != own->second.row) {
        std::fprintf(stderr, "kesreference: %s: %s is not a word of the row of %s\n", f.path().string().c_str(),
                     w.c_str(), upper.c_str());
        return 1;
      }
      exampleOf.emplace(w, ex);
    }
  }
  std::string out;
  out += "# Command reference\n\n";
  out +=
      "Generated from the command table (`src/interp/command_table.cpp`) by\n"
      "`ninja -C build/win reference`; do not edit by hand. Each entry gives the\n"
      "command's one-line description, the handler, the facts of the word, the\n"
      "result variable and, where one exists, an example: the examples are the\n"
      "script tests `tests/scripts/reference/<word>.kes`, run by the test suite.\n\n";
  out +=
      "In the examples, `%KTEST_OUT%` is the file whose content the test compares\n"
      "with the text shown under \"It writes\", `%KTEST_DIR%` an empty scratch\n"
      "folder and `%KTEST_BIN%` the folder of Kestrova.exe and of the test\n"
      "program kesprobe.exe (it exits with the code given as `exit:N`, sleeps\n"
      "with `sleep:ms`). An example may stand for several words of its row.\n\n";
  out +=
      "Every command leaves its result, when it gives one, in the variable named\n"
      "like the command word (a list command also sets `N` followed by the word\n"
      "to the number of elements), and its error code in `ERROR` (0: success).\n"
      "A word without a handler in this build answers like an unknown word:\n"
      "error 1, logged as \"Syntax : \" and the line.\n\n"
      "The error codes listed for a word are those its description names and\n"
      "those its handler sets by name; a code that comes from the system (the\n"
      "Windows error of a failed call, the exit code of a program) is not listed.\n"
      "Any command can also end with 1 (bad arguments) or 7 (out of memory).\n\n";
  std::string index;
  int built = 0;
  for (const auto& [word, e] : entries)
    if (e.row->handler) ++built;
  out += std::to_string(entries.size()) + " command words, " + std::to_string(built) + " of them built.\n\n";
  for (const auto& [word, e] : entries) index += "[" + word + "](#" + Lower(word) + ") ";
  out += index + "\n\n";

  for (const auto& [word, e] : entries) {
    out += "## " + word + "\n\n" + std::string(e.row->does) + "\n\n";
    const char* handler = e.row->handler ? HandlerNameOf(e.row->handler) : nullptr;
    if (!e.row->handler) out += "- Handler: not built in this version.\n";
    else out += std::string("- Handler: `") + (handler ? handler : "?") + "`\n";
    const auto words = Words(e.row->words);
    if (words.size() > 1) {
      std::string others;
      for (const auto& w : words)
        if (w != word) others += (others.empty() ? "" : ", ") + w;
      out += "- Shares its handler with: " + others + "\n";
    }
    out += "- Result: `%" + word + "%`\n";
    std::set<long> codeSet = ErrorCodes(e.row->does);
    if (handler) {
      const auto hc = handlerCodes.find(handler);
      if (hc != handlerCodes.end()) codeSet.insert(hc->second.begin(), hc->second.end());
    }
    if (!codeSet.empty()) {
      std::string codes;
      for (long code : codeSet) codes += (codes.empty() ? "" : ", ") + std::to_string(code);
      out += "- Error codes: " + codes + "\n";
    }
    const std::string facts = Facts(e.row->flags[e.index]);
    if (!facts.empty()) out += "- Facts: " + facts + "\n";
    const auto ex = exampleOf.find(word);
    if (ex != exampleOf.end()) {
      if (!ex->second.form.empty()) out += "- Form: `" + ex->second.form + "`\n";
      out += "\nExample (`" + ex->second.file + "`):\n\n```\n" + ex->second.shown + "```\n";
      if (!ex->second.answers.empty())
        out += "\nRun unattended (`Kestrova.exe /ANSWERS answers.txt script`, see `docs/tools.md`), the boxes "
               "taking these answers in order:\n\n```\n" +
               ex->second.answers + "```\n";
      if (!ex->second.output.empty()) out += "\nIt writes:\n\n```\n" + ex->second.output + "```\n";
    } else if (!e.row->handler) {
      out += "- Example: none (not built in this version).\n";
    } else {
      out += "- Example: none yet.\n";
    }
    out += "\n";
  }

  if (argc == 6) {
    std::string grammar;
    if (!ReadFile(argv[4], grammar)) {
      std::perror(argv[4]);
      return 1;
    }
    // Longest first, each letter as itself (a word that is not letters and
    // digits is escaped for the pattern and for JSON).
    std::vector<std::string> words;
    for (const auto& [word, e] : entries) words.push_back(word);
    std::stable_sort(words.begin(), words.end(),
                     [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    std::string alt;
    for (const auto& w : words) {
      if (!alt.empty()) alt += '|';
      for (char c : w) {
        if (!std::isalnum(static_cast<unsigned char>(c))) alt += "\\\\";
        alt += c;
      }
    }
    const size_t at = grammar.find("@COMMANDS@");
    if (at == std::string::npos) {
      std::fprintf(stderr, "kesreference: %s has no @COMMANDS@\n", argv[4]);
      return 1;
    }
    grammar.replace(at, 10, alt);
    FILE* g = std::fopen(argv[5], "wb");
    if (!g) {
      std::perror(argv[5]);
      return 1;
    }
    std::fwrite(grammar.data(), 1, grammar.size(), g);
    std::fclose(g);
  }

  FILE* f = std::fopen(argv[2], "wb");
  if (!f) {
    std::perror(argv[2]);
    return 1;
  }
  std::fwrite(out.data(), 1, out.size(), f);
  std::fclose(f);
  return 0;
}
