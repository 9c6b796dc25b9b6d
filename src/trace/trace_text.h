// The texts the trace shows and writes: line prefixes, records, the call
// stack, the variables list, and the masking of secrets. Pure code, shared
// by the trace window, the trace file and the immediate window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kes {

// "01.0012    ": the call depth + 1 on two digits, ".", the line number on
// four digits, four blanks.
std::string TracePrefix(int depth, int line);
// A line as the lists show it: tabs become four blanks, a leading "#" goes.
std::string TraceShownLine(std::string_view line);
// A record line: 40 blanks, ten "-", then the text.
std::string TraceRecord(std::string_view text);
std::string ErrorRecordText(int code);                 // "> Error ( 53 )"
std::string IfRecordText(bool value);                  // "> If ( TRUE )"
std::string SwitchRecordText(int depth, bool matched);  // "> Switch Level 1 ( FALSE )"
// Records that end the trace step without showing the line ("Begin ...",
// "End ...").
bool RecordEndsStep(std::string_view record);

// The call-stack text: "01.name,  02.name" for depths 0 to the current one.
std::string CallStackText(const std::vector<std::string>& frameNames);

// A value as the variables list shows it: a single control character (codes
// 0-31, 127-144, 147-159) reads "ASCII n".
std::string ShownValue(std::string_view value);
// A variables-list entry: "%NAME%=value", masked when the name is secret.
std::string VariableEntry(std::string_view delim, std::string_view name, std::string_view value);

// Secrets are never shown in clear. A secret name holds "PASSWORD" or starts
// with "@"; its value reads as the mask.
inline constexpr std::string_view kSecretMask = "********";
bool IsSecretName(std::string_view name);
// A line as the trace may show it: the value of an assignment to a secret
// name (SET, SETLOCAL, LET, name=...) and every %reference% to a secret
// name are masked, and so is every occurrence of a known secret value.
std::string MaskSecrets(std::string_view line, std::string_view delim, const std::vector<std::string>& secretValues);

}  // namespace kes
