#include "interp/datetime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kes {
namespace {

TEST(DaySerial, CountsFromTheEpoch) {
  EXPECT_EQ(DaySerial(1980, 1, 1), 0);
  EXPECT_EQ(DaySerial(1980, 3, 1), 60);  // 31 + 29
  EXPECT_EQ(DaySerial(1981, 1, 1), 366);
  EXPECT_EQ(DaySerial(1984, 1, 1), 1461);
  EXPECT_EQ(DaySerial(2004, 1, 1), 24 * 365 + 6);
  EXPECT_EQ(DaySerial(2004, 12, 31), 24 * 365 + 6 + 365);
}

TEST(DaySerial, EveryFourthYearIsALeapYear) {
  EXPECT_EQ(DaySerial(2100, 3, 1) - DaySerial(2100, 2, 28), 2);
  EXPECT_EQ(DaySerial(2000, 3, 1) - DaySerial(2000, 2, 28), 2);
  EXPECT_EQ(DaySerial(2003, 3, 1) - DaySerial(2003, 2, 28), 1);
  EXPECT_EQ(DaySerial(2101, 1, 1) - DaySerial(2100, 1, 1), 366);
}

TEST(DaySerial, YearsBefore1980CountOnlyTheirDayOfYear) {
  EXPECT_EQ(DaySerial(1979, 12, 31), 364);
  EXPECT_EQ(DaySerial(1970, 3, 1), 59);
  EXPECT_EQ(DaySerial(1976, 3, 1), 60);  // 1976 is a leap year
  EXPECT_EQ(DaySerial(1, 1, 1), 0);
}

TEST(DaySerial, DaysAreNotCheckedAgainstTheMonth) {
  EXPECT_EQ(DaySerial(2004, 2, 31), DaySerial(2004, 3, 2));
}

TEST(DateTimeDiff, Days) {
  EXPECT_EQ(DateTimeDiff("d", "2004/02/28", "2004/03/01"), 2);
  EXPECT_EQ(DateTimeDiff("d", "2003/02/28", "2003/03/01"), 1);
  EXPECT_EQ(DateTimeDiff("D", "2004/03/01", "2004/02/28"), -2);
  EXPECT_EQ(DateTimeDiff("d", "2100/02/28", "2100/03/01"), 2);
  EXPECT_EQ(DateTimeDiff("days", "1980/01/01", "2004/01/01"), 8766);
  // Only the date counts for days.
  EXPECT_EQ(DateTimeDiff("d", "2004/01/01_23:59:59", "2004/01/02_00:00:00"), 1);
}

TEST(DateTimeDiff, MinutesAndMonths) {
  EXPECT_EQ(DateTimeDiff("mi", "2004/01/01_10:00:00", "2004/01/01_11:30:00"), 90);
  EXPECT_EQ(DateTimeDiff("n", "2004/01/01_10:00:00", "2004/01/01_11:30:00"), 90);
  EXPECT_EQ(DateTimeDiff("minutes", "2004/01/01_10:00:00", "2004/01/01_11:30:00"), 90);
  EXPECT_EQ(DateTimeDiff("m", "2004/01/01_10:00:00", "2004/01/01_11:30:00"), 0);
  EXPECT_EQ(DateTimeDiff("month", "2004/01/31", "2004/02/01"), 1);
  EXPECT_EQ(DateTimeDiff("m", "2003/12/31", "2004/01/01"), 1);
  EXPECT_EQ(DateTimeDiff("m", "2003/01/15", "2005/03/01"), 26);
}

TEST(DateTimeDiff, YearsCountCalendarYears) {
  EXPECT_EQ(DateTimeDiff("y", "2003/12/31", "2004/01/01"), 1);
  EXPECT_EQ(DateTimeDiff("Y", "2004/01/01", "2004/12/31"), 0);
}

TEST(DateTimeDiff, HoursAndSeconds) {
  EXPECT_EQ(DateTimeDiff("s", "2004/01/01", "2004/01/02"), 86400);
  EXPECT_EQ(DateTimeDiff("h", "2004/01/01", "2004/01/02"), 24);
  EXPECT_EQ(DateTimeDiff("h", "2004/01/01_22:00:00", "2004/01/02_01:59:59"), 3);
  EXPECT_EQ(DateTimeDiff("s", "2004/02/28_23:59:59", "2004/02/29_00:00:01"), 2);
}

TEST(DateTimeDiff, UnknownUnitIsZero) {
  EXPECT_EQ(DateTimeDiff("x", "2003/12/31", "2004/01/01"), 0);
  EXPECT_EQ(DateTimeDiff("", "2003/12/31", "2004/01/01"), 0);
  EXPECT_EQ(DateTimeDiff("week", "2003/12/31", "2004/01/01"), 0);
}

TEST(DateTimeDiff, DatesBefore1980AreNotMeaningful) {
  // 1979/12/31 counts as day 364, 1980/01/01 as day 0.
  EXPECT_EQ(DateTimeDiff("d", "1979/12/31", "1980/01/01"), -364);
}

TEST(DateTimeSerial, Positions) {
  EXPECT_EQ(DateTimeSerial("1980/01/01_00:00:01", "s"), 1);
  EXPECT_EQ(DateTimeSerial(" 1980/01/02 ", "h"), 24);
  EXPECT_EQ(DateTimeSerial("1981/01/01", "y"), 1);
  EXPECT_EQ(DateTimeSerial("1981/02/01", "m"), 13);
  // Partial date-times read missing fields as 0.
  EXPECT_EQ(DateTimeSerial("1980/01/01_01", "n"), 60);
}

TEST(DateTimeSerial, GarbageDoesNotCrash) {
  for (const char* text : {"", " ", "x", "9E99/99/99_99:99:99", "-9999/-9/-9", "\xFF\xFF\xFF\xFF\xFF\xFF"}) {
    for (const char* unit : {"y", "m", "d", "h", "mi", "s"}) {
      EXPECT_TRUE(std::isfinite(DateTimeSerial(text, unit))) << text << " " << unit;
    }
  }
}

TEST(DateShift, MovesByDays) {
  EXPECT_EQ(DateShift("2004/02/28", 1, '+'), "2004/02/29");
  EXPECT_EQ(DateShift("2004/02/28", 2, '+'), "2004/03/01");
  EXPECT_EQ(DateShift("2004-12-31", 1, '+'), "2005/01/01");
  EXPECT_EQ(DateShift("2004/03/01", 1, '-'), "2004/02/29");
  EXPECT_EQ(DateShift("2003/03/01", 1, '-'), "2003/02/28");
  EXPECT_EQ(DateShift("2000/01/01", 366, '+'), "2001/01/01");
  EXPECT_EQ(DateShift("2100/02/28", 1, '+'), "2100/02/29");
  EXPECT_EQ(DateShift("1980/01/01", 25 * 1461, '+'), "2080/01/01");
  EXPECT_EQ(DateShift("2004/01/10", -5, '-'), "2004/01/15");
}

TEST(DateShift, DropsTheTimeAndPadsFields) {
  EXPECT_EQ(DateShift("2004/01/01_10:00:00", 0, '+'), "2004/01/01");
  // Fields are read at fixed positions: here month "1/" is 1 and the day,
  // past the end, is 0, the day before the first.
  EXPECT_EQ(DateShift("2004/1/5", 0, '+'), "2003/12/31");
}

TEST(DateShift, CountsBackBefore1980) {
  EXPECT_EQ(DateShift("1980/01/01", 1, '-'), "1979/12/31");
  EXPECT_EQ(DateShift("1980/01/01", 366, '-'), "1978/12/31");
  // A date before 1980 counts only its day of the year, so it lands in 1980.
  EXPECT_EQ(DateShift("1979/12/31", 1, '+'), "1980/12/31");
}

TEST(DateShift, OtherOperatorGivesEmptyText) {
  EXPECT_EQ(DateShift("2004/01/01", 1, '*'), "");
  EXPECT_EQ(DateShift("2004/01/01", 1, 0), "");
}

TEST(DateShift, HugeShiftsDoNotCrash) {
  const long long big = std::numeric_limits<long long>::max();
  const long long small = std::numeric_limits<long long>::min();
  EXPECT_FALSE(DateShift("2004/01/01", big, '+').empty());
  EXPECT_FALSE(DateShift("2004/01/01", big, '-').empty());
  EXPECT_FALSE(DateShift("2004/01/01", small, '+').empty());
  EXPECT_FALSE(DateShift("2004/01/01", small, '-').empty());
  EXPECT_FALSE(DateShift("", 5, '+').empty());
}

TEST(TimeShift, WrapsAroundMidnight) {
  EXPECT_EQ(TimeShift("23:59:30", 45, '+'), "00:00:15");
  EXPECT_EQ(TimeShift("00:00:10", 20, '-'), "23:59:50");
  EXPECT_EQ(TimeShift("10:59:45", 30, '+'), "11:00:15");
  EXPECT_EQ(TimeShift("12:00:00", 0, '-'), "12:00:00");
  EXPECT_EQ(TimeShift("23:00:00", 7200, '+'), "01:00:00");
  EXPECT_EQ(TimeShift("00:00:00", 86400, '-'), "00:00:00");
  EXPECT_EQ(TimeShift("10:00:00", -60, '+'), "09:59:00");
}

TEST(TimeShift, ReadsTheTimeLayout) {
  EXPECT_EQ(TimeShift(" 10:00:00 ", 5, '+'), "10:00:05");
  EXPECT_EQ(TimeShift("12:60:60", 0, '+'), "13:01:00");
  EXPECT_EQ(TimeShift("ab:cd:ef", 61, '+'), "00:01:01");
}

TEST(TimeShift, OtherOperatorGivesEmptyText) {
  EXPECT_EQ(TimeShift("10:00:00", 1, 'x'), "");
}

TEST(TimeShift, HugeShiftsDoNotCrash) {
  const long long big = std::numeric_limits<long long>::max();
  const long long small = std::numeric_limits<long long>::min();
  for (const char op : {'+', '-'}) {
    EXPECT_FALSE(TimeShift("10:00:00", big, op).empty());
    EXPECT_FALSE(TimeShift("10:00:00", small, op).empty());
  }
  EXPECT_EQ(TimeShift("", 0, '+'), "00:00:00");
}

}  // namespace
}  // namespace kes

