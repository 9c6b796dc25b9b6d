// The argument kit: how a handler reads its arguments. The dispatcher has
// cut the argument text at the argument separator into trimmed fields
// (quotes kept); everything a handler needs beyond that is here, so every
// command reads the same form the same way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// ---- fields
// Field n (1-based) of the argument text, trimmed; empty when missing.
const std::string& Field(const Interp& in, size_t n);
size_t FieldCount(const Interp& in);
// Field n with one pair of enclosing quote characters removed.
std::string FieldUnquoted(const Interp& in, size_t n);
// Field n read as a number (Val: leading numeric part, "&H" hexadecimal).
Num FieldNumber(const Interp& in, size_t n);
// Field n read as a whole number (saturating).
int64_t FieldInt(const Interp& in, size_t n);

// ---- the text as one argument
// The argument text trimmed, with one pair of enclosing quote characters
// removed: a single path or name, which may hold the separator.
std::string WholeArg(const Interp& in);
// The text of a command that takes one text (LEN, REVERSE, SPELL, ...): the
// argument text as it is, or without its quotes when it is written as one
// quoted argument.
std::string WholeText(const Interp& in);
// The unsplit text after k separators (quoted separators do not count),
// leading blanks dropped, one pair of enclosing quotes removed; k = 0 is the
// whole text. Empty when there are fewer separators.
std::string TextAfterField(const Interp& in, size_t k);
// The rest of the argument text from the start of field k (1-based, first
// non-blank character), trimmed on the right only, quotes kept. Empty when
// there are fewer fields.
std::string ArgsFromField(const Interp& in, size_t k);
// The argument text as it was written, before substitution. A command run
// by LET or SETCDE is found after the "="; when nothing fits, the
// substituted argument text.
std::string RawArgs(const Interp& in);

// ---- paths
// Field n as a path: quotes removed, "/" left as it is.
inline std::string PathField(const Interp& in, size_t n) { return FieldUnquoted(in, n); }
// Sets the error code and answers true when a path cannot be used (a device
// name, too long): see CheckUsablePath.
bool RefusePath(Interp& in, std::string_view path);
// True when the text holds a carriage return or line feed, which would break
// the line structure of an INI or data file.
bool HoldsLineBreak(std::string_view s);

// ---- variable references written as arguments
// True when the text holds the variable delimiter.
bool HasDelimiter(const Interp& in, std::string_view written);
// The variable a reference as written names: the delimiters removed, and an
// index in parentheses substituted and appended ("%LIST(%N%)%" gives LIST2).
std::string ReferenceName(Interp& in, std::string_view written);

// ---- switches
// The ON test of the switch commands: true for the word "ON" in any case,
// blanks around it ignored; every other word means off. The dispatcher
// applies it to the second word (in.line.on).
bool IsOnWord(std::string_view word);

}  // namespace kes
