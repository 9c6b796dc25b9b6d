// Byte-string helpers shared by every module. Strings are ANSI (Windows-1252)
// bytes; case mapping follows that code page, independent of any locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kes {

// Numbers are extended precision (80-bit on i686).
using Num = long double;

// The 4-byte marker a command leaves when it has no result.
inline constexpr std::string_view kNoResult{"\xFF\xFF\xFE\xFE", 4};
// The one-byte text read from a list element past the end.
inline constexpr char kAbsentChar = 26;
inline const std::string kAbsent(1, kAbsentChar);
inline constexpr char kEscChar = 27;

char UpperChar(char c);
char LowerChar(char c);
std::string Upper(std::string_view s);
std::string Lower(std::string_view s);
void UpperInPlace(std::string& s);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWith(std::string_view s, std::string_view prefix);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);
// Position of needle in hay ignoring case, or npos.
size_t FindNoCase(std::string_view hay, std::string_view needle, size_t from = 0);

// Trimming removes spaces only, as the language always has.
std::string_view TrimView(std::string_view s);
std::string_view LTrimView(std::string_view s);
std::string_view RTrimView(std::string_view s);
std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
// Spaces and tabs.
std::string TrimBlanks(std::string_view s);

// Leading numeric part of a text ("12abc" is 12, "abc" is 0): optional blanks,
// sign, digits, decimal point, exponent; "&H" hexadecimal and "&O" octal.
Num Val(std::string_view s);
// Val truncated into a 32-bit integer (saturating).
int32_t ValInt(std::string_view s);
int64_t ValInt64(std::string_view s);
// Decimal text of an integer.
std::string IntText(int64_t v);

// Splits at every occurrence of sep (no quote handling, fields untrimmed).
std::vector<std::string> SplitPlain(std::string_view s, std::string_view sep);
// Splits at sep outside quote pairs; fields trimmed; quotes kept.
std::vector<std::string> SplitFields(std::string_view s, std::string_view sep, std::string_view quote);
// Removes one pair of enclosing quote characters.
std::string Unquote(std::string_view s, std::string_view quote);
void ReplaceAll(std::string& s, std::string_view from, std::string_view to);
std::string ReplaceAllCopy(std::string_view s, std::string_view from, std::string_view to);
// The lines of a text as a reader sees them: they end at CR LF or LF, the
// line ends are not included, and a last line without one counts.
std::vector<std::string_view> LinesOf(std::string_view text);
// Removes every occurrence of character c.
void RemoveChar(std::string& s, char c);
// True when every character is a decimal digit (and s is not empty).
bool AllDigits(std::string_view s);
// Zero-padded decimal text.
std::string ZeroPad(int64_t v, int width);

}  // namespace kes
