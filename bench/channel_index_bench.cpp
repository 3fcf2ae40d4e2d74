// The per-channel index over the full store (1,048,576 events, 128
// channels): building it next to one bare read of every event, its bytes per
// event, and the next and previous change of a channel whose only change is
// the capture's last event.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "chart/capture_lookup.h"
#include "chart/channel_index.h"
#include "full_capture.h"

namespace korvalog {
namespace {

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void BM_ChannelIndexBuildAgainstBareRead(benchmark::State& state) {
  ChannelIndex index;
  AgainstBareLoop(state, [&index](const CaptureData& data) { index.Build(data); });
  state.counters["bytes_per_event"] = static_cast<double>(index.MemoryBytes()) / index.Indexed();
}

// The full store with channel 128's events moved to channel 127, except the
// very last event, which is channel 128's only change.
struct LastChangeCapture {
  ManualClock clock;
  CaptureData data{clock};
  ChannelIndex index;
  LastChangeCapture() {
    FillFullStore(data, 777);
    EventRecord* events = data.Store.MutableData();
    for (uint32_t i = 0; i + 1 < kEventCapacity; ++i) {
      if (events[i].channel == 128) events[i].channel = 127;
    }
    events[kEventCapacity - 1].channel = 128;
    events[kEventCapacity - 1].state = 1;
    data.CaptureStart.states[127] = 0;
    index.Build(data);
  }
};

void BM_NextEdgeToTheLastEvent(benchmark::State& state) {
  static std::unique_ptr<LastChangeCapture> capture(new LastChangeCapture);
  const CaptureLookup lookup(capture->data, capture->index);
  const double bare = BareReadFloor(capture->data, &WallSeconds);
  double next = 0, previous = 0;
  uint64_t steps = 0;
  for (auto _ : state) {
    const double t1 = WallSeconds();
    const auto n = lookup.NextChange(128, 0);
    const double t2 = WallSeconds();
    const auto p = lookup.PreviousChange(128, kEventCapacity);
    const double t3 = WallSeconds();
    if (!n || n->index != kEventCapacity - 1 || !p || p->index != n->index) state.SkipWithError("wrong edge");
    benchmark::DoNotOptimize(n);
    state.SetIterationTime(t2 - t1);
    next += t2 - t1;
    previous += t3 - t2;
    ++steps;
  }
  state.counters["bare_ms"] = bare * 1e3;
  state.counters["next_us"] = next / steps * 1e6;
  state.counters["previous_us"] = previous / steps * 1e6;
}

BENCHMARK(BM_ChannelIndexBuildAgainstBareRead)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextEdgeToTheLastEvent)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korvalog
