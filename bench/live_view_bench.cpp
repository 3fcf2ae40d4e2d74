// The live chart on screen: the window's tick over a running capture that
// holds 1,000,000 records and gains 2,500 per tick (10,000 events/s at the
// 250 ms timer), 128 channels in a 1000-pixel waveform column, next to the
// waveform images alone drawn from the same plan (the floor of any tick that
// shows new edges).
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_application.h"
#include "chart/qt/chart_images.h"
#include "chart/qt/chart_panel.h"
#include "full_capture.h"
#include "live_capture.h"

namespace korvalog {
namespace {

void BM_LiveTickOnScreenAt1MRecords(benchmark::State& state) {
  EnsureBenchApplication();
  LiveCapture c(0, false);
  LoggerSettings settings;
  auto panel = std::make_unique<ChartPanel>(c.data, c.view, settings);
  panel->resize(1180, 700);
  panel->Grid()->setGeometry(0, kSummaryHeight, 1180, 700 - kSummaryHeight);
  panel->Grid()->SetColumnWidth(4, 1000);
  panel->CaptureStarted();
  c.Arrive(1000000);
  panel->Tick();
  WaveformImages images;
  double ticks = 0, floor = 0;
  for (auto _ : state) {
    c.Arrive(kLiveFrameEvents);
    const double t0 = ThreadSeconds();
    panel->Tick();
    const double t1 = ThreadSeconds();
    images.Render(panel->State().Waveforms(), kDefaultRowHeight, 0, 1);
    const double t2 = ThreadSeconds();
    state.SetIterationTime(t1 - t0);
    ticks += t1 - t0;
    floor += t2 - t1;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["tick_ms"] = ticks / n * 1e3;
  state.counters["images_ms"] = floor / n * 1e3;
  state.counters["x_images"] = ticks / floor;
  state.counters["core_pct_at_4Hz"] = ticks / n * 4 * 100;
}
BENCHMARK(BM_LiveTickOnScreenAt1MRecords)->Iterations(19)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvalog
