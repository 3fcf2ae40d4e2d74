// Statistics: periods per channel and interval, the table texts and the
// copied text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "analysis/statistics_accumulator.h"
#include "analysis/statistics_table.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;

constexpr double kHour = 3600;

struct Stats {
  StatisticsAccumulator cells;
  StatisticsSettings settings;

  StatisticsTable Build(CaptureBuilder& b) {
    cells.Reset(kIntervalsPerDay[settings.interval]);
    cells.Accumulate(b.data, settings.activeLevel);
    return StatisticsTable(cells, settings, b.view.Traces);
  }
};

TEST(Statistics, PeriodCountsInTheIntervalOfItsEnd) {
  CaptureBuilder b(10 * kHour);
  b.Event(10 * kHour + 50 * 60, 1, 1).Event(11 * kHour + 10 * 60, 1, 0).Finish(12 * kHour);
  Stats s;
  StatisticsTable t = s.Build(b);
  ASSERT_EQ(t.ColumnCount(), 3);
  ASSERT_EQ(t.RowCount(), 2);
  EXPECT_EQ(t.CellText(0, 0), "Channel");
  EXPECT_EQ(t.CellText(0, 1), "1/1 10:00");
  EXPECT_EQ(t.CellText(0, 2), "1/1 11:00");
  EXPECT_EQ(t.CellText(1, 0), "#1");
  EXPECT_EQ(t.CellText(1, 1), "0");
  EXPECT_EQ(t.CellText(1, 2), "1");
  s.settings.type = StatisticType::TotalOnTime;
  t = s.Build(b);
  EXPECT_EQ(t.CellText(1, 1), "-");
  EXPECT_EQ(t.CellText(1, 2), "20:00.00");
  // Active Low: the same two events make no period.
  s.settings.activeLevel = 0;
  EXPECT_FALSE(s.Build(b).Visible());
  EXPECT_EQ(CopyAllText(s.Build(b)), "");
}

TEST(Statistics, EarlierLowStartsAnActiveLowPeriodAndEndsRepeat) {
  CaptureBuilder b(10 * kHour);
  b.StartLevel(1, 1).Event(10 * kHour + 60, 1, 0).Event(10 * kHour + 120, 1, 1);
  b.Event(10 * kHour + 180, 1, 1);  // a second end measures from the same start
  b.Finish(11 * kHour);
  Stats s;
  s.settings.activeLevel = 0;
  s.settings.type = StatisticType::Longest;
  s.settings.format = DurationFormat::Seconds;
  StatisticsTable t = s.Build(b);
  EXPECT_EQ(t.CellText(1, 1), "120.00");
  s.settings.type = StatisticType::Count;
  EXPECT_EQ(s.Build(b).CellText(1, 1), "2");
}

TEST(Statistics, GapsBetweenPeriodsShowZeroAndNothingAfterTheLast) {
  CaptureBuilder b(8 * kHour);
  b.Event(8 * kHour + 10, 2, 1).Event(8 * kHour + 100, 2, 0);   // 90 s in 8:00
  b.Event(10 * kHour + 10, 2, 1).Event(10 * kHour + 40, 2, 0);  // 30 s in 10:00
  b.Event(12 * kHour + 10, 3, 1).Event(12 * kHour + 20, 3, 0).Finish(13 * kHour);
  Stats s;
  s.settings.type = StatisticType::Longest;
  s.settings.format = DurationFormat::Seconds;
  StatisticsTable t = s.Build(b);
  ASSERT_EQ(t.ColumnCount(), 6);  // 8:00 .. 12:00
  ASSERT_EQ(t.RowCount(), 4);     // rows 1..3; channel 1 has no cells but is shown
  EXPECT_EQ(t.CellText(1, 1), "");
  EXPECT_EQ(t.CellText(2, 1), "90.00");
  EXPECT_EQ(t.CellText(2, 2), "-");
  EXPECT_EQ(t.CellText(2, 3), "30.00");
  EXPECT_EQ(t.CellText(2, 4), "");  // after channel 2's last period
  EXPECT_EQ(t.CellText(3, 5), "10.00");
  s.settings.type = StatisticType::Average;
  s.settings.format = DurationFormat::Clock;
  EXPECT_EQ(s.Build(b).CellText(2, 1), "1:30.00");
}

