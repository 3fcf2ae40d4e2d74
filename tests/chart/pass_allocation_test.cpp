// The chart and statistics passes must not allocate per event: a pass over
// many events allocates no more than a pass over a few, and a repeated
// waveform pass or accumulation reuses its buffers entirely.
#include <gtest/gtest.h>

#include "analysis/statistics_accumulator.h"
#include "chart/search_strip_plan.h"
#include "chart/waveform_plan.h"
#include "common/allocation_counter.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::CaptureBuilder;

// Every channel toggles in turn, one event per 10 ms; searches and a
// Sequencer pattern over the first channels so every branch is taken.
void Fill(CaptureBuilder& b, int events) {
  b.Search(1, kSearchHigh).Search(2, kSearchLow).Row(1, 1, 1, 0, 1).Row(2, 2, 1, 1, 0).Row(3, 3, 1);
  for (int i = 0; i < events; ++i) b.Event(i * 0.01, 1 + i % 8, static_cast<uint8_t>((i / 8) % 2 == 0));
  b.Finish(events * 0.01 + 1);
}

template <class Pass>
long AllocationsOf(Pass&& pass) {
  const long before = testing::AllocationCount();
  pass();
  return testing::AllocationCount() - before;
}

TEST(PassAllocations, DoNotGrowWithTheNumberOfEvents) {
  CaptureBuilder few, many;
  Fill(few, 100);
  Fill(many, 200000);
  for (uint8_t mode : {kStripSearch, kStripSequence}) {
    StripPlan plan;
    auto strip = [&](CaptureBuilder& b) {
      return AllocationsOf([&] {
        RenderSearchStrip(b.data, b.view, b.data.CaptureStart, b.data.CaptureEnd, mode, 1000, StripGeometry{}, plan);
      });
    };
    strip(few);  // first pass sizes the buffers
    EXPECT_EQ(strip(many), strip(few)) << "mode " << int(mode);
  }

  WaveformPlan waves;
  RenderWaveforms(many.data, many.data.CaptureStart, many.data.CaptureEnd, 1000, waves);
  EXPECT_EQ(AllocationsOf([&] {
              RenderWaveforms(many.data, many.data.CaptureStart, many.data.CaptureEnd, 1000, waves);
            }),
            0);

  StatisticsAccumulator stats;
  stats.Reset(96);
  stats.Accumulate(many.data, 1);
  EXPECT_EQ(AllocationsOf([&] {
              stats.Reset(96);
              stats.Accumulate(many.data, 1);
            }),
            0);
}

}  // namespace
}  // namespace korvalog
