#include "ui/common_helpers.h"

#include "core/date_time.h"
#include "ui/ansi_string_lib.h"

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

Rgb ChannelColour(int channel, uint8_t colourMode) {
  static constexpr Rgb kPalette16[16] = {
      {0, 0, 0},       {255, 0, 0},   {0, 255, 0},     {0, 0, 255},
      {255, 255, 0},   {255, 0, 255}, {0, 255, 255},   {128, 0, 0},
      {0, 128, 0},     {0, 0, 128},   {128, 128, 0},   {128, 0, 128},
      {0, 128, 128},   {128, 128, 128}, {192, 192, 192}, {128, 128, 192}};
  static constexpr uint8_t kLevels[4] = {0, 128, 192, 255};
  const int c = channel - 1;
  if (colourMode == 1) {
    const int v = ((c % 64) + 64) % 64;
    return Rgb{kLevels[(v / 16) % 4], kLevels[(v / 4) % 4], kLevels[v % 4]};
  }
  return kPalette16[((c % 16) + 16) % 16];
}

int CountSequenceSteps(const SequenceTable& table) {
  int n = 0;
  while (n < kSequenceRows && table[n].signal != 0) ++n;
  return n;
}

void SetStartupDefaults(CaptureData& data, CaptureView& view) {
  view.Reset();
  data.DataPresent.store(0);
}

}  // namespace korvalog
