#include "base/time_text.h"

#include "base/byte_text.h"
#include "base/date_time.h"

namespace korvalog {
namespace {

constexpr int64_t kMsPerSecond = 1000;
constexpr int64_t kMsPerMinute = 60 * kMsPerSecond;
constexpr int64_t kMsPerHour = 60 * kMsPerMinute;
constexpr int64_t kMsPerDay = 24 * kMsPerHour;

// The value with 5 ms added, rounded to whole milliseconds.
int64_t RoundedMsPlusFive(double days) { return DateTimeToMs(days + 5.0 / kMsPerDay); }

std::string ThreeDigits(int v) {
  return std::string{static_cast<char>('0' + v / 100), static_cast<char>('0' + v / 10 % 10),
                     static_cast<char>('0' + v % 10)};
}

// Hundredths taken from the milliseconds by cutting the last digit.
std::string Hundredths(int ms) { return ThreeDigits(ms).substr(0, 2); }

std::string FormatMagnitude(int64_t ms) {
  const DateTimeFields f = FieldsFromMs(ms);
  // The form is chosen on the rounded value, so a value a fraction of a
  // millisecond below a boundary cannot lose its minutes or hours.
  if (ms >= kMsPerDay) {
    return Int64ToText(ms / kMsPerDay) + " " + TwoDigitText(static_cast<uint8_t>(f.hour)) + ":" +
           TwoDigitText(static_cast<uint8_t>(f.minute));
  }
  if (ms >= kMsPerHour) {
    return IntToText(f.hour) + ":" + TwoDigitText(static_cast<uint8_t>(f.minute)) + ":" +
           TwoDigitText(static_cast<uint8_t>(f.second));
  }
  if (ms >= kMsPerMinute) {
    return IntToText(f.minute) + ":" + TwoDigitText(static_cast<uint8_t>(f.second)) + "." +
           Hundredths(f.millisecond);
  }
  return IntToText(f.second) + "." + Hundredths(f.millisecond);
}

}  // namespace

std::string FormatTimeStamp(double dateTime) {
  const DateTimeFields f = FieldsFromMs(RoundedMsPlusFive(dateTime));
  std::string out;
  out.reserve(17);
  out += TwoDigitText(static_cast<uint8_t>(f.day));
  out += '/';
  out += TwoDigitText(static_cast<uint8_t>(f.month));
  out += ' ';
  out += TwoDigitText(static_cast<uint8_t>(f.hour));
  out += TwoDigitText(static_cast<uint8_t>(f.minute));
  out += ':';
  out += TwoDigitText(static_cast<uint8_t>(f.second));
  out += '.';
  out += ThreeDigits(f.millisecond);
  return out;
}

std::string FormatDuration(double days) {
  if (days < 0) return "-" + FormatMagnitude(RoundedMsPlusFive(-days));
  return FormatMagnitude(RoundedMsPlusFive(days));
}

}  // namespace korvalog
