// Number formatting: the format masks and the general numeric format.
#pragma once

#include <string>
#include <string_view>

#include "interp/text.h"

namespace kes {

// The shortest decimal text of the value: no leading space, no trailing zeros
// ("3", "-0.5", "1234567.25"). Whole numbers up to 2^63 print exactly; other
// values print with 15 significant digits, switching to exponent form
// ("1E+20", "1.5E-07") beyond that range. Infinities print "INF" and "-INF",
// NaN prints "NAN".
std::string GeneralFormat(Num v);

// Formats a value with a mask: "0" is a digit always shown (zero-padded),
// "#" a digit shown only when significant, "." the decimal point; a character
// after "\" and text between double quotes are copied literally, as is any
// other character; ";" separates up to three masks for positive, negative and
// zero values. An empty mask selects the general numeric format.
//
// The value is rounded half away from zero to the number of placeholders after
// the point (decimal fractions round as written: 2.675 gives 2.68 with
// "0.00"). Integer digits fill the placeholders right to left, literals in
// between stay in place, and digits beyond the placeholders all appear
// ("00\-0000" on 1234567 gives "123-4567"). "#" drops a zero integer part and
// trailing zeros of the fraction. With one mask a negative value gets a
// leading "-" unless it is shown as zero; the negative mask formats the
// absolute value and adds no sign; an empty negative or zero mask falls back
// to the positive one. A mask without placeholders gives its literal text.
// Infinities and NaN give their general-format text.
std::string FormatNumber(Num v, std::string_view mask);

}  // namespace kes
