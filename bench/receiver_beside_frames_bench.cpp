// How much the live chart's 30 frames a second slow the receiving side: the
// serial decoder taking one 128-byte read every 2.56 ms (50,000 changes a
// second on a 96-channel line) while another thread takes a live frame every
// 33 ms, against the same reads with the frames stopped. The two kinds of
// half-second slice alternate in one run, so that whatever else the machine
// does falls on both alike. The reads without frames are the floor the
// figure is read against.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "live_capture.h"
#include "transport/serial_decoder.h"

namespace korvalog {
namespace {

using Steady = std::chrono::steady_clock;

constexpr int kSlicesEach = 8;
constexpr auto kSlice = std::chrono::milliseconds(500);
constexpr auto kReadEvery = std::chrono::microseconds(2560);
constexpr auto kFrameEvery = std::chrono::milliseconds(33);

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double Least(const std::vector<double>& v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }

void BM_ReceiverBesideLiveFramesAt30Hz(benchmark::State& state) {
  SystemClock clock;
  LiveCapture c(0, true, clock.Now());
  LoggerSettings settings;
  settings.LoggerType = kLogger96;
  SerialDecoder decoder(c.data, settings, clock);
  uint8_t chunks[2][128];
  FillLoggerChunks(chunks);
  std::atomic<bool> framesOn{false}, stop{false};
  std::atomic<uint64_t> frames{0};
  // The window's thread: a frame each 33 ms while frames are on.
  std::thread framer([&] {
    Steady::time_point next = Steady::now();
    while (!stop.load(std::memory_order_acquire)) {
      next += kFrameEvery;
      std::this_thread::sleep_until(next);
      if (framesOn.load(std::memory_order_acquire)) {
        c.live.Frame();
        frames.fetch_add(1, std::memory_order_relaxed);
      }
    }
  });
  std::vector<double> alone, beside;  // mean microseconds a read, per slice
  int which = 0;
  for (auto _ : state) {
    for (int slice = 0; slice < 2 * kSlicesEach; ++slice) {
      const bool on = slice % 2 == 1;
      framesOn.store(on, std::memory_order_release);
      double spent = 0;
      int reads = 0;
      const Steady::time_point end = Steady::now() + kSlice;
      for (Steady::time_point next = Steady::now(); next < end; next += kReadEvery) {
        std::this_thread::sleep_until(next);
        const Steady::time_point t0 = Steady::now();
        decoder.OnReceive(chunks[which], 128);
        spent += std::chrono::duration<double, std::micro>(Steady::now() - t0).count();
        which ^= 1;
        ++reads;
      }
      (on ? beside : alone).push_back(spent / std::max(reads, 1));
    }
    state.SetIterationTime(static_cast<double>(2 * kSlicesEach) * std::chrono::duration<double>(kSlice).count());
  }
  stop.store(true, std::memory_order_release);
  framer.join();
  state.counters["floor_read_us"] = Median(alone);
  state.counters["floor_least_us"] = Least(alone);
  state.counters["read_us"] = Median(beside);
  state.counters["read_least_us"] = Least(beside);
  state.counters["slowed_pct"] = Median(alone) > 0 ? (Median(beside) / Median(alone) - 1) * 100 : 0;
  state.counters["slowed_least_pct"] = Least(alone) > 0 ? (Least(beside) / Least(alone) - 1) * 100 : 0;
  state.counters["frames"] = static_cast<double>(frames.load());
}
BENCHMARK(BM_ReceiverBesideLiveFramesAt30Hz)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
}  // namespace korvalog
