#include "base/date_time.h"

#include <cmath>

namespace korvalog {
namespace {

constexpr int64_t kMsPerDayInt = 86400000;
// Days from 1970-01-01 back to 1899-12-30.
constexpr int64_t kEpochShift = 25569;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

int64_t DaysFromCivil(int year, int month, int day) {
  // Days since 1970-01-01 (proleptic Gregorian), then shifted to 1899-12-30.
  const int64_t y = static_cast<int64_t>(year) - (month <= 2);
  const int64_t era = FloorDiv(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t mp = (month + 9) % 12;
  const int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + kEpochShift;
}

bool IsValidDate(int year, int month, int day) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  const int limit = kDays[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0);
  return day <= limit;
}

bool IsValidTime(int hour, int minute, int second, int millisecond) {
  return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
         millisecond >= 0 && millisecond < 1000;
}

bool TryEncodeDateTime(const DateTimeFields& f, double& out) {
  if (!IsValidDate(f.year, f.month, f.day) ||
      !IsValidTime(f.hour, f.minute, f.second, f.millisecond)) {
    return false;
  }
  const double days = static_cast<double>(DaysFromCivil(f.year, f.month, f.day));
  const double ms = ((f.hour * 60.0 + f.minute) * 60.0 + f.second) * 1000.0 + f.millisecond;
  out = days + ms / kMsPerDay;
  return true;
}

int64_t DateTimeToMs(double dateTime) {
  const double ms = std::round(dateTime * kMsPerDay);
  // Clamp far outside any real date so the conversion stays defined.
  if (!(ms > -9.0e15)) return static_cast<int64_t>(-9.0e15);
  if (!(ms < 9.0e15)) return static_cast<int64_t>(9.0e15);
  return static_cast<int64_t>(ms);
}

DateTimeFields FieldsFromMs(int64_t ms) {
  const int64_t dayNumber = FloorDiv(ms, kMsPerDayInt);
  int64_t timeOfDay = ms - dayNumber * kMsPerDayInt;

  // Civil date from days since 1970-01-01.
  const int64_t z = dayNumber - kEpochShift + 719468;
  const int64_t era = FloorDiv(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  DateTimeFields f;
  f.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  f.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  f.year = static_cast<int>(yoe + era * 400 + (f.month <= 2));

  f.millisecond = static_cast<int>(timeOfDay % 1000);
  timeOfDay /= 1000;
  f.second = static_cast<int>(timeOfDay % 60);
  timeOfDay /= 60;
  f.minute = static_cast<int>(timeOfDay % 60);
  f.hour = static_cast<int>(timeOfDay / 60);
  return f;
}

}  // namespace korvalog
