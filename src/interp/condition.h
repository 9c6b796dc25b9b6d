// Conditions of IF lines: comparisons, keyword tests (EXIST, SEARCH, HOST,
// ...), NOT, and OR / AND chains.
#pragma once

#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// The state of one condition evaluation, reset by IF before each line.
struct ConditionState {
  bool result = false;
  bool accumulated = false;
  int andSteps = 0;
  bool orSeen = false;
  bool andSeen = false;
  bool thenSeen = false;  // the condition ended with THEN: a block IF
};

// Evaluates the condition of lineText, which starts with IF (or OR / AND in
// a chain). On return lineText holds the text after the condition, or "@"
// when nothing follows.
bool EvaluateCondition(Interp& in, std::string& lineText, ConditionState& cs);

// Compares two operands (substituted here) with one of the operators
// == <> >= => <= =< ^ = > <. Numbers (a decimal comma accepted) compare
// numerically; other texts as bytes, upper-cased while the case-insensitive
// flag is on; "^" is a wildcard match of left against the pattern right.
bool Compare(Interp& in, std::string_view left, std::string_view right, std::string_view op, bool negate);

// Finds the comparison operator that occurs first in text (ties go to the
// earlier one in the table above); npos when there is none.
size_t FindOperator(std::string_view text, std::string_view& op);

}  // namespace kes
