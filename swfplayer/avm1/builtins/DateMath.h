// The calendar arithmetic of Date: times are milliseconds since 1970-01-01 as doubles, the
// fields are found as the Flash Player finds them. The Flash Player converts to 32-bit integers
// the way x86 does (NaN and anything out of range become INT32_MIN), so an infinite time has
// fields like -2147483647 instead of NaN, and a year of NaN makes a finite, absurd date: movies
// see these values, and they are kept.
#pragma once

#include <cstdint>
#include <string>

namespace swfplayer::avm1::date {

constexpr double kMsPerSecond = 1000;
constexpr double kMsPerMinute = 60000;
constexpr double kMsPerHour = 3600000;
constexpr double kMsPerDay = 86400000;
// The largest time a valid date may have, either side of 1970 (100 million days).
constexpr double kMaxTime = 8.64e15;

// Truncation toward zero; NaN and values outside the int32 range give INT32_MIN.
int32_t ClampToInt32(double value);

// Days since the epoch (floored) and the fields of a time, all in the time's own zone.
double Day(double time);
int32_t YearFromTime(double time);
int32_t MonthFromTime(double time);    // 0..11
int32_t DateFromTime(double time);     // 1..31
int32_t WeekDay(double time);          // 0 is Sunday
int32_t HourFromTime(double time);
int32_t MinFromTime(double time);
int32_t SecFromTime(double time);
int32_t MsFromTime(double time);
// Milliseconds since midnight: floored from SWF 8 on, the C remainder (negative before 1970)
// before it.
double TimeWithinDay(double time, uint8_t swfVersion);

// Building times from fields (each floored; a month outside 0..11 carries into the year).
double MakeTime(double hours, double minutes, double seconds, double milliseconds);
double MakeDay(double year, double month, double date);
double MakeDate(double day, double time);
// new Date(y, m, ...) and Date.UTC: years 0..99 (and below) count from 1900.
double MakeFullDate(double year, double month, double date, double hours, double minutes, double seconds,
                    double milliseconds);
// setTime and the setters: NaN outside +-kMaxTime, else floored.
double TimeClip(double time);

// "Sat Feb 3 04:05:06 GMT+0545 2001" for a local time and its zone's offset (minutes east),
// "Invalid Date" when the time is not finite.
std::string Format(double localTime, double offsetMinutes);

}  // namespace swfplayer::avm1::date
