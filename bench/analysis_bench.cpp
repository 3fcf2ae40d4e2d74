// The chart and analysis passes over a full store (1,048,576 events over 128
// channels), each timed next to a bare loop that only reads every event once,
// measured in the same iteration. Times are the thread's processor time, so
// other work on a shared machine does not blur them; x_bare is the pass's
// time over the loop's.
#include <benchmark/benchmark.h>

#include "analysis/statistics_accumulator.h"
#include "chart/search_strip_plan.h"
#include "chart/waveform_plan.h"
#include "full_capture.h"

namespace korvalog {
namespace {

void BM_BareEventRead(benchmark::State& state) {
  AgainstBareLoop(state, [](const CaptureData& d) { benchmark::DoNotOptimize(BareRead(d)); });
}

void BM_WaveformPlan1000px(benchmark::State& state) {
  WaveformPlan plan;
  AgainstBareLoop(state, [&](const CaptureData& d) {
    RenderWaveforms(d, d.CaptureStart, d.CaptureEnd, 1000, plan);
    benchmark::DoNotOptimize(plan.channels[0].data());
  });
}

void BM_SearchStripPass(benchmark::State& state) {
  StripPlan plan;
  AgainstBareLoop(state, [&](const CaptureData& d) {
    RenderSearchStrip(d, Capture().view, d.CaptureStart, d.CaptureEnd, kStripSearch, 1000, StripGeometry{}, plan);
    benchmark::DoNotOptimize(plan.stats.MatchCount);
  });
}

// The worst case: every channel searched, so no event can be passed over.
void BM_SearchStripEveryChannelSearched(benchmark::State& state) {
  CaptureView& view = Capture().view;
  ChannelTable saved = view.Traces.Table();
  for (int c = 0; c < kChannelCount; ++c) view.Traces.SetSearch(c + 1, c % 2 == 0 ? kSearchHigh : kSearchLow);
  StripPlan plan;
  AgainstBareLoop(state, [&](const CaptureData& d) {
    RenderSearchStrip(d, Capture().view, d.CaptureStart, d.CaptureEnd, kStripSearch, 1000, StripGeometry{}, plan);
    benchmark::DoNotOptimize(plan.stats.MatchCount);
  });
  view.Traces.SetTable(saved);
}

void BM_SequencerStripPass(benchmark::State& state) {
  StripPlan plan;
  AgainstBareLoop(state, [&](const CaptureData& d) {
    RenderSearchStrip(d, Capture().view, d.CaptureStart, d.CaptureEnd, kStripSequence, 1000, StripGeometry{}, plan);
    benchmark::DoNotOptimize(plan.steps.data());
  });
}

void BM_StatisticsAccumulation(benchmark::State& state) {
  StatisticsAccumulator stats;
  AgainstBareLoop(state, [&](const CaptureData& d) {
    stats.Reset(96);  // 15-minute intervals: the most cells
    stats.Accumulate(d, 1);
    benchmark::DoNotOptimize(stats.Cells(1).data());
  });
}

BENCHMARK(BM_BareEventRead)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaveformPlan1000px)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchStripPass)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchStripEveryChannelSearched)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SequencerStripPass)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatisticsAccumulation)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvalog
