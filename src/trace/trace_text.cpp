#include "trace/trace_text.h"

#include "interp/text.h"

namespace kes {

std::string TracePrefix(int depth, int line) {
  if (depth < 0) depth = 0;
  if (line < 0) line = 0;
  return ZeroPad(depth + 1, 2) + "." + ZeroPad(line, 4) + "    ";
}

std::string TraceShownLine(std::string_view line) {
  std::string s = ReplaceAllCopy(line, "\t", "    ");
  if (!s.empty() && s[0] == '#') s.erase(0, 1);
  return s;
}

std::string TraceRecord(std::string_view text) { return std::string(40, ' ') + std::string(10, '-') + std::string(text); }

std::string ErrorRecordText(int code) { return "> Error ( " + IntText(code) + " )"; }

std::string IfRecordText(bool value) { return std::string("> If ( ") + (value ? "TRUE" : "FALSE") + " )"; }

std::string SwitchRecordText(int depth, bool matched) {
  return "> Switch Level " + IntText(depth + 1) + " ( " + (matched ? "TRUE" : "FALSE") + " )";
}

bool RecordEndsStep(std::string_view record) { return StartsWith(record, "Beg") || StartsWith(record, "End"); }

std::string CallStackText(const std::vector<std::string>& frameNames) {
  std::string s;
  for (size_t i = 0; i < frameNames.size(); ++i) {
    if (i) s += ",  ";
    s += ZeroPad(static_cast<int64_t>(i) + 1, 2) + "." + frameNames[i];
  }
  return s;
}

std::string ShownValue(std::string_view value) {
  if (value.size() == 1) {
    const int c = static_cast<unsigned char>(value[0]);
    if (c <= 31 || (c >= 127 && c <= 144) || (c >= 147 && c <= 159)) return "ASCII " + IntText(c);
  }
  return std::string(value);
}

std::string VariableEntry(std::string_view delim, std::string_view name, std::string_view value) {
  std::string e = std::string(delim) + std::string(name) + std::string(delim) + "=";
  if (IsSecretName(name) && !value.empty()) return e + std::string(kSecretMask);
  return e + ShownValue(value);
}

bool IsSecretName(std::string_view name) {
  name = TrimView(name);
  return (!name.empty() && name[0] == '@') || FindNoCase(name, "PASSWORD") != std::string_view::npos;
}

namespace {

// The name an assignment line assigns: the last word before its first "="
// (SET NAME=, SETLOCAL NAME=, LET NAME = ..., NAME := ...).
std::string_view AssignedName(std::string_view before) {
  before = TrimView(before);
  if (!before.empty() && before.back() == ':') before.remove_suffix(1);
  before = TrimView(before);
  const size_t sp = before.find_last_of(' ');
  return sp == std::string_view::npos ? before : before.substr(sp + 1);
}

}  // namespace

std::string MaskSecrets(std::string_view line, std::string_view delim, const std::vector<std::string>& secretValues) {
  std::string s(line);
  // an assignment to a secret name
  const size_t eq = s.find('=');
  if (eq != std::string::npos && IsSecretName(AssignedName(std::string_view(s).substr(0, eq))))
    s = s.substr(0, eq + 1) + std::string(kSecretMask);
  // references to secret names, as written
  if (!delim.empty()) {
    size_t from = 0;
    for (;;) {
      const size_t a = s.find(delim, from);
      if (a == std::string::npos) break;
      const size_t b = s.find(delim, a + delim.size());
      if (b == std::string::npos) break;
      const std::string_view name = std::string_view(s).substr(a + delim.size(), b - a - delim.size());
      if (IsSecretName(name)) {
        s.replace(a, b + delim.size() - a, kSecretMask);
        from = a + kSecretMask.size();
      } else {
        from = b;
      }
    }
  }
  // the secret values themselves, wherever substitution put them; values
  // shorter than three characters would mask ordinary text as well
  for (const std::string& v : secretValues)
    if (v.size() >= 3) ReplaceAll(s, v, kSecretMask);
  return s;
}

}  // namespace kes
