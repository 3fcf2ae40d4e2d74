#pragma once
// Builds a finished capture in a real CaptureData for the chart and analysis
// tests: start levels, events at given seconds, and the end snapshot; and the
// view beside it with its search conditions and Sequencer rows.
#include <algorithm>
#include <cstdint>

#include "base/date_time.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/clock.h"

namespace korvalog::testing {

// 1 January 2025 00:00 plus the given seconds, as a date-time.
inline double At(double seconds) { return 45658.0 + seconds / kSecondsPerDay; }
inline double Seconds(double days) { return days * kSecondsPerDay; }

class CaptureBuilder {
 public:
  explicit CaptureBuilder(double startSeconds = 0.0) : data(clock) {
    SetStartupDefaults(data, view);
    data.CaptureStart = PositionSnapshot{};
    data.CaptureStart.time = At(startSeconds);
  }

  CaptureBuilder& StartLevel(int channel, uint8_t level) {
    data.CaptureStart.states[channel - 1] = level;
    levels_[channel - 1] = level;
    return *this;
  }
  CaptureBuilder& Search(int channel, uint8_t condition) {
    view.Traces.SetSearch(channel, condition);
    return *this;
  }
  CaptureBuilder& Row(int row, uint8_t signal, uint8_t event, uint16_t minTime = 0, uint16_t maxTime = 0) {
    view.Sequence[row - 1] = SequenceRow{signal, event, minTime, maxTime};
    return *this;
  }
  // Appends an event at the given seconds after 1 January 2025 00:00.
  CaptureBuilder& Event(double seconds, int channel, uint8_t state) { return EventAt(At(seconds), channel, state); }
  CaptureBuilder& EventAt(double time, int channel, uint8_t state) {
    const uint32_t n = data.Store.Count();
    data.Store.MutableData()[n] = EventRecord{time, static_cast<uint8_t>(channel), state};
    data.Store.SetCount(n + 1);
    if (channel >= 1 && channel <= kChannelCount) levels_[channel - 1] = state;
    return *this;
  }
  // Puts the events appended so far in time order (stable), as a logger
  // delivers them, for tests that build a capture channel by channel.
  CaptureBuilder& InTimeOrder() {
    EventRecord* events = data.Store.MutableData();
    std::stable_sort(events, events + data.Store.Count(),
                     [](const EventRecord& a, const EventRecord& b) { return a.time < b.time; });
    for (int c = 0; c < kChannelCount; ++c) levels_[c] = data.CaptureStart.states[c];
    for (uint32_t i = 0; i < data.Store.Count(); ++i) {
      if (events[i].channel >= 1 && events[i].channel <= kChannelCount) levels_[events[i].channel - 1] = events[i].state;
    }
    return *this;
  }
  // Ends the capture: CaptureEnd holds the count, the time and the levels.
  CaptureBuilder& Finish(double endSeconds) {
    data.CaptureEnd = PositionSnapshot{};
    data.CaptureEnd.index = data.Store.Count();
    data.CaptureEnd.time = At(endSeconds);
    for (int c = 0; c < kChannelCount; ++c) data.CaptureEnd.states[c] = levels_[c];
    data.DataPresent.store(1);
    return *this;
  }

  ManualClock clock;
  CaptureData data;
  CaptureView view;

 private:
  uint8_t levels_[kChannelCount] = {};
};

}  // namespace korvalog::testing