TEST(Statistics, RowsFollowTheChartOrder) {
  CaptureBuilder b(0);
  b.Event(10, 1, 1).Event(20, 1, 0).Finish(60);
  DisplayOrder order = b.view.Traces.Order();
  std::swap(order[0], order[4]);  // row 1 shows channel 5, row 5 channel 1
  ASSERT_TRUE(b.view.Traces.SetOrder(order));
  b.view.Traces.SetName(1, "Hall call");
  Stats s;
  StatisticsTable t = s.Build(b);
  ASSERT_EQ(t.RowCount(), 6);
  EXPECT_EQ(t.CellText(1, 0), "#5");
  EXPECT_EQ(t.CellText(1, 1), "");
  EXPECT_EQ(t.CellText(5, 0), "Hall call");
  EXPECT_EQ(t.CellText(5, 1), "1");
  // A damaged order (naming no channel) cannot reach the view: it keeps the
  // rows it had, so the table does too.
  order[4] = 0;
  EXPECT_FALSE(b.view.Traces.SetOrder(order));
  EXPECT_EQ(s.Build(b).CellText(5, 0), "Hall call");
}

TEST(Statistics, BoundaryTimesAndDayHeaders) {
  CaptureBuilder b(10 * kHour);
  b.Event(10 * kHour + 30, 1, 1).Event(11 * kHour, 1, 0).Finish(12 * kHour);  // ends at 11:00:00.000
  Stats s;
  StatisticsTable t = s.Build(b);
  EXPECT_EQ(t.CellText(1, 1), "0");
  EXPECT_EQ(t.CellText(1, 2), "1");
  const double march5 = (31 + 28 + 4) * 24 * kHour;  // 5 March 2025 00:00
  CaptureBuilder march(march5 + 8 * kHour);
  march.Event(march5 + 9 * kHour, 1, 1).Event(march5 + 10 * kHour, 1, 0).Finish(march5 + 11 * kHour);
  s.settings.interval = 5;  // "1 Day"
  EXPECT_EQ(s.Build(march).CellText(0, 1), "5/3 00:00");
}

TEST(Statistics, CopyTextJoinsCellsWithTabsAndRowsWithCrLf) {
  CaptureBuilder b(10 * kHour);
  b.Event(10 * kHour + 20 * 60, 2, 1).Event(10 * kHour + 30 * 60, 2, 0);
  b.Event(10 * kHour + 50 * 60, 1, 1).Event(11 * kHour + 10 * 60, 1, 0).Finish(12 * kHour);
  Stats s;
  const StatisticsTable t = s.Build(b);
  EXPECT_EQ(CopyAllText(t), "Channel\t1/1 10:00\t1/1 11:00\r\n#1\t0\t1\r\n#2\t1\t");
  EXPECT_EQ(CopyBlockText(t, 1, 1, 1, 1), "0");
  EXPECT_EQ(CopyBlockText(t, 1, 1, 2, 2), "0\t1\r\n1\t");
  EXPECT_EQ(CopyBlockText(t, 1, 1, 9, 9), "0\t1\r\n1\t");  // held to the table
}

TEST(Statistics, FarFutureTimeStampIsLeftOutInsteadOfExhaustingMemory) {
  CaptureBuilder b(10 * kHour);
  b.Event(10 * kHour + 10, 1, 1).Event(10 * kHour + 20, 1, 0);
  b.EventAt(4.0e6, 1, 1).EventAt(4.0e6 + 1, 1, 0);           // centuries ahead
  b.EventAt(0.0 / 0.0, 1, 1).EventAt(-1.0 / 0.0, 1, 0);       // unreadable
  b.Finish(11 * kHour);
  Stats s;
  s.settings.interval = 0;  // 15 minutes
  const StatisticsTable t = s.Build(b);
  EXPECT_TRUE(s.cells.Truncated());
  EXPECT_EQ(t.ColumnCount(), 2);
  EXPECT_EQ(t.CellText(1, 1), "1");
}

// The rule read plainly, one event at a time, with each channel's cells
// grown as its periods end.
struct PlainReading {
  int64_t first = 0, last = 0;
  bool truncated = false;
  std::vector<IntervalCell> cells[kChannelCount];