namespace kes {
namespace {

TEST(DateTimeSerial, UnitMinutesNeedsALowerCaseI) {
  // The second character "i" selects minutes; otherwise the first character,
  // in lower case, decides: "MI" and "MONTH" are months.
  EXPECT_EQ(DateTimeDiff("Mi", "2004/01/01_10:00:00", "2004/01/01_11:30:00"), 90);
  EXPECT_EQ(DateTimeDiff("MI", "2004/01/01_10:00:00", "2004/03/01_11:30:00"), 2);
  EXPECT_EQ(DateTimeDiff("MONTH", "2004/01/01", "2004/03/01"), 2);
  EXPECT_EQ(DateTimeDiff("Hours", "2004/01/01", "2004/01/01_05:00:00"), 5);
  EXPECT_EQ(DateTimeDiff("sec", "2004/01/01_00:00:00", "2004/01/01_00:01:05"), 65);
}

TEST(DateTimeSerial, OnlyTenCharactersMakeADate) {
  // Nine characters are not a date: the fields are read where they stand.
  EXPECT_EQ(DateTimeSerial("2004/01/02", "h"), DateTimeSerial("2004/01/02_00:00:00", "h"));
  EXPECT_EQ(DateTimeSerial("  2004/01/02  ", "s"), DateTimeSerial("2004/01/02_00:00:00", "s"));
  EXPECT_EQ(DateTimeSerial("2004/01/02_07", "h") - DateTimeSerial("2004/01/02", "h"), 7);
}

TEST(TimeShift, NegativeShiftsOverSeveralHours) {
  EXPECT_EQ(TimeShift("01:00:00", 7200, '-'), "23:00:00");
  EXPECT_EQ(TimeShift("00:30:00", 3600 + 1, '-'), "23:29:59");
  EXPECT_EQ(TimeShift("12:00:00", 43199, '+'), "23:59:59");
  EXPECT_EQ(TimeShift("12:00:00", 43200, '+'), "00:00:00");
}

TEST(DateShift, YearBoundaries) {
  EXPECT_EQ(DateShift("2004/12/31", 1, '+'), "2005/01/01");
  EXPECT_EQ(DateShift("2005/01/01", 1, '-'), "2004/12/31");
  EXPECT_EQ(DateShift("2004/01/01", 366, '+'), "2005/01/01");
  EXPECT_EQ(DateShift("2003/01/01", 365, '+'), "2004/01/01");
  EXPECT_EQ(DateShift("2004-02-28", 1, '+'), "2004/02/29");
}

}  // namespace
}  // namespace kes
