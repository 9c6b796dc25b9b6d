// kesreference: writes the command reference (docs/reference.md) from the
// command table itself. Built on the build machine from
// src/interp/command_table.cpp and a file of stand-in handlers (made by
// cmake/make-reference.sh from the table's undefined symbols, with their
// names), so every row of the table, and only the table, makes the
// reference. Examples are the script tests tests/scripts/reference/<word>.kes:
// the suite runs them, so what the reference shows is what the program does.
//
// It also writes the editor grammar from its template, with every command
// word of the table in place of @COMMANDS@.
//
//   kesreference <examples folder> <output file> [<grammar template> <grammar>]
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
std::string ErrorCodes(std::string_view does) {
  std::string out;
  for (size_t i = 0; i < does.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(does[i])) ||
        (i > 0 && std::isalnum(static_cast<unsigned char>(does[i - 1]))))
      continue;
    size_t e = i;
    while (e < does.size() && std::isdigit(static_cast<unsigned char>(does[e]))) ++e;
    const std::string_view after = does.substr(e);
    if (after.rfind(" for ", 0) == 0 || after.rfind(" when ", 0) == 0 || after.rfind(" if ", 0) == 0) {
      if (!out.empty()) out += ", ";
      out += std::string(does.substr(i, e - i));
    }
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

// The example as a reader sees it: without the test harness's directives.
std::string ExampleText(const std::string& text, std::string& form) {
  std::istringstream in(text);
  std::string line, out;
  while (std::getline(in, line)) {
    if (line.rfind("; form: ", 0) == 0) {
      form = line.substr(8);
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
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: kesreference <examples folder> <output file> [<grammar template> <grammar>]\n");
    return 2;
  }
  const std::string examples = argv[1];
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

  // Every example must name a word of the table.
  std::set<std::string> used;
  std::string out;
  out += "# Command reference\n\n";
  out +=
      "Generated from the command table (`src/interp/command_table.cpp`) by\n"
      "`ninja -C build/win reference`; do not edit by hand. Each entry gives the\n"
      "command's one-line description, the handler, the facts of the word, the\n"
      "result variable and, where one exists, an example: the examples are the\n"
      "script tests `tests/scripts/reference/<word>.kes`, run by the test suite.\n\n";
  out +=
      "Every command leaves its result, when it gives one, in the variable named\n"
      "like the command word (a list command also sets `N` followed by the word\n"
      "to the number of elements), and its error code in `ERROR` (0: success).\n"
      "A word without a handler in this build answers like an unknown word:\n"
      "error 1, logged as \"Syntax : \" and the line.\n\n";
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
    const std::string codes = ErrorCodes(e.row->does);
    if (!codes.empty()) out += "- Error codes named: " + codes + "\n";
    const std::string facts = Facts(e.row->flags[e.index]);
    if (!facts.empty()) out += "- Facts: " + facts + "\n";
    std::string text;
    const std::string file = "tests/scripts/reference/" + Lower(word) + ".kes";
    if (ReadFile(examples + "/" + Lower(word) + ".kes", text)) {
      used.insert(Lower(word));
      std::string form;
      const std::string shown = ExampleText(text, form);
      if (!form.empty()) out += "- Form: `" + form + "`\n";
      out += "\nExample (`" + file + "`):\n\n```\n" + shown + "```\n";
    }
    out += "\n";
  }

  // An example whose word the table does not know is a fault.
  std::error_code ec;
  for (const auto& f : std::filesystem::directory_iterator(examples, ec)) {
    if (f.path().extension() != ".kes") continue;
    if (!used.count(f.path().stem().string())) {
      std::fprintf(stderr, "kesreference: %s names no command word of the table\n", f.path().string().c_str());
      return 1;
    }
  }

  if (argc == 5) {
    std::string grammar;
    if (!ReadFile(argv[3], grammar)) {
      std::perror(argv[3]);
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
      std::fprintf(stderr, "kesreference: %s has no @COMMANDS@\n", argv[3]);
      return 1;
    }
    grammar.replace(at, 10, alt);
    FILE* g = std::fopen(argv[4], "wb");
    if (!g) {
      std::perror(argv[4]);
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
