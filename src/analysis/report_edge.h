#pragma once
// What every report family is fed: one real change of one input, in time
// order, with the role the input has.
#include <cmath>
#include <cstdint>

#include "base/date_time.h"
#include "core/channel_roles.h"

namespace korvalog {

struct InputEdge {
  double time;  // date-time
  uint8_t channel;
  bool on;
  ChannelRole role;
  int16_t floor;
};

// Whole milliseconds of a date-time: every boundary of the report is
// compared in these, so no rounding decides an inclusive limit.
// Rounded half away from zero as llround does, inline: the library call
// was a tenth of the report's time.
inline int64_t RoundMs(double ms) { return static_cast<int64_t>(ms + (ms >= 0 ? 0.5 : -0.5)); }
inline int64_t MsOf(double dateTime) { return RoundMs(dateTime * kMsPerDay); }

// Seconds between two date-times, to the millisecond the clock resolves;
// never negative (a clock set back must not make a negative figure).
inline double SecondsBetween(double from, double to) {
  const int64_t ms = RoundMs((to - from) * kMsPerDay);
  return ms > 0 ? static_cast<double>(ms) / 1000.0 : 0.0;
}

}  // namespace korvalog
