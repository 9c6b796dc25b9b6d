// The text and list algorithms behind the string, list and text-file
// commands. Pure: no system calls, so they are unit-tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "interp/text.h"

namespace kes {

// ---- positions and pieces ----
// Mid-style part: from 1-based position pos, at most len characters (len < 0:
// to the end). Out-of-range positions give empty text, never a fault.
std::string MidText(std::string_view s, long long pos, long long len);
std::string LeftText(std::string_view s, long long n);
std::string RightText(std::string_view s, long long n);
std::string ReverseText(std::string_view s);

// Offset just after the k-th separator found outside quote pairs, or npos.
size_t AfterSeparators(std::string_view s, size_t k, std::string_view sep, std::string_view quote);
// The unsplit text argument after k separators: leading spaces dropped, and
// one pair of enclosing quote characters removed.
std::string TextAfter(std::string_view s, size_t k, std::string_view sep, std::string_view quote);

// AFTER / BEFORE: the part after or before the first or last occurrence of
// marker. An absent (or empty) marker gives empty text for after and the
// whole text for before.
std::string AfterBefore(std::string_view text, std::string_view marker, bool after, bool last);

// Splits text at every occurrence of sep (found ignoring case when asked);
// the pieces keep their case. Empty text gives no pieces.
std::vector<std::string> CutText(std::string_view text, std::string_view sep, bool caseInsensitive);

// ---- numbers ----
// Integer part toward zero and round-half-to-even, as decimal text.
std::string IntPartText(Num v);
std::string RoundEvenText(Num v);
// CONVERT helpers. False when the input is not valid.
std::string BinaryText(int64_t v);                    // 31 digits at least
std::string HexText(int64_t v);                       // upper case, no padding
bool HexToDecimal(std::string_view hex, std::string& out);
std::string TextToHex(std::string_view text);         // "41 42 A"
bool HexToText(std::string_view codes, std::string& out);
bool CodesToText(const std::vector<std::string>& codes, std::string& out);
std::string TextToCodes(std::string_view text, std::string_view sep);

// ---- paths ----
enum class PathPart { Drive, Folder, File, Ext, Prefix };
// Splits a local, UNC or "http://" path (see the .cpp for the rules).
std::string SplitPath(std::string_view path, PathPart part);

// ---- whole-list algorithms ----
// SORT / SORTD: with pos and len both above 0 the key is the part of the
// element from pos, at most len characters, followed by the whole element.
void SortElements(std::vector<std::string>& list, long long pos, long long len, bool caseInsensitive,
                  bool descending);
// CROP: the trimmed parts of the elements strictly between a line matching
// start and the next line matching end (wildcard patterns); several blocks.
std::vector<std::string> CropElements(const std::vector<std::string>& list, std::string_view start,
                                      std::string_view end, long long pos, long long len, bool caseInsensitive);
// TRANSFER value of one element for the pos/len pairs (pos1 <= 0: unchanged).
std::string TransferValue(std::string_view element, const std::vector<std::pair<long long, long long>>& pairs);

// ---- text files ----
// A file's text cut into lines; every line keeps its own ending, so joining
// them gives back the exact bytes.
struct TextLines {
  std::vector<std::string> body;  // line without its ending
  std::vector<std::string> ends;  // "\r\n", "\n" or "" (last line)
  std::string Join() const;
  size_t Count() const { return body.size(); }
};
TextLines SplitLines(std::string_view bytes);
// The ending new lines get in this file: that of its first line, else CR LF.
std::string LineEnding(const TextLines& t);
// Inserts text as line n (1-based); n past the end appends.
void InsertLine(TextLines& t, size_t n, std::string_view text);
// A line matches a pattern with "*" as a wildcard, otherwise when it
// contains the text.
bool LineMatches(std::string_view line, std::string_view pattern, bool caseInsensitive);
// Replaces every occurrence of search in the line bodies; returns the count.
size_t SubstituteInLines(TextLines& t, std::string_view search, std::string_view replacement);

// A UTF-16 file's byte order: 1 little-endian, 2 big-endian, 0 not UTF-16.
// With a byte-order mark that decides; without one the file must have an even
// length and zero bytes in the high-byte places of most characters.
int Utf16Order(std::string_view bytes, bool& hasBom);
bool HasUtf16Bom(std::string_view bytes);

}  // namespace kes
