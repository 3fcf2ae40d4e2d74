#pragma once
// The full store the chart, analysis and window benchmarks run over
// (1,048,576 events over 128 channels, about 8 hours), and the bare loop that
// every figure is printed next to.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <memory>

#include "base/date_time.h"
#include "core/capture_data.h"
#include "core/capture_view.h"

namespace korvalog {

// Fills the store with 1,048,576 events on channels in no particular order,
// 0..59 ms apart (about 8 hours), from 1 January 2025 06:00.
inline void FillFullStore(CaptureData& data, uint32_t seed) {
  data.DataPresent.store(0);
  const double start = 45658.25;
  data.CaptureStart.time = start;
  uint8_t levels[kChannelCount] = {};
  EventRecord* events = data.Store.MutableData();
  double t = start;
  for (uint32_t i = 0; i < kEventCapacity; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const int c = static_cast<int>((seed >> 24) % kChannelCount);
    t += ((seed >> 8) % 60) / 1000.0 / kSecondsPerDay;
    levels[c] ^= 1;
    events[i] = EventRecord{t, static_cast<uint8_t>(c + 1), levels[c]};
  }
  data.Store.SetCount(kEventCapacity);
  data.CaptureEnd.index = kEventCapacity;
  data.CaptureEnd.time = t + 1.0 / kSecondsPerDay;
  for (int c = 0; c < kChannelCount; ++c) data.CaptureEnd.states[c] = levels[c];
  data.DataPresent.store(1);
}

struct FullCapture {
  ManualClock clock;
  CaptureData data{clock};
  CaptureView view;
  FullCapture() {
    FillFullStore(data, 12345);
    // A search over three channels and a four-row pattern with limits.
    view.Traces.SetSearch(1, kSearchHigh);
    view.Traces.SetSearch(2, kSearchLow);
    view.Traces.SetSearch(3, kSearchHigh);
    view.Sequence[0] = SequenceRow{1, 1, 0, 5};
    view.Sequence[1] = SequenceRow{2, 1, 1, 0};
    view.Sequence[2] = SequenceRow{3, 0, 0, 20};
    view.Sequence[3] = SequenceRow{4, 1, 0, 0};
  }
};

inline FullCapture& Capture() {
  static std::unique_ptr<FullCapture> capture(new FullCapture);
  return *capture;
}

// The floor every pass is measured against: the events from `from` to `to`
// read once, every byte of every record, as 8-byte words summed into four
// independent accumulators. Nothing waits on the sum before (no chain of
// floating-point additions), so this runs as fast as the memory gives the
// records: a pass cannot do less than this.
inline uint64_t BareRead(const EventRecord* events, uint32_t from, uint32_t to) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(events + from);
  const size_t size = static_cast<size_t>(to - from) * sizeof(EventRecord);
  uint64_t a = 0, b = 0, c = 0, d = 0;
  size_t i = 0;
  for (; i + 32 <= size; i += 32) {
    uint64_t w[4];
    std::memcpy(w, bytes + i, sizeof w);
    a += w[0];
    b += w[1];
    c += w[2];
    d += w[3];
  }
  for (; i < size; ++i) a += bytes[i];
  return (a ^ b) + (c ^ d);
}

// Every event of the store.
inline uint64_t BareRead(const CaptureData& data) { return BareRead(data.Store.Data(), 0, data.Store.Count()); }

inline double ThreadSeconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

// A bare read of `data`'s store measured the way a pass is best measured:
// warm (read once first) and the least of several runs, so the figure does
// not depend on whether a pass ran just before it and left the records in,
// or out of, the caches.
template <class Seconds = decltype(&ThreadSeconds)>
double BareReadFloor(const CaptureData& data, Seconds seconds = &ThreadSeconds) {
  constexpr int kRuns = 15;
  benchmark::DoNotOptimize(BareRead(data));
  double least = 1e30;
  for (int i = 0; i < kRuns; ++i) {
    const double t0 = seconds();
    benchmark::DoNotOptimize(BareRead(data));
    const double t = seconds() - t0;
    if (t < least) least = t;
  }
  return least;
}

// The floor of the full store (thread time), measured once per run; main
// prints it before the first benchmark.
inline double BareFloorSeconds() {
  static const double floor = BareReadFloor(Capture().data);
  return floor;
}

// Times `pass` over the full store in each iteration and reports it next to
// the floor: its mean, its least (warm, as the floor) and the least over the
// floor.
template <class Pass>
void AgainstBareLoop(benchmark::State& state, Pass&& pass) {
  const CaptureData& data = Capture().data;
  const double bare = BareFloorSeconds();
  double timed = 0, least = 1e30;
  for (auto _ : state) {
    const double t1 = ThreadSeconds();
    pass(data);
    const double t2 = ThreadSeconds();
    state.SetIterationTime(t2 - t1);
    timed += t2 - t1;
    if (t2 - t1 < least) least = t2 - t1;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["bare_ms"] = bare * 1e3;
  state.counters["pass_ms"] = timed / n * 1e3;
  state.counters["pass_min_ms"] = least * 1e3;
  state.counters["x_bare"] = bare > 0 ? least / bare : 0;
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * data.Store.Count());
}

}  // namespace korvalog
