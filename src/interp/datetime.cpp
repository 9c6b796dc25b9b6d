#include "interp/datetime.h"

#include <limits>

namespace kes {

namespace {

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int kEpochYear = 1980;
constexpr long long kDaysPer4Years = 4 * 365 + 1;
// Field values are kept within this bound so every serial fits in 64 bits.
constexpr long long kFieldLimit = 10000000;
// Shift results are kept within this bound so the conversions cannot overflow.
constexpr long long kShiftLimit = 1LL << 61;

bool IsLeap(long long year) { return year % 4 == 0; }

int MonthLength(int month, long long year) {
  return month == 2 && IsLeap(year) ? 29 : kMonthDays[month - 1];
}

// The numeric value of text[pos, pos + len) (1-based pos), truncated and
// bounded; text that is not numeric, or lies past the end, counts as 0.
long long Field(std::string_view text, size_t pos, size_t len) {
  if (pos - 1 >= text.size()) return 0;
  const Num v = Val(text.substr(pos - 1, len));
  if (!(v > -kFieldLimit)) return v != v ? 0 : -kFieldLimit;
  if (!(v < kFieldLimit)) return kFieldLimit;
  return static_cast<long long>(v);
}

long long ClampedAdd(long long a, long long b, long long limit) {
  // |a| and |b| stay far below the 64-bit range after clamping b first.
  if (b > limit) b = limit;
  if (b < -limit) b = -limit;
  long long r = a + b;
  if (r > limit) r = limit;
  if (r < -limit) r = -limit;
  return r;
}

long long FloorDiv(long long a, long long b) {
  long long q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

struct DateTimeFields {
  long long year, month, day, hour, minute, second;
};

DateTimeFields ReadFields(std::string_view text) {
  std::string t = Trim(text);
  if (t.size() == 10) t += "_00:00:00";
  return {Field(t, 1, 4), Field(t, 6, 2), Field(t, 9, 2), Field(t, 12, 2), Field(t, 15, 2), Field(t, 18, 2)};
}

long long DayCount(long long year, long long month, long long day) {
  // Whole years from 1980 up to the year before; a year before 1980 adds none.
  long long days = 0;
  if (year > kEpochYear) {
    const long long years = year - kEpochYear;
    days = 365 * years + (year - 1 - kEpochYear) / 4 + 1;  // 1980 itself is a leap year
  }
  // Months of the year before the given one, as far as the twelve go.
  const long long months = month - 1 < 0 ? 0 : (month - 1 > 12 ? 12 : month - 1);
  for (int m = 1; m <= months; ++m) days += MonthLength(m, year);
  return days + day - 1;
}

std::string DateText(long long serial) {
  // Four-year cycles starting with a leap year, counted from 1980/01/01.
  const long long cycle = FloorDiv(serial, kDaysPer4Years);
  long long rest = serial - cycle * kDaysPer4Years;
  long long year = kEpochYear + 4 * cycle;
  if (rest >= 366) {
    rest -= 366;
    year += 1 + rest / 365;
    rest %= 365;
  }
  int month = 1;
  while (month < 12 && rest >= MonthLength(month, year)) {
    rest -= MonthLength(month, year);
    ++month;
  }
  return ZeroPad(year, 4) + "/" + ZeroPad(month, 2) + "/" + ZeroPad(rest + 1, 2);
}

}  // namespace

long long DaySerial(int year, int month, int day) { return DayCount(year, month, day); }

Num DateTimeSerial(std::string_view text, std::string_view unit) {
  char u;
  if (unit.size() >= 2 && unit[1] == 'i')
    u = 'n';  // "mi" is minutes
  else if (!unit.empty())
    u = LowerChar(unit[0]);
  else
    return 0;
  const DateTimeFields f = ReadFields(text);
  const long long days = DayCount(f.year, f.month, f.day);
  const long long hours = 24 * days + f.hour;
  const long long minutes = 60 * hours + f.minute;
  switch (u) {
    case 'y': return static_cast<Num>(f.year - kEpochYear);
    case 'm': return static_cast<Num>(12 * (f.year - kEpochYear) + (f.month - 1));
    case 'd': return static_cast<Num>(days);
    case 'h': return static_cast<Num>(hours);
    case 'n': return static_cast<Num>(minutes);
    case 's': return static_cast<Num>(60 * minutes + f.second);
    default: return 0;
  }
}

Num DateTimeDiff(std::string_view unit, std::string_view first, std::string_view second) {
  return DateTimeSerial(second, unit) - DateTimeSerial(first, unit);
}

std::string DateShift(std::string_view date, long long n, char op) {
  if (op != '+' && op != '-') return "";
  const DateTimeFields f = ReadFields(date);
  const long long serial = DayCount(f.year, f.month, f.day);
  const long long delta = op == '+' ? (n > kShiftLimit ? kShiftLimit : n) : (n < -kShiftLimit ? kShiftLimit : -n);
  return DateText(ClampedAdd(serial, delta, kShiftLimit));
}

std::string TimeShift(std::string_view time, long long n, char op) {
  if (op != '+' && op != '-') return "";
  // Seconds of the day, read from the time layout.
  const std::string t = Trim(time);
  const long long secs = Field(t, 1, 2) * 3600 + Field(t, 4, 2) * 60 + Field(t, 7, 2);
  const long long delta = op == '+' ? (n > kShiftLimit ? kShiftLimit : n) : (n < -kShiftLimit ? kShiftLimit : -n);
  const long long x = ClampedAdd(secs, delta, kShiftLimit);
  long long hours = FloorDiv(x, 3600);
  const long long wholeMinutes = FloorDiv(x, 60);
  long long minutes = wholeMinutes - 60 * hours;
  long long seconds = x - 60 * wholeMinutes;
  // One correction per field; a shift of more than a day can stay out of range.
  if (hours < 0) hours += 24; else if (hours > 23) hours -= 24;
  if (minutes < 0) minutes += 60; else if (minutes > 59) minutes -= 60;
  if (seconds < 0) seconds += 60; else if (seconds > 59) seconds -= 60;
  return ZeroPad(hours, 2) + ":" + ZeroPad(minutes, 2) + ":" + ZeroPad(seconds, 2);
}

}  // namespace kes
