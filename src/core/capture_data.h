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
//
// Continuous capture gives the store a second block: when one is full the
// capture goes on in the other (BeginPart), and the full one stays as it was
// until the part after next begins. The part number and the count are one
// atomic word, so a reader that looks once gets a block and a count that
// belong together; one that loads Data() before Count() reads, at worst, a
// block that was just left, never records still being written.
class EventStore {
 public:
  // One look at the store: the records below `count` of `events` are
  // complete, and belong to part `part` (0 at the start of a capture; one
  // more at every full block).
  struct Look {
    const EventRecord* events;
    uint32_t count;
    uint32_t part;
  };

  EventStore();
  EventStore(const EventStore&) = delete;
  EventStore& operator=(const EventStore&) = delete;

  Look Now() const {
    const uint64_t s = state_.load(std::memory_order_acquire);
    return Look{Block(PartOf(s)), CountOf(s), PartOf(s)};
  }
  // Bumped whenever records are put in other than by Append (a load, a
  // restore, a clear, an edit in place): with the count and part it tells a
  // reader that keeps a figure whether the records are still the ones it saw.
  uint32_t Revision() const { return revision_.load(std::memory_order_acquire); }
  uint32_t Count() const { return CountOf(state_.load(std::memory_order_acquire)); }
  uint32_t Part() const { return PartOf(state_.load(std::memory_order_acquire)); }
  bool Full() const { return Count() >= kEventCapacity; }
  const EventRecord& operator[](uint32_t i) const { return Data()[i]; }
  const EventRecord* Data() const { return Block(Part()); }

  // Appends when there is room; false when full. Single writer at a time.
  bool Append(double time, uint8_t channel, uint8_t state) {
    const uint64_t s = state_.load(std::memory_order_relaxed);
    const uint32_t n = CountOf(s);
    if (n >= kEventCapacity) return false;
    EventRecord& r = blocks_[PartOf(s) & 1][n];
    r.time = time;
    r.channel = channel;
    r.state = state;
    state_.store(s + 1, std::memory_order_release);
    return true;
  }
  void Clear() { SetCount(0); }
  // Clear, at the start of a capture that begins at `start`.
  void Restart(const PositionSnapshot& start) {
    starts_[Part() & 1] = start;
    Clear();
  }

  // For loaders (no capture running): fill records directly, then publish.
  EventRecord* MutableData() {
    revision_.fetch_add(1, std::memory_order_release);  // records may change in place
    return blocks_[Part() & 1].get();
  }
  void SetCount(uint32_t n) {
    const uint64_t part = state_.load(std::memory_order_relaxed) >> 32;
    revision_.fetch_add(1, std::memory_order_release);
    state_.store(part << 32 | (n < kEventCapacity ? n : kEventCapacity), std::memory_order_release);
  }

  // Continuous capture. The second block, reserved while no capture runs.
  void ReserveSecondBlock();
  // Appending thread: the capture goes on in the other block, empty, as
  // part Part() + 1 beginning at `start`. The caller makes sure that nobody
  // still reads that block (it held the part before last). False without a
  // second block.
  bool BeginPart(const PositionSnapshot& start);
  // Where part `part` began: for the current part and the one before it
  // (readers that saw that part number). Part 0's start is set by Restart.
  const PositionSnapshot& PartStart(uint32_t part) const { return starts_[part & 1]; }
  // The block of part `part`: the current one or the one before it.
  const EventRecord* Block(uint32_t part) const { return blocks_[part & 1].get(); }

 private:
  static uint32_t CountOf(uint64_t s) { return static_cast<uint32_t>(s); }
  static uint32_t PartOf(uint64_t s) { return static_cast<uint32_t>(s >> 32); }

  std::unique_ptr<EventRecord[]> blocks_[2];
  PositionSnapshot starts_[2];
  std::atomic<uint64_t> state_{0};  // part << 32 | count
  std::atomic<uint32_t> revision_{0};
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
  // fills; the store gets its second block. Set while no capture runs.
  void SetFullStoreHandler(FullStoreHandler* handler);
  // Where the part of the capture now in the store began: CaptureStart, or
  // after a full store was moved aside, that part's start (the appending
  // thread never changes CaptureStart while the capture runs). On the
  // interface thread, or with the transition lock held.
  const PositionSnapshot& CurrentPartStart() const {
    const uint32_t part = Store.Part();
    return part == startPart_ ? CaptureStart : Store.PartStart(part);
  }
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
  uint32_t startPart_ = 0;  // the store's part when the capture started
  std::atomic<uint32_t> storeLimit_{kEventCapacity};
  std::vector<CaptureObserver*> observers_;
};

}  // namespace korvalog
