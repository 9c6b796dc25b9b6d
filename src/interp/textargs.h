// Helpers of the text and list commands that need the interpreter: the
// argument text as written, variable references, and variable families.
#pragma once

#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "interp/interp.h"

namespace kes {

// The argument text of the running command as it was written, before
// substitution. A command run by LET or SETCDE is found after the "=";
// when nothing fits, the substituted argument text.
std::string RawArgs(const Interp& in);

// The whole argument text of a command that takes one text (LEN, REVERSE,
// SPELL, DOSANSILINE, ...): when it is written as one quoted argument, the
// quotes are removed.
std::string WholeText(const Interp& in);

// The variable a reference as written names: the delimiters removed, and an
// index in parentheses substituted and appended ("%LIST(%N%)%" gives LIST2).
std::string ReferenceName(Interp& in, std::string_view written);

// True when the text holds the variable delimiter.
bool HasDelimiter(const Interp& in, std::string_view written);

// Takes every ordinary variable named base + a number of at least 1 out of
// the variable table, placed at that position (gaps are empty elements).
std::vector<std::string> TakeFamily(Interp& in, const std::string& upperBase);
// Writes elements back as base + the element number, zero-padded to the
// number of digits of the count.
void WriteFamily(Interp& in, const std::string& upperBase, const std::vector<std::string>& elements);

// Runs a command body; running out of memory (a huge text cut into pieces,
// a file of millions of lines) becomes error 8, the system's "not enough
// memory" code, instead of ending the program.
template <class F>
void GuardMemory(Interp& in, F&& body) {
  try {
    body();
  } catch (const std::bad_alloc&) {
    in.err.code = 8;
  } catch (const std::length_error&) {
    in.err.code = 8;
  }
}

}  // namespace kes
