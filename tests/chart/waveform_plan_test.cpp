// The waveform plan: which level segments and edges each channel draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "chart/store_summary.h"
#include "chart/level_segment.h"
#include "chart/snapshot_walk.h"
#include "chart/time_axis.h"
#include "chart/waveform_plan.h"
#include "common/capture_builder.h"
#include "common/print_segments.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;


using Segments = std::vector<LevelSegment>;

// Selections of 100 s over 101 columns: one column per second.
struct Selection {
  PositionSnapshot start, end;
};
Selection Select(CaptureBuilder& b, double from, double to) {
  EventWalker walker(b.data, b.view);
  Selection s{b.data.CaptureStart, b.data.CaptureStart};
  walker.AdvanceSnapshot(s.start, At(from), b.data.CaptureEnd);
  s.end = s.start;
  walker.AdvanceSnapshot(s.end, At(to), b.data.CaptureEnd);
  return s;
}

TEST(Waveforms, ChannelWithTransitionsOnlyOutsideTheSelectionIsFlat) {
  CaptureBuilder b;
  b.StartLevel(5, 1).Event(10, 5, 0).Event(20, 5, 1).Event(250, 5, 0).Finish(300);
  const Selection sel = Select(b, 100, 200);
  WaveformPlan plan;
  RenderWaveforms(b.data, sel.start, sel.end, 101, plan);
  ASSERT_TRUE(plan.hasData);
  EXPECT_EQ(plan.channels[4], (Segments{{0, 101, 1, false}}));  // HIGH, as at the selection start
  EXPECT_EQ(plan.channels[0], (Segments{{0, 101, 0, false}}));  // never moved: LOW
}

TEST(Waveforms, FirstTransitionDrawsTheEarlierLevelFromColumnZero) {
  CaptureBuilder b;
  b.Event(30.5, 2, 1).Event(60.5, 2, 0).Finish(100);
  const Selection sel = Select(b, 0, 100);
  WaveformPlan plan;
  RenderWaveforms(b.data, sel.start, sel.end, 101, plan);
  EXPECT_EQ(plan.channels[1], (Segments{{0, 30, 0, true}, {30, 60, 1, true}, {60, 101, 0, false}}));
}

TEST(Waveforms, BurstInOnePixelColumnDrawsOneEdge) {
  CaptureBuilder b;
  // Five transitions within column 40, ending HIGH; one more at 70.
  b.Event(40.1, 3, 1).Event(40.2, 3, 0).Event(40.3, 3, 1).Event(40.4, 3, 0).Event(40.5, 3, 1);
  b.Event(70.5, 3, 0).Finish(100);
  const Selection sel = Select(b, 0, 100);
  WaveformPlan plan;
  RenderWaveforms(b.data, sel.start, sel.end, 101, plan);
  EXPECT_EQ(plan.channels[2], (Segments{{0, 40, 0, true}, {40, 70, 1, true}, {70, 101, 0, false}}));
  // The same burst ending LOW draws the LOW level after the column.
  CaptureBuilder c;
  c.Event(40.1, 3, 1).Event(40.2, 3, 0).Finish(100);
  const Selection sel2 = Select(c, 0, 100);
  RenderWaveforms(c.data, sel2.start, sel2.end, 101, plan);
  EXPECT_EQ(plan.channels[2], (Segments{{0, 40, 0, true}, {40, 101, 0, false}}));
}

TEST(Waveforms, WithoutDataNothingIsDrawnAndBuffersAreReused) {
  CaptureBuilder b;
  b.Event(30, 2, 1).Finish(100);
  WaveformPlan plan;
  RenderWaveforms(b.data, b.data.CaptureStart, b.data.CaptureEnd, 101, plan);
  EXPECT_EQ(plan.channels[1].size(), 2u);
  b.data.DataPresent.store(0);
  RenderWaveforms(b.data, b.data.CaptureStart, b.data.CaptureEnd, 101, plan);
  EXPECT_FALSE(plan.hasData);
  for (const Segments& s : plan.channels) EXPECT_TRUE(s.empty());
}

TEST(Waveforms, ZeroLengthSelectionAndDamagedEventsDrawSomethingSensible) {
  CaptureBuilder b;
  // All events at one instant, plus events naming channels that do not exist.
  b.Event(5, 1, 1).Event(5, 0, 1).Event(5, 200, 1).Event(5, 2, 1).Event(5, 2, 0).Finish(5);
  b.data.CaptureStart.time = b.data.CaptureEnd.time;
  WaveformPlan plan;
  RenderWaveforms(b.data, b.data.CaptureStart, b.data.CaptureEnd, 500, plan);
  EXPECT_EQ(plan.channels[0], (Segments{{0, 0, 0, true}, {0, 500, 1, false}}));
  EXPECT_EQ(plan.channels[1], (Segments{{0, 0, 0, true}, {0, 500, 0, false}}));
  // An end index beyond the stored events (damaged file) is held to the count.
  PositionSnapshot end = b.data.CaptureEnd;
  end.index = 99999;
  RenderWaveforms(b.data, b.data.CaptureStart, end, 500, plan);
  EXPECT_EQ(plan.channels[0].back().level, 1);
}

