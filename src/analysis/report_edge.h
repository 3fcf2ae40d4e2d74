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

// Seconds between two date-times, to the millisecond the clock resolves.
inline double SecondsBetween(double from, double to) {
  return static_cast<double>(std::llround((to - from) * kMsPerDay)) / 1000.0;
}

}  // namespace korvalog
