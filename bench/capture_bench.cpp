// Appending transitions and decoding serial chunks, next to the bare work they
// are built on: a 10-byte copy with a counter, and a byte copy.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "core/capture_data.h"
#include "transport/serial_decoder.h"

namespace korvalog {
namespace {

// Baseline: copy 10-byte records into a block and count them.
void BM_BareRecordCopy(benchmark::State& state) {
  std::unique_ptr<EventRecord[]> block(new EventRecord[kEventCapacity]);
  uint32_t n = 0;
  uint64_t items = 0;
  for (auto _ : state) {
    for (int i = 0; i < 4096; ++i) {
      if (n == kEventCapacity) n = 0;
      EventRecord& r = block[n];
      r.time = i;
      r.channel = static_cast<uint8_t>(1 + (i & 127));
      r.state = static_cast<uint8_t>((i >> 7) & 1);
      ++n;
    }
    benchmark::DoNotOptimize(block.get());
    items += 4096;
  }
  state.SetItemsProcessed(static_cast<int64_t>(items));
}
BENCHMARK(BM_BareRecordCopy);

void BM_ApplyTransitionCapturing(benchmark::State& state) {
  ManualClock clock;
  CaptureData data(clock);
  data.SetCapture(true);
  uint64_t items = 0;
  uint32_t seq = 0;
  for (auto _ : state) {
    if (data.Store.Count() > kEventCapacity - 4096) {
      state.PauseTiming();
      data.SetCapture(false);
      data.SetCapture(true);
      state.ResumeTiming();
    }
    for (int i = 0; i < 4096; ++i, ++seq) {
      // Every call toggles a channel, so every call appends.
      data.ApplyTransition(seq, static_cast<uint8_t>(1 + (seq & 127)), static_cast<uint8_t>(((seq >> 7) + 1) & 1));
    }
    items += 4096;
  }
  state.SetItemsProcessed(static_cast<int64_t>(items));
}
BENCHMARK(BM_ApplyTransitionCapturing);

// Baseline: copy 128-byte chunks into a ring byte by byte.
void BM_BareChunkCopy(benchmark::State& state) {
  uint8_t chunk[128];
  for (int i = 0; i < 128; ++i) chunk[i] = static_cast<uint8_t>(i);
  ReceiveRing ring;
  for (auto _ : state) {
    for (int i = 0; i < 128; ++i) ring.bytes[ring.write++] = chunk[i];
    ring.read = ring.write;
    benchmark::DoNotOptimize(ring);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 128);
}
BENCHMARK(BM_BareChunkCopy);

// The real decoder with the PC clock read once per chunk, capturing.
template <uint8_t kType>
void BM_SerialDecoder(benchmark::State& state) {
  SystemClock clock;
  CaptureData data(clock);
  LoggerSettings settings;
  settings.LoggerType = kType;
  SerialDecoder decoder(data, settings, clock);
  uint8_t chunks[2][128];
  for (int i = 0; i < 128; ++i) {
    // Every transition changes its channel's level, alternating between two chunks.
    if (kType == kLogger96) {
      chunks[0][i] = static_cast<uint8_t>(0x80 | (i & 0x7F));
      chunks[1][i] = static_cast<uint8_t>(i & 0x7F);
      if (chunks[0][i] == 0xFF) chunks[0][i] = 0xFE;
    } else {
      chunks[0][i] = i % 2 ? static_cast<uint8_t>(i / 2) : 254;
      chunks[1][i] = i % 2 ? static_cast<uint8_t>(i / 2) : 253;
    }
  }
  data.SetCapture(true);
  int which = 0;
  for (auto _ : state) {
    if (data.Store.Count() > kEventCapacity - 256) {
      state.PauseTiming();
      data.SetCapture(false);
      data.SetCapture(true);
      state.ResumeTiming();
    }
    decoder.OnReceive(chunks[which], 128);
    which ^= 1;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 128);
}
BENCHMARK(BM_SerialDecoder<kLogger96>)->Name("BM_SerialDecoder96");
BENCHMARK(BM_SerialDecoder<kLogger128>)->Name("BM_SerialDecoder128");

}  // namespace
}  // namespace korvalog
