// The live chart on screen: the window's tick over a running capture that
// holds 1,000,000 records and gains 2,500 per tick (10,000 events/s at the
// 250 ms timer), 128 channels in a 1000-pixel waveform column, next to the
// waveform images alone drawn from the same plan (the floor of any tick that
// shows new edges); and the live frames at 30 a second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "bench_application.h"
#include "chart/qt/chart_images.h"
#include "chart/qt/chart_panel.h"
#include "full_capture.h"
#include "live_capture.h"

namespace korvalog {
namespace {

// A panel over a running capture of 1,000,000 records, 128 channels in a
// 1000-pixel waveform column; on screen when `shown`.
struct LivePanel {
  explicit LivePanel(bool shown) : c(0, false) {
    EnsureBenchApplication();
    panel = std::make_unique<ChartPanel>(c.data, c.view, settings);
    panel->resize(1180, 700);
    panel->Grid()->setGeometry(0, kSummaryHeight, 1180, 700 - kSummaryHeight);
    panel->Grid()->SetColumnWidth(4, 1000);
    if (shown) panel->show();
    panel->CaptureStarted();
    c.Arrive(1000000);
    panel->Tick();
  }
  LiveCapture c;
  LoggerSettings settings;
  std::unique_ptr<ChartPanel> panel;
};

void BM_LiveTickOnScreenAt1MRecords(benchmark::State& state) {
  LivePanel fixture(false);
  LiveCapture& c = fixture.c;
  ChartPanel* panel = fixture.panel.get();
  WaveformImages images;
  double ticks = 0, floor = 0;
  for (auto _ : state) {
    c.Arrive(kLiveFrameEvents);
    const double t0 = ThreadSeconds();
    panel->Tick();
    const double t1 = ThreadSeconds();
    images.Render(panel->State().Waveforms(), kDefaultRowHeight, 0, 1);
    for (int ch = 1; ch <= kChannelCount; ++ch) benchmark::DoNotOptimize(images.Image(ch).constBits());
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

// The live chart at the display's pace: a frame every 1/30 s over a running
// capture that holds 1,000,000 records and gains 333 a frame (10,000
// events/s), taken by the panel's live timer and painted at once, next to a
// bare read of the frame's new records. core_pct is the share of the
// window's thread the frames take at 30 a second.
void BM_LiveFrameOnScreenAt30Hz(benchmark::State& state) {
  LivePanel fixture(true);
  LiveCapture& c = fixture.c;
  ChartPanel* panel = fixture.panel.get();
  panel->repaint();
  constexpr uint32_t kPerFrame = static_cast<uint32_t>(kLiveRate / 30);
  double frames = 0, bare = 0, least = 1e30;
  for (auto _ : state) {
    c.Arrive(kPerFrame);
    const uint32_t from = panel->Live().Consumed();
    const double t0 = ThreadSeconds();
    benchmark::DoNotOptimize(BareRead(c.data.Store.Data(), from, c.data.Store.Count()));
    const double t1 = ThreadSeconds();
    panel->LiveFrameOnTime();
    panel->repaint();
    const double t2 = ThreadSeconds();
    state.SetIterationTime(t2 - t1);
    bare += t1 - t0;
    frames += t2 - t1;
    least = std::min(least, t2 - t1);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["frame_ms"] = frames / n * 1e3;
  state.counters["frame_min_ms"] = least * 1e3;
  state.counters["bare_new_ms"] = bare / n * 1e3;
  state.counters["core_pct_at_30Hz"] = frames / n * 30 * 100;
}
// Frames until the store is full: (1,048,576 - 1,000,000) / 333.
BENCHMARK(BM_LiveFrameOnScreenAt30Hz)->Iterations(140)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvalog
