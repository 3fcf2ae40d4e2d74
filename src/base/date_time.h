#pragma once
// Date-time values: a double counting whole days since 30 December 1899 00:00,
// the time of day as the fraction. All time stamps are local PC time.
#include <cstdint>

namespace korvalog {

constexpr double kMsPerDay = 86400000.0;
constexpr double kSecondsPerDay = 86400.0;

struct DateTimeFields {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Days since 30 December 1899 for a civil date; valid for any proleptic
// Gregorian date. The caller checks ranges (IsValidDate).
int64_t DaysFromCivil(int year, int month, int day);
bool IsValidDate(int year, int month, int day);
bool IsValidTime(int hour, int minute, int second, int millisecond);

// Builds a date-time from its fields; false when a field is out of range.
bool TryEncodeDateTime(const DateTimeFields& f, double& out);

// Whole milliseconds since the epoch, rounded to the nearest millisecond.
int64_t DateTimeToMs(double dateTime);
// Splits a millisecond count (floor division, so negative values still give
// a valid time of day) into calendar and clock fields.
DateTimeFields FieldsFromMs(int64_t ms);

}  // namespace korvalog
