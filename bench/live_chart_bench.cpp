// The live chart: one frame over a running capture that already holds
// 1,000,000 records and gains 2,500 (a 250 ms tick at 10,000 events/s),
// next to the pass over the shown 60 s that the frame replaces and to a bare
// read of the new records (each timed from memory, not from the cache the
// other left behind); and the serial decoder at its top rate with the
// live chart taking frames on another thread, next to the decoder alone.
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>
#include <vector>

#include "chart/live_chart.h"
#include "chart/search_strip_plan.h"
#include "chart/waveform_plan.h"
#include "full_capture.h"
#include "live_capture.h"
#include "transport/serial_decoder.h"

namespace korvalog {
namespace {

constexpr uint32_t kHeld = 1000000;
// Frames until the store is full: (1,048,576 - 1,000,000) / 2,500.
constexpr int kFrames = 19;

// Pushes the caches' contents out, so that what is timed next reads the
// records from memory as a frame 250 ms after their arrival may.
void EvictCaches() {
  static std::vector<uint64_t> scratch(8u << 20);  // 64 MiB, beyond any last-level cache
  for (uint64_t& word : scratch) ++word;
  benchmark::DoNotOptimize(scratch.data());
}

void BM_LiveFrameAt1MRecords(benchmark::State& state) {
  LiveCapture c(kHeld);
  double frames = 0, bare = 0, walked = 0;
  for (auto _ : state) {
    c.Arrive(kLiveFrameEvents);
    const uint64_t before = c.live.EventsWalked();
    const uint32_t from = c.live.Consumed();
    // The frame first, on records nothing has read yet; the bare read of the
    // same records after the caches were emptied again, on equal terms.
    EvictCaches();
    const double t0 = ThreadSeconds();
    c.live.Frame();
    const double t1 = ThreadSeconds();
    EvictCaches();
    const double t2 = ThreadSeconds();
    benchmark::DoNotOptimize(BareRead(c.data.Store.Data(), from, c.data.Store.Count()));
    const double t3 = ThreadSeconds();
    state.SetIterationTime(t1 - t0);
    frames += t1 - t0;
    bare += t3 - t2;
    walked += static_cast<double>(c.live.EventsWalked() - before);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["frame_ms"] = frames / n * 1e3;
  state.counters["bare_new_ms"] = bare / n * 1e3;
  state.counters["x_bare_new"] = bare > 0 ? frames / bare : 0;
  state.counters["walked_per_frame"] = walked / n;
  // Four ticks a second: the share of one core the frames take.
  state.counters["core_pct_at_4Hz"] = frames / n * 4 * 100;
}
BENCHMARK(BM_LiveFrameAt1MRecords)->Iterations(kFrames)->UseManualTime()->Unit(benchmark::kMillisecond);

// Baseline: the passes over the shown 60 s that a frame would make without
// the marks (waveforms and search strip).
void BM_WindowPassesAt1MRecords(benchmark::State& state) {
  LiveCapture c(kHeld);
  WaveformPlan waves;
  StripPlan strip;
  double passes = 0;
  for (auto _ : state) {
    c.Arrive(kLiveFrameEvents);
    c.live.Frame();
    const double t0 = ThreadSeconds();
    RenderWaveforms(c.data, c.state.ZoomStart, c.state.ZoomEnd, 1000, waves, true);
    RenderSearchStrip(c.data, c.view, c.state.ZoomStart, c.state.ZoomEnd, kStripSearch, 1000,
                      StripGeometry{kStripHeight, kDefaultRowHeight}, strip, true);
    const double t1 = ThreadSeconds();
    state.SetIterationTime(t1 - t0);
    passes += t1 - t0;
  }
  state.counters["passes_ms"] = passes / static_cast<double>(state.iterations()) * 1e3;
}
BENCHMARK(BM_WindowPassesAt1MRecords)->Iterations(kFrames)->UseManualTime()->Unit(benchmark::kMillisecond);

// The decoder fed 128-byte chunks as fast as it takes them, next to the
// same with a second thread taking live frames every `range(0)` ms (250: the
// window's timer; 33: the live frames at 30 a second; 2: far more often,
// reading right behind the writer). Each
// time the store nears full the frames pause, and a new capture starts
// outside the timing.
void BM_DecoderBesideLiveChart(benchmark::State& state) {
  const int everyMs = static_cast<int>(state.range(0));
  SystemClock clock;
  LiveCapture c(0, everyMs > 0, clock.Now());
  LoggerSettings settings;
  settings.LoggerType = kLogger96;
  SerialDecoder decoder(c.data, settings, clock);
  uint8_t chunks[2][128];
  FillLoggerChunks(chunks);
  // 0 run, 1 pause asked, 2 paused, 3 stop.
  std::atomic<int> control{0};
  std::thread frames;
  uint64_t frameCount = 0;
  if (everyMs > 0) {
    frames = std::thread([&] {
      auto next = std::chrono::steady_clock::now();
      for (;;) {
        const int asked = control.load(std::memory_order_acquire);
        if (asked == 3) return;
        if (asked == 1) {
          control.store(2, std::memory_order_release);
          while (control.load(std::memory_order_acquire) == 2) std::this_thread::yield();
          continue;
        }
        if (std::chrono::steady_clock::now() >= next) {
          c.live.Frame();
          ++frameCount;
          next += std::chrono::milliseconds(everyMs);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
    });
  }
  int which = 0;
  for (auto _ : state) {
    if (c.data.Store.Count() > kEventCapacity - 256) {
      state.PauseTiming();
      if (everyMs > 0) {
        control.store(1, std::memory_order_release);
        while (control.load(std::memory_order_acquire) != 2) std::this_thread::yield();
      }
      c.data.SetCapture(false);
      c.data.SetCapture(true);
      if (everyMs > 0) {
        c.state.CaptureStarted();
        c.live.Start();
        control.store(0, std::memory_order_release);
      }
      state.ResumeTiming();
    }
    decoder.OnReceive(chunks[which], 128);
    which ^= 1;
  }
  control.store(3, std::memory_order_release);
  if (frames.joinable()) frames.join();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 128);
  state.counters["frames"] = static_cast<double>(frameCount);
}
BENCHMARK(BM_DecoderBesideLiveChart)->Arg(0)->Arg(250)->Arg(33)->Arg(2)->MinTime(2.0)->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace korvalog
