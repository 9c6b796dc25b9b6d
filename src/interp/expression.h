// Expression evaluator and the number/date/time text predicates.
#pragma once

#include <string>
#include <string_view>

#include "interp/text.h"

namespace kes {

struct ExprResult {
  Num value = 0;
  bool syntaxError = false;  // the caller turns this into error code 1
};

// Evaluates an arithmetic expression: comparison (< > =, giving -1 or 0),
// + -, * /, right-associative ^, a sign binding to the primary before the
// power (-2^2 is 4), parentheses. Leftover text is ignored. Floating-point
// exceptions never trap: division by zero gives an infinity or NaN.
// A number token is read as a decimal number (its leading numeric part); a
// letter where a number or "(" is expected, or a "(" without its ")", is a
// syntax error and evaluation goes on with 0 for the missing part. Nesting
// depth is limited only by memory.
ExprResult EvaluateExpression(std::string_view text);

// The trimmed text is made only of "0123456789.+-", holds at most one of each
// of ".", "+" and "-" (anywhere), and does not end with one of them.
bool IsNumber(std::string_view text);
// Trims the text and turns every "-" into "/" (in place), then tests for the
// date layout YYYY/MM/DD: year 1901 to 2099, month 1 to 12, day 1 to 31
// (month lengths unchecked); text after the tenth character is ignored.
bool IsDate(std::string& text);
// The trimmed text has ":" at positions 3 and 6 and the numeric values of its
// fields are 0-23, 0-60 and 0-60 (non-numeric fields count as 0).
bool IsTime(std::string_view text);

}  // namespace kes
