#pragma once
// Per channel and per fixed time interval: how many active periods ended in
// the interval and how long they were. One pass over the whole capture.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "core/capture_data.h"

namespace korvalog {

enum class StatisticType { Count, Average, Shortest, Longest, TotalOnTime };
enum class DurationFormat { Clock, Seconds };  // "HH:MM:SS.SS", "S..S.SS"

constexpr const char* kStatisticTypeNames[] = {"Count", "Average", "Shortest", "Longest", "Total On Time"};
constexpr const char* kIntervalNames[] = {"15 mins", "30 mins", "1 Hour", "6 Hours", "12 Hours", "1 Day"};
constexpr int kIntervalsPerDay[] = {96, 48, 24, 4, 2, 1};
constexpr const char* kDurationFormatNames[] = {"HH:MM:SS.SS", "S..S.SS"};
constexpr const char* kActiveLevelNames[] = {"Active Low", "Active High"};

// The window's four choices; the defaults are its starting values.
struct StatisticsSettings {
  StatisticType type = StatisticType::Count;
  int interval = 2;  // index into kIntervalNames: "1 Hour"
  DurationFormat format = DurationFormat::Clock;
  uint8_t activeLevel = 1;  // "Active High"
  bool operator==(const StatisticsSettings&) const = default;
};

struct IntervalCell {
  uint32_t count = 0;
  double shortest = 0.0;  // durations in days; shortest 0 = none yet
  double longest = 0.0;
  double total = 0.0;
};

// A table wider than this is of no use to anyone and would only exhaust
// memory (a damaged time stamp years ahead); later periods are left out.
constexpr int64_t kMaxIntervalColumns = 32768;

class StatisticsAccumulator {
 public:
  StatisticsAccumulator() { Reset(24); }

  // Empties every channel's cells (keeping their memory) and clears the
  // activation times; intervalsPerDay is one of kIntervalsPerDay.
  void Reset(int intervalsPerDay);

  // Walks every stored event in order. A period counts wholly in the
  // interval of the event that ends it; periods running at the capture's
  // start or end, or across a link gap, are not counted.
  void Accumulate(const CaptureData& data, uint8_t activeLevel);

  int IntervalsPerDay() const { return perDay_; }
  int64_t FirstInterval() const { return first_; }
  int64_t LastInterval() const { return last_; }
  // Cells of channel 1..128; cell i stands for interval FirstInterval() + i.
  std::span<const IntervalCell> Cells(int channel) const { return cells_[channel - 1]; }
  // Some periods lay beyond kMaxIntervalColumns and were left out.
  bool Truncated() const { return truncated_; }

  // Interval number of a time: whole intervals since the epoch, taken on
  // whole milliseconds so a time on a boundary falls in the later interval.
  // False for a time that cannot be a date.
  bool IntervalNumber(double t, int64_t& n) const;

 private:
  static constexpr int32_t kNoRow = -1;

  // The cells of a row; row 0 is the scratch row.
  IntervalCell* Row(int32_t row) { return rows_.data() + static_cast<size_t>(row) * kChannelCount; }
  int32_t RowOfInterval(int64_t index);
  void LayOutPerChannel();

  int perDay_ = 24;
  int64_t intervalMs_ = 3600000;
  int64_t first_ = 0;
  int64_t last_ = 0;
  bool truncated_ = false;
  // While accumulating: a row of one cell per channel for each interval that
  // events fall in, added when the walk first enters the interval, so the
  // per-event work never checks the size of an array. Events that measure
  // nothing write the scratch row instead, so starts and ends take one path.
  std::vector<IntervalCell> rows_;
  std::vector<int32_t> rowOf_;  // per interval index from first_: its row, or kNoRow
  // Afterwards per channel, up to its last interval with a period.
  std::array<std::vector<IntervalCell>, kChannelCount> cells_;
  // Entry 0 spare (written by events that start nothing), then per channel
  // the time of its latest start; NaN until it has one.
  std::array<double, kChannelCount + 1> activation_;
};

}  // namespace korvalog
