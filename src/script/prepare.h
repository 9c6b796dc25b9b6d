// Line preparation and block tracking: the steps every line passes before
// its handler runs (cleaning, comments, labels, substitution, IF/SWITCH/FOR
// block state, command word and arguments) and the steps after it (the :=
// assignment, result publishing, the error epilogue, per-line resets).
#pragma once

#include <string>

#include "interp/dispatcher.h"
#include "interp/interp.h"

namespace kes {

enum class Prepared {
  Run,       // the handler is to be selected and run
  Finished,  // nothing more happens for this line
  Epilogue,  // only the error epilogue runs (ELSE or ENDIF without IF)
};

// Steps 1-17: cleaning, comments, labels, substitution, block words, the
// command word, its arguments and second word (in.line). Run: the caller
// looks the word up in the command table and goes on with PrepareCommand.
Prepared PrepareLine(Interp& in, std::string& line, bool lineOnly, BlockStacks& st);
// Steps 18-20, from the word facts of the command (WordFlag bits): the
// trace, the collection of box lines, the error code reset.
Prepared PrepareCommand(Interp& in, const std::string& line, uint8_t flags);

// Steps after the command (in the dispatcher). `setCaller` marks a command
// run by LET/SETCDE.
void AfterCommand(Interp& in, const std::string& line, bool setCaller, bool notLogged);

// Writes a failed line to the log and sets ERROR, when the error is positive.
void ErrorEpilogue(Interp& in, const std::string& logText, bool notLogged);

// Separator and quote return to their defaults unless a command asked them
// to hold for one more line.
void PerLineResets(Interp& in);
// One line of a collected ADMIN block: the six-digit number (900000 + n),
// the line with NUL and CR LF escaped, and CR LF.
std::string EncodeBlockLine(int n, std::string_view line);
// Undoes the escapes of a block line once its number is removed.
void DecodeBlockLine(std::string& line);

// The pieces of preparation that the static checker (script/checker.h)
// shares, so it reads lines exactly as they run:
// removes every tab and the leading spaces;
void CleanLine(std::string& line);
// a comment (after cleaning): empty, "#", ";", "'" or "REM ";
bool IsCommentLine(std::string_view line);
// the first word before substitution: the text before the first "=" (cut
// again at its first space), else the text before the first space, upper case;
std::string FirstWordUpper(std::string_view line);
// ENDIF, or END IF in two words (the line trimmed);
bool IsEndifLine(std::string_view trimmed);
// the command word, argument text and second word, with the two-word forms
// END SUB / EXIT SUB (EXITSUB) and END FOR / EXIT FOR (EXITFOR).
void SplitLineWords(std::string_view line, std::string& word, std::string& args, std::string& second);

// The loader's tables: line i (store index) that starts, after blanks, with
// ":" is a label (upper case, trimmed); one that starts with "SUB " starts
// the sub named by the rest, at the next line.
void TableLabelOrSub(ScriptLevel& level, std::string_view line, int i);

// A line that opens an IF block: it starts with IF and ends with THEN.
bool IsBlockIfLine(std::string_view line);

// A loop that has no iterations left: its lines up to NEXT are skipped.
bool LoopFinished(const ForRecord& f);

}  // namespace kes
