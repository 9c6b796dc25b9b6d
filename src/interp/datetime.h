// Date and time arithmetic on the text layouts YYYY/MM/DD, HH:MM:SS and
// YYYY/MM/DD_HH:MM:SS, counted from 1980/01/01 with a leap year every fourth
// year (no century exception).
#pragma once

#include <string>
#include <string_view>

#include "interp/text.h"

namespace kes {

// Position of a date or date-time on the scale of a unit: "y" years, "m"
// months, "d" days, "h" hours, "n" or "mi" minutes, "s" seconds; any other
// unit gives 0. A lower-case "i" as second character means minutes; otherwise
// the first character decides, in any case ("Month", "D"). The fields are read
// at their fixed positions; a 10-character text is a date at midnight.
Num DateTimeSerial(std::string_view text, std::string_view unit);
// DateTimeSerial(second, unit) - DateTimeSerial(first, unit).
Num DateTimeDiff(std::string_view unit, std::string_view first, std::string_view second);
// The date moved by n days; op is '+' or '-' (anything else gives "").
std::string DateShift(std::string_view date, long long n, char op);
// The time of day moved by n seconds; op is '+' or '-' (anything else gives "").
// Each field is brought into range once, so a shift of more than a day can
// leave the hours outside 0 to 23.
std::string TimeShift(std::string_view time, long long n, char op);

// Days from 1980/01/01 to the given date under the calendar rule. A year
// before 1980 adds no whole years, so its dates count only their day of the
// year; differences are meaningful from 1980 on.
long long DaySerial(int year, int month, int day);

}  // namespace kes
