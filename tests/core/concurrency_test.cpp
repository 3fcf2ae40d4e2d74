// Producers on their own threads, the interface thread reading the store.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "core/capture_data.h"

namespace korvalog {
namespace {

// Each producer owns half of the channels and toggles them, stamping each
// record with a time that encodes producer and sequence number.
void Produce(CaptureData& data, int producer, uint32_t transitions) {
  for (uint32_t i = 0; i < transitions; ++i) {
    const uint8_t channel = static_cast<uint8_t>(1 + producer * 64 + i % 64);
    std::lock_guard<TransitionMutex> hold(data.TransitionLock());
    const uint8_t level = static_cast<uint8_t>(1 - data.States.Level(channel));
    data.ApplyTransition(producer * 1e7 + i, channel, level);
  }
}

TEST(Concurrency, ReaderNeverSeesAnIncompleteRecord) {
  ManualClock clock;
  CaptureData data(clock);
  data.SetCapture(true);
  constexpr uint32_t kEach = 200000;
  std::atomic<bool> done{false};
  std::thread a(Produce, std::ref(data), 0, kEach);
  std::thread b(Produce, std::ref(data), 1, kEach);

  uint64_t checked = 0;
  uint32_t seen = 0;
  auto check = [&](uint32_t upTo) {
    for (; seen < upTo; ++seen) {
      const EventRecord& r = data.Store[seen];
      const int producer = r.time >= 1e7 ? 1 : 0;
      const uint32_t i = static_cast<uint32_t>(r.time - producer * 1e7);
      ASSERT_LT(i, kEach);
      ASSERT_EQ(r.channel, 1 + producer * 64 + i % 64) << "record " << seen;
      ASSERT_LE(r.state, 1);
      ++checked;
    }
  };
  std::thread reader([&] {
    while (!done.load()) check(data.Store.Count());
  });
  a.join();
  b.join();
  done = true;
  reader.join();
  check(data.Store.Count());
  EXPECT_EQ(data.Store.Count(), 2 * kEach);
  EXPECT_EQ(checked, 2u * kEach);
  data.SetCapture(false);
}

TEST(Concurrency, FullStoreStopReachesTheInterfaceThread) {
  ManualClock clock;
  CaptureData data(clock);
  struct OnThread : CaptureObserver {
    std::thread::id stoppedOn;
    int stops = 0;
    void CaptureStopped() override {
      stoppedOn = std::this_thread::get_id();
      ++stops;
    }
  } observer;
  data.AddObserver(&observer);
  std::atomic<int> wakes{0};
  data.SetStopWake([&] { wakes.fetch_add(1); });
  data.SetCapture(true);

  std::thread producer(Produce, std::ref(data), 0, kEventCapacity + 1000);
  // The interface thread's tick loop.
  while (observer.stops == 0) {
    data.DeliverPendingNotifications();
    std::this_thread::yield();
  }
  producer.join();
  EXPECT_EQ(observer.stoppedOn, std::this_thread::get_id());
  EXPECT_EQ(observer.stops, 1);
  EXPECT_EQ(wakes.load(), 1);
  EXPECT_EQ(data.Store.Count(), kEventCapacity);
  EXPECT_EQ(data.CaptureEnd.index, kEventCapacity);
}

TEST(Concurrency, UserStopRacingAFillingStoreStopsOnce) {
  ManualClock clock;
  CaptureData data(clock);
  struct Count : CaptureObserver {
    int stops = 0;
    void CaptureStopped() override { ++stops; }
  } observer;
  data.AddObserver(&observer);
  data.SetCapture(true);
  std::thread producer(Produce, std::ref(data), 1, 300000);
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
  data.SetCapture(false);
  producer.join();
  data.DeliverPendingNotifications();
  EXPECT_EQ(observer.stops, 1);
  EXPECT_EQ(data.CaptureEnd.index, data.Store.Count());
}

}  // namespace
}  // namespace korvalog
