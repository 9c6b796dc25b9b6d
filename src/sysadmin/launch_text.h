// The texts the program launcher builds before it starts a program: the
// captured command line, the environment block, the account fields, and the
// lines read back from a capture file. Pure: no Win32 calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kes {

// Where a captured program's streams go.
struct CaptureFiles {
  std::string prefix;  // the command interpreter prefix, "cmd.exe /C " or "command.com /C "
  std::string out;     // standard output file
  std::string err;     // standard error file (NT line only)
  std::string in;      // standard input file, used when ECHO cannot carry the text
  bool isNT = true;
};

struct CaptureCommand {
  std::string commandLine;
  // When not empty, the text to write to CaptureFiles::in before the start
  // (still in the ANSI code page: the launcher converts it to OEM).
  std::string inputText;
  bool inputFile = false;
};

// The command line of a captured program. STDIN text (already trimmed) is
// fed with "ECHO text|" when ECHO can carry it unchanged: one line, none of
// cmd's special characters, not an ECHO switch word, and a command line
// cmd accepts. Any other text goes through a file read with "<". A text of
// CR LF alone is sent as "ECHO." (one empty line). File names holding a
// blank are quoted. A command that already holds the prefix (in any letter
// case) does not get it a second time.
CaptureCommand PrepareCapture(std::string_view command, std::string_view stdinText, const CaptureFiles& files);

// True when "ECHO " + text prints exactly text.
bool EchoCarries(std::string_view text);

// The longest command line cmd.exe accepts.
inline constexpr size_t kShellLineLimit = 8191;

// The environment block of a new process from the current one ("NAME=VALUE"
// entries, each ending in NUL, the block ending in a second NUL): the first
// 255 entries that hold "=".
std::string EnvironmentBlock(std::string_view currentBlock);

// The account commands' text: account, domain, password and the command line.
struct AccountFields {
  std::string account, domain, password;
  std::string commandLine;
  bool fromText = false;  // the credentials were fields of the text
};
// Fields are cut at the separator; with fewer than four, again at blanks.
// With four or more, fields 1-3 are the credentials and the command line is
// the text from the start of field 4 (left-trimmed); with fewer, the whole
// text is the command line and the credentials are left empty. Fields 1-3
// are trimmed.
AccountFields SplitAccountText(std::string_view text, std::string_view sep, std::string_view quote);

// Appends the lines of text (complete lines: CR LF or LF ends each, the last
// one may lack it) to out. Bytes are kept as they are, NUL included.
void AppendLines(std::string_view text, std::vector<std::string>& out);

// Cuts bytes that arrive in pieces (a capture file read while the program
// still writes it) into lines appended to a list. Each run of complete lines
// goes through the converter in place first (whole lines only, so a
// character of a multi-byte code page is never cut); a line longer than a
// piece waits aside. The list grows by a quarter at a time, so its spare
// room stays small beside the text.
class LineAssembler {
 public:
  using Converter = void (*)(char* bytes, size_t n);
  LineAssembler(std::vector<std::string>& lines, Converter convert) : lines_(lines), convert_(convert) {}
  void Feed(char* bytes, size_t n);
  // The last line, when the text does not end with a line break.
  void Finish();

 private:
  void Add(char* bytes, size_t n);
  std::vector<std::string>& lines_;
  Converter convert_;
  std::string carry_;
};

}  // namespace kes
