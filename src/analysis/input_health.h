#pragma once
// Health of every input, with a role or not: its transitions, chatter
// (a level held shorter than the threshold, below any debounce the logger
// applies, so a fault upstream), whether it never changed, whether it stuck
// on longer than the threshold, and its busiest hour.
#include <array>
#include <cstdint>
#include <vector>

#include "analysis/report_edge.h"
#include "analysis/report_occurrence.h"
#include "core/records.h"

namespace korvalog {

struct ChannelHealth {
  uint32_t transitions = 0;
  uint32_t chatter = 0;
  uint32_t stuckSpells = 0;
  double longestOn = 0;      // seconds, a level still on at the end included
  int busiestHour = -1;      // index from the capture's first hour; -1 = none
  uint32_t busiestCount = 0;
  bool neverChanged() const { return transitions == 0; }
};

class InputHealth {
 public:
  // `hours`: how many whole clock hours the capture touches; `hour0` the
  // date-time of the first one's start.
  void Start(double start, const uint8_t (&levels)[kChannelCount], double hour0, int hours,
             double chatterSeconds, double stuckSeconds);
  void Edge(const InputEdge& e) {
    const int i = e.channel - 1;
    ChannelHealth& h = channels[i];
    ++h.transitions;
    const int hour = HourOf(e.time);
    ++perHour_[static_cast<size_t>(i) * hours_ + hour];
    const double held = e.time - since_[i];
    if (held < chatterDays_ && since_[i] != start_) AddChatter(e, held);
    if (!e.on && held >= stuckDays_ && !exempt_[i]) AddStuck(e.channel, since_[i], e.time, since_[i] == start_);
    if (!e.on && held * 86400.0 > h.longestOn) h.longestOn = SecondsBetween(since_[i], e.time);
    since_[i] = e.time;
    level_[i] = e.on ? 1 : 0;
  }
  void Finish(double end);
  // Inputs on for hours by design (service states, an idle car's closed
  // door) are not stuck.
  void ExemptFromStuck(int channel) { exempt_[channel - 1] = true; }

  int HourOf(double t) const {
    const int h = static_cast<int>((t - hour0_) * 24.0);
    return h < 0 ? 0 : (h >= hours_ ? hours_ - 1 : h);
  }

  std::array<ChannelHealth, kChannelCount> channels{};
  Occurrences chatter, stuck;
  double chatterSeconds = 0.05, stuckSeconds = 600;

 private:
  void AddChatter(const InputEdge& e, double heldDays);
  void AddStuck(uint8_t channel, double from, double to, bool fromStart);

  double start_ = 0, hour0_ = 0, chatterDays_ = 0, stuckDays_ = 0;
  int hours_ = 1;
  double since_[kChannelCount] = {};
  uint8_t level_[kChannelCount] = {};
  bool exempt_[kChannelCount] = {};
  std::vector<uint32_t> perHour_;
};

}  // namespace korvalog
