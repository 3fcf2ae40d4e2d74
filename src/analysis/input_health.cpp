#include "analysis/input_health.h"

#include <cmath>

namespace korvalog {

void InputHealth::Start(double start, const uint8_t (&levels)[kChannelCount], double hour0, int hours,
                        double chatterSecs, double stuckSecs) {
  start_ = start;
  hour0_ = hour0;
  hours_ = hours < 1 ? 1 : hours;
  chatterSeconds = chatterSecs;
  stuckSeconds = stuckSecs;
  chatterDays_ = chatterSecs / 86400.0;
  stuckDays_ = stuckSecs / 86400.0;
  channels = {};
  perHour_.assign(static_cast<size_t>(kChannelCount) * hours_, 0);
  hour_ = 0;
  hourEnd_ = hour0 + kHourDays;
  for (double& d : longestOnDays_) d = 0;
  for (int i = 0; i < kChannelCount; ++i) {
    since_[i] = start;
    level_[i] = levels[i] != 0 ? 1 : 0;
  }
}

void InputHealth::AddChatter(const InputEdge& e, double from) {
  // The level that ends here was held too briefly: on pulses and off gaps.
  const int i = e.channel - 1;
  // The first level was not seen begin; the threshold itself is not chatter.
  if (from == start_ || SecondsBetween(from, e.time) >= chatterSeconds) return;
  ++channels[i].chatter;
  Occurrence o;
  o.kind = OccurrenceKind::Chatter;
  o.channel = e.channel;
  o.start = from;
  o.seconds = SecondsBetween(from, e.time);
  o.detail = e.on ? OccurrenceDetail::Low : OccurrenceDetail::None;
  chatter.push_back(o);
}

void InputHealth::AddStuck(uint8_t channel, double from, double to, bool fromStart) {
  (void)fromStart;
  if (exempt_[channel - 1]) return;
  ++channels[channel - 1].stuckSpells;
  Occurrence o;
  o.kind = OccurrenceKind::Stuck;
  o.channel = channel;
  o.start = from;
  o.seconds = SecondsBetween(from, to);
  stuck.push_back(o);
}

void InputHealth::Finish(double end) {
  for (int i = 0; i < kChannelCount; ++i) {
    ChannelHealth& h = channels[i];
    if (longestOnDays_[i] > 0) h.longestOn = static_cast<double>(std::llround(longestOnDays_[i] * 86400000.0)) / 1000.0;
    if (level_[i] == 1) {
      const double held = SecondsBetween(since_[i], end);
      if (held > h.longestOn) h.longestOn = held;
      // Still on at the end and on for longer than the threshold: stuck.
      if (h.transitions > 0 && !exempt_[i] && end - since_[i] >= stuckDays_) AddStuck(static_cast<uint8_t>(i + 1), since_[i], end, false);
    }
    const uint32_t* row = perHour_.data() + static_cast<size_t>(i) * hours_;
    for (int k = 0; k < hours_; ++k) {
      if (row[k] > h.busiestCount) {
        h.busiestCount = row[k];
        h.busiestHour = k;
      }
    }
  }
}

}  // namespace korvalog
