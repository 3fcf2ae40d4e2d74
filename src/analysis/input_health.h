#pragma once
// Health of every input, with a role or not: its transitions, chatter
// (a level held shorter than the threshold, below any debounce the logger
// applies, so a fault upstream), whether it never changed, whether it stuck
// on longer than the threshold, and its busiest hour.
#include <algorithm>
#include <array>
#include <cmath>
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
  [[gnu::always_inline]] void Edge(const InputEdge& e) {
    const int i = e.channel - 1;
    ++channels[i].transitions;
    ++perHour_[static_cast<size_t>(i) * hours_ + HourOf(e.time)];
    const double since = since_[i];
    const double held = e.time - since;
    since_[i] = e.time;
    level_[i] = static_cast<uint8_t>(e.on);
    // Without branches on the level, which changes at random: the held on
    // time is 0 when the input comes on (a product, as a choice compiles to
    // a jump that is mispredicted half the time). The rare cases leave the
    // loop.
    const double heldOn = held * static_cast<double>(!e.on);
    longestOnDays_[i] = std::max(heldOn, longestOnDays_[i]);
    if (held < chatterDays_) [[unlikely]] AddChatter(e, since);
    if (heldOn >= stuckDays_) [[unlikely]] AddStuck(e.channel, since, e.time, since == start_);
  }
  void Finish(double end);
  // Which clock hour from the first a time falls in. Events come in time
  // order, so the hour moves on with them; only a stamp out of order is
  // placed by arithmetic.
  // Inputs on for hours by design (service states, an idle car's closed
  // door) are not stuck.
  void ExemptFromStuck(int channel) { exempt_[channel - 1] = true; }

  [[gnu::always_inline]] int HourOf(double t) {
    if (t < hourEnd_ && t >= hourEnd_ - kHourDays) [[likely]] return hour_;  // most events
    if (t >= hourEnd_ && t < hourEnd_ + kHourDays && hour_ + 1 < hours_) {
      ++hour_;
      hourEnd_ += kHourDays;
      return hour_;
    }
    const int h = static_cast<int>(std::floor((t - hour0_) * 24.0));
    hour_ = h < 0 ? 0 : (h >= hours_ ? hours_ - 1 : h);
    hourEnd_ = hour0_ + (hour_ + 1) * kHourDays;
    return hour_;
  }

  std::array<ChannelHealth, kChannelCount> channels{};
  Occurrences chatter, stuck;
  double chatterSeconds = 0.05, stuckSeconds = 600;

 private:
  void AddChatter(const InputEdge& e, double since);
  void AddStuck(uint8_t channel, double from, double to, bool fromStart);

  static constexpr double kHourDays = 1.0 / 24.0;
  double start_ = 0, hour0_ = 0, chatterDays_ = 0, stuckDays_ = 0;
  int hour_ = 0;
  double hourEnd_ = 0;
  double longestOnDays_[kChannelCount] = {};
  int hours_ = 1;
  double since_[kChannelCount] = {};
  uint8_t level_[kChannelCount] = {};
  bool exempt_[kChannelCount] = {};
  std::vector<uint32_t> perHour_;
};

}  // namespace korvalog
