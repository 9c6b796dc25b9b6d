// Special variables: the names with rules of their own, one row each. A
// reader computes the value of %NAME% when it is read (a built-in value:
// it wins over a variable of that name); a writer takes an assignment to
// the name (SET, a command's result, start-up) into the structure that owns
// the setting. A name may have either or both, so its read and write rules
// stand side by side.
#pragma once

#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

struct SpecialVariable {
  std::string_view name;  // upper case
  // Computes the value; null: the name reads as an ordinary variable.
  // NotBuiltin lets resolution go on to the variables (CHOICE without a
  // choice window), Value goes on only when the value is empty, Final ends
  // it in every case.
  SubstHost::Found (*read)(Interp& in, std::string& out);
  // Takes an assigned value, which it may rewrite (a folder gets its "\").
  // Answers true when the value is also stored as the ordinary variable of
  // that name; null: it simply is.
  bool (*write)(Interp& in, std::string& value);
};

// The row of an upper-case name, or null.
const SpecialVariable* FindSpecialVariable(std::string_view name);
// Every row.
const SpecialVariable* SpecialVariables(size_t& count);

}  // namespace kes