// One segment per event, kept when the event is the first of a run of the
// channel's events in one column: the plain reading of the rule.
Segments PerEventSegments(const CaptureData& data, const PositionSnapshot& from, const PositionSnapshot& to,
                          uint16_t width, int channel) {
  PositionSnapshot start = from;
  NormaliseStates(start);
  const TimeAxis axis(from, to, width);
  Segments out;
  uint16_t lastX = kNoColumn;
  uint8_t level = start.states[channel - 1];
  const uint32_t end = std::min(to.index, data.Store.Count());
  for (uint32_t i = from.index; i < end; ++i) {
    const EventRecord& e = data.Store[i];
    if (e.channel != channel) continue;
    const uint16_t x = axis.X(e.time);
    if (x != lastX) out.push_back({lastX == kNoColumn ? uint16_t{0} : lastX, x, level, true});
    lastX = x;
    level = e.state != 0 ? 1 : 0;
  }
  out.push_back({lastX == kNoColumn ? uint16_t{0} : lastX, width, level, false});
  return out;
}

TEST(Waveforms, ColumnsTakenTogetherDrawWhatEachEventWouldDraw) {
  std::mt19937 random(77);
  for (int round = 0; round < 60; ++round) {
    CaptureBuilder b;
    for (int c = 1; c <= 12; ++c) b.StartLevel(c, static_cast<uint8_t>(random() % 3));
    const int events = 50 + static_cast<int>(random() % 3000);
    double t = 0;
    for (int i = 0; i < events; ++i) {
      // Dense bursts, gaps, and now and then a time running backwards or a
      // channel that does not exist.
      t += random() % 4 == 0 ? 0.001 * (random() % 5000) : 0.0001 * (random() % 30);
      const bool back = random() % 50 == 0;
      if (random() % 900 == 0) {
        b.Event(std::nan(""), 1, 1);
        continue;
      }
      b.Event(back ? t - 0.01 * (random() % 2000) : t, random() % 40 == 0 ? 0 : 1 + static_cast<int>(random() % 12),
              static_cast<uint8_t>(random() % 3));
    }
    b.Finish(t + 1);
    // Every other round few columns, so that whole blocks fall in one.
    const uint16_t width = static_cast<uint16_t>(1 + random() % (round % 2 ? 700 : 12));
    WaveformPlan plan;
    RenderWaveforms(b.data, b.data.CaptureStart, b.data.CaptureEnd, width, plan);
    for (int c = 1; c <= 12; ++c) {
      ASSERT_EQ(plan.channels[c - 1], PerEventSegments(b.data, b.data.CaptureStart, b.data.CaptureEnd, width, c))
          << "round " << round << ", channel " << c;
    }
    // Whole blocks taken at once draw the same, over the capture and over a
    // selection that starts and ends inside blocks.
    StoreSummary blocks;
    blocks.Follow(b.data.Store);
    const Selection part = Select(b, t * 0.3, t * 0.7);
    for (const Selection& s : {Selection{b.data.CaptureStart, b.data.CaptureEnd}, part}) {
      WaveformPlan walked, summed;
      RenderWaveforms(b.data, s.start, s.end, width, walked);
      RenderWaveforms(b.data, s.start, s.end, width, summed, false, &blocks);
      ASSERT_EQ(summed.channels, walked.channels) << "round " << round;
    }
  }
}

TEST(LevelSegmentLines, HighIsThreePixelsThickAndEdgesSpanTheBand) {
  const LevelLines wave = WaveLevelLines(20);
  EXPECT_EQ(wave.highY, 2);
  EXPECT_EQ(wave.lowY, 17);
  PixelLine lines[4];
  ASSERT_EQ(LevelSegmentLines({10, 20, 1, true}, wave, lines), 4);
  EXPECT_EQ(lines[0].y0, 4);
  EXPECT_EQ(lines[2].y0, 2);
  EXPECT_EQ(lines[0].x0, 10);
  EXPECT_EQ(lines[0].x1, 19);  // the end column is left out
  EXPECT_EQ(lines[3].x0, 20);
  EXPECT_EQ(lines[3].y0, 2);
  EXPECT_EQ(lines[3].y1, 17);
  ASSERT_EQ(LevelSegmentLines({10, 10, 0, true}, wave, lines), 1);  // only the edge
  ASSERT_EQ(LevelSegmentLines({10, 30, 0, false}, wave, lines), 1);
  EXPECT_EQ(lines[0].y0, 17);
}

}  // namespace
}  // namespace korvalog
