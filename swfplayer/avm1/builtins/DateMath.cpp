#include "swfplayer/avm1/builtins/DateMath.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace swfplayer::avm1::date {

namespace {

constexpr int kMonthStart[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

// int32 arithmetic that wraps as the Flash Player's does, without C++'s undefined overflow.
int32_t Wrap(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value))); }

bool IsLeapYear(int32_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

double DayFromYear(double year) {
  return 365.0 * (year - 1970.0) + std::floor((year - 1969.0) / 4.0) - std::floor((year - 1901.0) / 100.0) +
         std::floor((year - 1601.0) / 400.0);
}

double TimeFromYear(double year) { return kMsPerDay * DayFromYear(year); }

// A floored remainder as a non-negative int32 (what is not a number stays INT32_MIN + rhs).
int32_t RemEuclid(double lhs, int32_t rhs) {
  const int32_t result = ClampToInt32(std::fmod(lhs, rhs));
  return result < 0 ? result + rhs : result;
}

int32_t DayWithinYear(double time) { return ClampToInt32(Day(time) - DayFromYear(YearFromTime(time))); }

double DayFromMonth(double year, double month) {
  const int32_t y = ClampToInt32(year);
  const int32_t m = ClampToInt32(std::floor(month));
  if (m < 0 || m >= 12) return std::numeric_limits<double>::quiet_NaN();
  return DayFromYear(y) + kMonthStart[IsLeapYear(y) ? 1 : 0][m];
}

}  // namespace

int32_t ClampToInt32(double value) {
  if (value >= -2147483648.0 && value <= 2147483647.0) return static_cast<int32_t>(value);
  return std::numeric_limits<int32_t>::min();
}

double Day(double time) { return std::floor(time / kMsPerDay); }

int32_t YearFromTime(double time) {
  // The largest year whose first day is not after time, found by bisection between the
  // bounds that years of 365 and 366 days give.
  const double day = Day(time);
  const bool before = time < 0;
  int32_t low = Wrap(int64_t{ClampToInt32(std::floor(day / (before ? 365.0 : 366.0)))} + 1970);
  int32_t high = Wrap(int64_t{ClampToInt32(std::ceil(day / (before ? 366.0 : 365.0)))} + 1970);
  while (low < high) {
    const int32_t pivot = ClampToInt32((static_cast<double>(low) + static_cast<double>(high)) / 2.0);
    if (TimeFromYear(pivot) <= time) {
      if (TimeFromYear(static_cast<double>(pivot) + 1.0) > time) return pivot;
      low = Wrap(int64_t{pivot} + 1);
    } else {
      high = Wrap(int64_t{pivot} - 1);
    }
  }
  return low;
}

int32_t MonthFromTime(double time) {
  const int32_t day = DayWithinYear(time);
  const int leap = IsLeapYear(YearFromTime(time)) ? 1 : 0;
  for (int month = 0; month < 11; ++month) {
    if (day < kMonthStart[leap][month + 1]) return month;
  }
  return 11;
}

int32_t DateFromTime(double time) {
  const int32_t month = MonthFromTime(time);
  const int leap = IsLeapYear(YearFromTime(time)) ? 1 : 0;
  return Wrap(int64_t{DayWithinYear(time)} - kMonthStart[leap][month] + 1);
}

int32_t WeekDay(double time) { return RemEuclid(Day(time) + 4.0, 7); }
// Half a millisecond later, as the Flash Player counts hours.
int32_t HourFromTime(double time) { return RemEuclid(std::floor((time + 0.5) / kMsPerHour), 24); }
int32_t MinFromTime(double time) { return RemEuclid(std::floor(time / kMsPerMinute), 60); }
int32_t SecFromTime(double time) { return RemEuclid(std::floor(time / kMsPerSecond), 60); }
int32_t MsFromTime(double time) { return RemEuclid(time, 1000); }

double TimeWithinDay(double time, uint8_t swfVersion) {
  const double remainder = std::fmod(time, kMsPerDay);
  return swfVersion > 7 && remainder < 0 ? remainder + kMsPerDay : remainder;
}

double MakeTime(double hours, double minutes, double seconds, double milliseconds) {
  return std::floor(hours) * kMsPerHour + std::floor(minutes) * kMsPerMinute + std::floor(seconds) * kMsPerSecond +
         std::floor(milliseconds);
}

double MakeDay(double year, double month, double date) {
  double y = std::floor(year);
  double m = std::floor(month);
  y += std::floor(m / 12.0);
  m = std::fmod(m, 12.0);
  if (m < 0) m += 12.0;
  return DayFromMonth(y, m) + std::floor(date) - 1.0;
}

double MakeDate(double day, double time) { return day * kMsPerDay + time; }

double MakeFullDate(double year, double month, double date, double hours, double minutes, double seconds,
                    double milliseconds) {
  if (year < 100) year += 1900;
  return MakeDate(MakeDay(year, month, date), MakeTime(hours, minutes, seconds, milliseconds));
}

double TimeClip(double time) {
  if (!std::isfinite(time) || std::fabs(time) > kMaxTime) return std::numeric_limits<double>::quiet_NaN();
  return std::floor(time);
}

std::string Format(double localTime, double offsetMinutes) {
  if (!std::isfinite(localTime)) return "Invalid Date";
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const int64_t zone = ClampToInt32(offsetMinutes);
  const int64_t zoneAbs = zone < 0 ? -zone : zone;
  char text[96];
  std::snprintf(text, sizeof text, "%s %s %d %02d:%02d:%02d GMT%c%02d%02d %d", kDays[WeekDay(localTime)],
                kMonths[MonthFromTime(localTime)], DateFromTime(localTime), HourFromTime(localTime),
                MinFromTime(localTime), SecFromTime(localTime), zone < 0 ? '-' : '+', static_cast<int>(zoneAbs / 60),
                static_cast<int>(zoneAbs % 60), YearFromTime(localTime));
  return text;
}

}  // namespace swfplayer::avm1::date
