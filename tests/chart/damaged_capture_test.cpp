// Captures as a damaged or hand-made file may leave them: channels and
// levels outside their ranges, times out of order or unreadable, snapshot
// indices beyond the events. Every pass must finish with bounded results
// (the sanitizer builds check the memory accesses).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "analysis/statistics_accumulator.h"
#include "analysis/statistics_table.h"
#include "chart/search_strip_plan.h"
#include "chart/waveform_plan.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;

double OddTime(std::mt19937& random) {
  switch (random() % 12) {
    case 0: return std::numeric_limits<double>::quiet_NaN();
    case 1: return std::numeric_limits<double>::infinity();
    case 2: return -1e300;
    case 3: return 0.0;
    default: return At(std::uniform_real_distribution<double>(-50, 500)(random));
  }
}

TEST(DamagedCaptures, EveryPassFinishesWithinBounds) {
  std::mt19937 random(2024);
  for (int round = 0; round < 200; ++round) {
    CaptureBuilder b;
    DisplayOrder order{};
    for (int c = 1; c <= kChannelCount; ++c) {
      b.data.CaptureStart.states[c - 1] = static_cast<uint8_t>(random() % 4);
      b.view.Traces.SetSearch(c, static_cast<uint8_t>(random() % 5));
      order[c - 1] = static_cast<uint8_t>(random() % 256);
    }
    // Damaged rows never reach the view; shuffled ones do.
    EXPECT_EQ(b.view.Traces.SetOrder(order), IsPermutation(order));
    DisplayOrder shuffled = b.view.Traces.Order();
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    ASSERT_TRUE(b.view.Traces.SetOrder(shuffled));
    for (SequenceRow& row : b.view.Sequence) {
      row = SequenceRow{static_cast<uint8_t>(random() % 6 == 0 ? 0 : random() % 256),
                        static_cast<uint8_t>(random() % 3), static_cast<uint16_t>(random() % 30),
                        static_cast<uint16_t>(random() % 30)};
    }
    const int events = static_cast<int>(random() % 400);
    for (int i = 0; i < events; ++i) {
      // Mostly sorted times on a few real channels, with damage sprinkled in.
      const bool odd = random() % 8 == 0;
      b.EventAt(odd ? OddTime(random) : At(i), odd ? static_cast<int>(random() % 256) : 1 + static_cast<int>(random() % 6),
                static_cast<uint8_t>(odd ? random() % 256 : random() % 2));
    }
    b.Finish(events + 1.0);
    b.data.CaptureStart.time = OddTime(random);
    b.data.CaptureEnd.index = static_cast<uint32_t>(random() % (events + 50));
    PositionSnapshot start = b.data.CaptureStart;
    start.index = static_cast<uint32_t>(random() % (events + 50));
    const uint16_t width = static_cast<uint16_t>(random() % 3 == 0 ? random() % 3 : random() % 2000);

    WaveformPlan waves;
    RenderWaveforms(b.data, start, b.data.CaptureEnd, width, waves);
    for (const auto& segments : waves.channels) {
      ASSERT_FALSE(segments.empty());
      EXPECT_EQ(segments.back().x1, width);
    }
    StripPlan strip;
    for (uint8_t mode : {kStripSearch, kStripSequence}) {
      RenderSearchStrip(b.data, b.view, start, b.data.CaptureEnd, mode, width, StripGeometry{}, strip);
      // A counted match is opened by one event and closed by a later one.
      EXPECT_LE(2 * strip.stats.MatchCount, events);
      for (const StepSegment& s : strip.steps) {
        EXPECT_GE(s.y, strip.lines.highY);
        EXPECT_LE(s.y, strip.lines.lowY);
      }
    }
    StatisticsAccumulator cells;
    StatisticsSettings settings;
    settings.interval = static_cast<int>(random() % 6);
    settings.type = static_cast<StatisticType>(random() % 5);
    cells.Reset(kIntervalsPerDay[settings.interval]);
    cells.Accumulate(b.data, static_cast<uint8_t>(random() % 2));
    const StatisticsTable table(cells, settings, b.view.Traces);
    EXPECT_LE(table.ColumnCount(), kMaxIntervalColumns + 1);
    EXPECT_LE(CopyAllText(table).size(), static_cast<size_t>(table.RowCount()) * table.ColumnCount() * 40);
  }
}

}  // namespace
}  // namespace korvalog
