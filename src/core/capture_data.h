#pragma once
// The program-wide record of a capture: event store, live channel levels,
// capture header and flags, and the start and stop of a capture. How it is
// shown (rows, names, Sequencer pattern, markers) is a CaptureView beside it.
// One instance lives from start to exit and is passed by reference.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "core/capture_gaps.h"
#include "core/clock.h"
#include "core/records.h"

namespace korvalog {

// Fixed block of 1,048,576 records reserved once, and the count of valid ones.
// Readers on any thread load the count (acquire) and then read records below
// it: every record below a count they read is complete.
class EventStore {
 public:
  EventStore();
  EventStore(const EventStore&) = delete;
  EventStore& operator=(const EventStore&) = delete;

  uint32_t Count() const { return count_.load(std::memory_order_acquire); }
  bool Full() const { return Count() >= kEventCapacity; }
  const EventRecord& operator[](uint32_t i) const { return records_[i]; }
  const EventRecord* Data() const { return records_.get(); }

  // Appends when there is room; false when full. Single writer at a time.
  bool Append(double time, uint8_t channel, uint8_t state) {
    const uint32_t n = count_.load(std::memory_order_relaxed);
    if (n >= kEventCapacity) return false;
    EventRecord& r = records_[n];
    r.time = time;
    r.channel = channel;
    r.state = state;
    count_.store(n + 1, std::memory_order_release);
    return true;
  }
  void Clear() { count_.store(0, std::memory_order_release); }

  // For loaders (no capture running): fill records directly, then publish.
  EventRecord* MutableData() { return records_.get(); }
  void SetCount(uint32_t n) { count_.store(n < kEventCapacity ? n : kEventCapacity, std::memory_order_release); }

 private:
  std::unique_ptr<EventRecord[]> records_;
  std::atomic<uint32_t> count_{0};
};

// Live level per channel, followed whether or not a capture runs.
class ChannelStates {
 public:
  uint8_t Level(int channel) const {
    return levels_[channel - 1].load(std::memory_order_relaxed);
  }
  void CopyTo(uint8_t out[kChannelCount]) const;

  // Set by every accepted transition; the tick repaints and clears it.
  std::atomic<uint8_t> StatesChanged{0};
  bool TakeStatesChanged() { return StatesChanged.exchange(0, std::memory_order_acq_rel) != 0; }

 private:
  friend class CaptureData;
  std::atomic<uint8_t> levels_[kChannelCount] = {};
};

// Told about capture starts and stops, always on the interface thread.
class CaptureObserver {
 public:
  virtual ~CaptureObserver() = default;
  virtual void CaptureStarted() {}
  virtual void CaptureStopped() {}
};

// Held around ApplyTransition by producers on other threads.
using TransitionMutex = std::mutex;

class CaptureData;

// Takes over a full store instead of stopping the capture (continuous
// capture). Called on the appending thread with the transition lock held;
// must not allocate or do I/O. False: the capture stops as usual.
class FullStoreHandler {
 public:
  virtual ~FullStoreHandler() = default;
  virtual bool TakeFullStore(CaptureData& data) = 0;
};

class CaptureData {
 public:
  explicit CaptureData(const Clock& clock);
  CaptureData(const CaptureData&) = delete;
  CaptureData& operator=(const CaptureData&) = delete;

  EventStore Store;
  ChannelStates States;
  PositionSnapshot CaptureStart;
  PositionSnapshot CaptureEnd;
  std::atomic<uint8_t> Capturing{0};
  std::atomic<uint8_t> DataPresent{0};
  std::atomic<uint8_t> DataModified{0};
  // Where the link to the logger was lost (emptied when a capture starts).
  CaptureGaps Gaps;

  // The only way a transition enters the program. Producers on different
  // threads hold TransitionLock() around their calls so that no two overlap.
  void ApplyTransition(double time, uint8_t channel, uint8_t state) {
    if (channel < 1 || channel > kChannelCount) return;
    std::atomic<uint8_t>& level = States.levels_[channel - 1];
    if (level.load(std::memory_order_relaxed) == state) return;
    level.store(state, std::memory_order_relaxed);
    States.StatesChanged.store(1, std::memory_order_release);
    if (Capturing.load(std::memory_order_acquire) == 0) return;
    Store.Append(time, channel, state);
    if (Store.Count() >= storeLimit_.load(std::memory_order_relaxed)) StoreFull();
  }
  TransitionMutex& TransitionLock() { return transitionLock_; }

  // Interface thread.
  void SetCapture(bool on);
  void StartCapture();
  void StopCapture();

  void AddObserver(CaptureObserver* o);
  void RemoveObserver(CaptureObserver* o);

  // A full store stops the capture on the appending thread; the stop's
  // notification waits for the interface thread. `wake` (optional, called on
  // the appending thread) lets a GUI schedule the delivery at once; the timer
  // tick calls DeliverPendingNotifications in any case. True when it raised.
  void SetStopWake(std::function<void()> wake) { stopWake_ = std::move(wake); }
  bool DeliverPendingNotifications();
  bool StopPending() const { return stopPending_.load(std::memory_order_acquire) != 0; }

  const Clock& ClockSource() const { return clock_; }

  // Continuous capture: `handler` (or nullptr) is asked first when the store
  // fills. Set while no capture runs.
  void SetFullStoreHandler(FullStoreHandler* handler) { fullStoreHandler_ = handler; }
  // The number of records that counts as a full store, 1..1,048,576; tests
  // of continuous capture make it small. Set while no capture runs.
  void SetStoreLimit(uint32_t limit);

  // A capture brought back from a journal: it stands as if it had just
  // stopped (DataPresent, DataModified) and CaptureStopped is raised.
  void RestoredAsStopped();

 private:
  void TakeSnapshotNow(PositionSnapshot& snap, uint32_t index);
  void StopData();
  void StopFromAppender();
  void StoreFull() {
    if (fullStoreHandler_ == nullptr || !fullStoreHandler_->TakeFullStore(*this)) StopFromAppender();
  }
  void RaiseStarted();
  void RaiseStopped();

  const Clock& clock_;
  TransitionMutex transitionLock_;
  std::atomic<uint8_t> stopPending_{0};
  std::function<void()> stopWake_;
  FullStoreHandler* fullStoreHandler_ = nullptr;
  std::atomic<uint32_t> storeLimit_{kEventCapacity};
  std::vector<CaptureObserver*> observers_;
};

}  // namespace korvalog
