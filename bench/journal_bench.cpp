// The capture journal at 100,000 transitions per second, far above any
// logger: what it costs the serial decoder on the receive path, and how much
// of a core the journal's own thread takes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>
#include <unistd.h>

#include "core/capture_data.h"
#include "core/journal_writer.h"
#include "transport/serial_decoder.h"

namespace korvalog {
namespace {

constexpr int kChunk = 128;                     // transitions per decoder call
constexpr double kTransitionsPerSecond = 100000;

double Seconds(clockid_t id) {
  timespec t{};
  clock_gettime(id, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

std::string JournalPath(const char* what) {
  return (std::filesystem::temp_directory_path() /
          ("korvalog-bench-" + std::string(what) + "-" + std::to_string(getpid()) + ".journal"))
      .string();
}

// Two 96-channel chunks in which every byte changes its channel's level.
struct Chunks {
  uint8_t bytes[2][kChunk];
  Chunks() {
    for (int i = 0; i < kChunk; ++i) {
      bytes[0][i] = static_cast<uint8_t>(0x80 | (i & 0x7F));
      bytes[1][i] = static_cast<uint8_t>(i & 0x7F);
      if (bytes[0][i] == 0xFF) bytes[0][i] = 0xFE;
    }
  }
};

// The serial decoder fed at 100,000 transitions per second, each call timed
// on its own; with state.range(0) = 1 the capture is journalled meanwhile.
// "journal_cpu_%": the CPU the process spent besides this thread, over the
// wall time (the journal thread's share of one core).
void BM_DecoderAt100kPerSecond(benchmark::State& state) {
  SystemClock clock;
  CaptureData data(clock);
  LoggerSettings settings;
  settings.LoggerType = kLogger96;
  SerialDecoder decoder(data, settings, clock);
  const Chunks chunks;
  data.SetCapture(true);
  const std::string path = JournalPath("decoder");
  std::unique_ptr<JournalWriter> journal;
  const CaptureView view;
  if (state.range(0) != 0) {
    journal = std::make_unique<JournalWriter>(data, path);
    std::string error;
    if (!journal->Start(view, error)) state.SkipWithError(error.c_str());
  }
  const auto period = std::chrono::duration<double>(kChunk / kTransitionsPerSecond);
  const double wall0 = Seconds(CLOCK_MONOTONIC);
  const double process0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
  const double thread0 = Seconds(CLOCK_THREAD_CPUTIME_ID);
  auto next = std::chrono::steady_clock::now();
  int which = 0;
  std::vector<double> calls;
  calls.reserve(static_cast<size_t>(state.max_iterations));
  for (auto _ : state) {
    std::this_thread::sleep_until(next);
    next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
    const auto t0 = std::chrono::steady_clock::now();
    decoder.OnReceive(chunks.bytes[which], kChunk);
    const auto t1 = std::chrono::steady_clock::now();
    calls.push_back(std::chrono::duration<double>(t1 - t0).count());
    state.SetIterationTime(calls.back());
    which ^= 1;
  }
  const double wall = Seconds(CLOCK_MONOTONIC) - wall0;
  const double others = (Seconds(CLOCK_PROCESS_CPUTIME_ID) - process0) - (Seconds(CLOCK_THREAD_CPUTIME_ID) - thread0);
  data.SetCapture(false);
  if (journal) {
    journal->Finish();
    state.counters["journalled"] = journal->Journalled();
    std::string error;
    journal->Remove(error);
  }
  state.counters["journal_cpu_%"] = 100.0 * others / wall;
  // The typical call, without the ones another thread or process preempted.
  std::sort(calls.begin(), calls.end());
  if (!calls.empty()) state.counters["median_us"] = calls[calls.size() / 2] * 1e6;
  if (!calls.empty()) state.counters["p90_us"] = calls[calls.size() * 9 / 10] * 1e6;
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kChunk);
}
// 3 s at 100,000 transitions per second: 300,000 records.
BENCHMARK(BM_DecoderAt100kPerSecond)->Arg(0)->Arg(1)->Iterations(2344)->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// A capture journalled at 100,000 transitions per second on threads of its
// own, as a load beside the flat-out decoder below.
class JournalLoad {
 public:
  JournalLoad() : data_(clock_), journal_(data_, JournalPath("load")) {
    data_.SetCapture(true);
    std::string error;
    journal_.Start(view_, error);
    feeder_ = std::thread([this] { Feed(); });
  }
  ~JournalLoad() {
    stop_ = true;
    feeder_.join();
    data_.SetCapture(false);
    std::string error;
    journal_.Remove(error);
  }

 private:
  void Feed() {
    auto next = std::chrono::steady_clock::now();
    uint32_t seq = 0;
    while (!stop_ && data_.Store.Count() < kEventCapacity - 1000) {
      std::this_thread::sleep_until(next);
      next += std::chrono::milliseconds(10);
      std::lock_guard<TransitionMutex> hold(data_.TransitionLock());
      for (int i = 0; i < 1000; ++i, ++seq) {
        data_.ApplyTransition(clock_.Now(), static_cast<uint8_t>(1 + (seq & 127)),
                              static_cast<uint8_t>(((seq >> 7) + 1) & 1));
      }
    }
  }
  SystemClock clock_;
  CaptureData data_;
  const CaptureView view_;
  JournalWriter journal_;
  std::atomic<bool> stop_{false};
  std::thread feeder_;
};

// The decoder flat out, as in BM_SerialDecoder96, next to a journalled
// capture at 100,000 transitions per second (state.range(0) = 1) or not.
void BM_SerialDecoder96BesideJournal(benchmark::State& state) {
  std::unique_ptr<JournalLoad> load;
  if (state.range(0) != 0) load = std::make_unique<JournalLoad>();
  SystemClock clock;
  CaptureData data(clock);
  LoggerSettings settings;
  settings.LoggerType = kLogger96;
  SerialDecoder decoder(data, settings, clock);
  const Chunks chunks;
  data.SetCapture(true);
  int which = 0;
  for (auto _ : state) {
    if (data.Store.Count() > kEventCapacity - 256) {
      state.PauseTiming();
      data.SetCapture(false);
      data.SetCapture(true);
      state.ResumeTiming();
    }
    decoder.OnReceive(chunks.bytes[which], kChunk);
    which ^= 1;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kChunk);
}
BENCHMARK(BM_SerialDecoder96BesideJournal)->Arg(0)->Arg(1)->MinTime(2.0);

}  // namespace
}  // namespace korvalog