  PlainReading(const CaptureData& data, int perDay, uint8_t activeLevel) {
    StatisticsAccumulator numbers;  // for its interval numbers only
    numbers.Reset(perDay);
    int64_t n = 0;
    if (!numbers.IntervalNumber(data.CaptureStart.time, n)) n = 0;
    first = last = n;
    double activation[kChannelCount] = {};
    bool started[kChannelCount] = {};
    for (uint32_t i = 0; i < data.Store.Count(); ++i) {
      const EventRecord& e = data.Store[i];
      if (e.channel < 1 || e.channel > kChannelCount) continue;
      const int c = e.channel - 1;
      if (!numbers.IntervalNumber(e.time, n)) continue;
      if (n >= first + kMaxIntervalColumns) {
        truncated = true;
        continue;
      }
      last = std::max(last, n);
      if ((e.state != 0) == (activeLevel != 0)) {
        activation[c] = e.time;
        started[c] = true;
        continue;
      }
      if (!started[c] || n < first) continue;
      std::vector<IntervalCell>& mine = cells[c];
      const size_t index = static_cast<size_t>(n - first);
      if (mine.size() <= index) mine.resize(index + 1);
      IntervalCell& cell = mine[index];
      const double d = e.time - activation[c];
      cell.count += 1;
      if (d < cell.shortest || cell.shortest == 0.0) cell.shortest = d;
      if (d > cell.longest) cell.longest = d;
      cell.total += d;
    }
  }
};

TEST(Statistics, OnePassGivesWhatThePlainReadingGives) {
  std::mt19937 random(5);
  for (int round = 0; round < 80; ++round) {
    CaptureBuilder b(0);
    const int channels = 1 + static_cast<int>(random() % 20);
    const int events = static_cast<int>(random() % 4000);
    double t = 0;
    for (int i = 0; i < events; ++i) {
      t += 0.5 * (random() % 200);  // up to 100 s apart: a day over many intervals
      double at = At(t);
      switch (random() % 60) {
        case 0: at = At(t - 3600.0 * (random() % 30)); break;  // runs backwards
        case 1: at = std::numeric_limits<double>::quiet_NaN(); break;
        case 2: at = At(t + 86400.0 * (random() % 400)); break;  // far ahead, perhaps past the limit
        case 3: at = At(t) + 1e-9; break;
        default: break;
      }
      const int channel = random() % 50 == 0 ? static_cast<int>(random() % 256) : 1 + static_cast<int>(random() % channels);
      // Mostly toggling levels; now and then a repeated one or another byte.
      b.EventAt(at, channel, static_cast<uint8_t>(random() % 9 == 0 ? random() % 256 : random() % 2));
      if (random() % 7 == 0) b.EventAt(at, channel, static_cast<uint8_t>(random() % 2));  // a zero-length period
    }
    b.Finish(t + 1);
    if (random() % 4 == 0) b.data.CaptureStart.time = At(3600.0 * (random() % 48));  // events before the start
    const int perDay = kIntervalsPerDay[random() % 6];
    const uint8_t activeLevel = static_cast<uint8_t>(random() % 2);

    StatisticsAccumulator cells;
    cells.Reset(perDay);
    cells.Accumulate(b.data, activeLevel);
    const PlainReading plain(b.data, perDay, activeLevel);
    ASSERT_EQ(cells.FirstInterval(), plain.first) << "round " << round;
    ASSERT_EQ(cells.LastInterval(), plain.last) << "round " << round;
    ASSERT_EQ(cells.Truncated(), plain.truncated) << "round " << round;
    for (int c = 1; c <= kChannelCount; ++c) {
      const std::span<const IntervalCell> got = cells.Cells(c);
      const std::vector<IntervalCell>& want = plain.cells[c - 1];
      ASSERT_EQ(got.size(), want.size()) << "round " << round << ", channel " << c;
      for (size_t i = 0; i < want.size(); ++i) {
        ASSERT_EQ(got[i].count, want[i].count) << "round " << round << ", channel " << c << ", cell " << i;
        // Bit for bit: the same subtractions in the same order.
        ASSERT_EQ(std::memcmp(&got[i].shortest, &want[i].shortest, 3 * sizeof(double)), 0)
            << "round " << round << ", channel " << c << ", cell " << i;
      }
    }
  }
}

}  // namespace
}  // namespace korvalog
