#include "core/capture_data.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace korvalog {

EventStore::EventStore() { blocks_[0].reset(new EventRecord[kEventCapacity]); }

void EventStore::ReserveSecondBlock() {
  if (!blocks_[1]) blocks_[1].reset(new EventRecord[kEventCapacity]);
}

bool EventStore::BeginPart(const PositionSnapshot& start) {
  const uint64_t s = state_.load(std::memory_order_relaxed);
  const uint32_t next = PartOf(s) + 1;
  if (!blocks_[next & 1]) return false;
  starts_[next & 1] = start;
  // Released with the new part number: a reader that sees it sees its start.
  state_.store(uint64_t{next} << 32, std::memory_order_release);
  return true;
}

void ChannelStates::CopyTo(uint8_t out[kChannelCount]) const {
  for (int i = 0; i < kChannelCount; ++i) out[i] = levels_[i].load(std::memory_order_relaxed);
}

CaptureData::CaptureData(const Clock& clock) : clock_(clock) {}

void CaptureData::SetCapture(bool on) {
  if ((Capturing.load(std::memory_order_acquire) != 0) == on) return;
  if (on) {
    StartCapture();
  } else {
    StopCapture();
  }
}

void CaptureData::TakeSnapshotNow(PositionSnapshot& snap, uint32_t index) {
  snap.index = index;
  std::memset(snap.reserved, 0, sizeof snap.reserved);
  snap.time = clock_.Now();
  States.CopyTo(snap.states);
}

void CaptureData::StartCapture() {
  // A stop made by a full store is told before the next start.
  DeliverPendingNotifications();
  {
    std::lock_guard<TransitionMutex> hold(transitionLock_);
    DataPresent.store(0, std::memory_order_release);
    TakeSnapshotNow(CaptureStart, 0);
    Store.Restart(CaptureStart);
    startPart_ = Store.Part();
    // Within the lock: a change the receive thread applies after the start
    // levels were taken is an event, never lost between the two.
    Capturing.store(1, std::memory_order_release);
  }
  Gaps.Clear();
  RaiseStarted();
}

void CaptureData::StopData() {
  // After a continuous capture the store holds its last part.
  if (Store.Part() != startPart_) {
    CaptureStart = Store.PartStart(Store.Part());
    startPart_ = Store.Part();
  }
  TakeSnapshotNow(CaptureEnd, Store.Count());
  DataPresent.store(1, std::memory_order_release);
  Capturing.store(0, std::memory_order_release);
  DataModified.store(1, std::memory_order_release);
}

void CaptureData::StopCapture() {
  {
    std::lock_guard<TransitionMutex> hold(transitionLock_);
    if (Capturing.load(std::memory_order_acquire) == 0) return;  // the store filled meanwhile
    StopData();
  }
  RaiseStopped();
}

void CaptureData::StopFromAppender() {
  StopData();
  stopPending_.store(1, std::memory_order_release);
  if (stopWake_) stopWake_();
}

void CaptureData::SetFullStoreHandler(FullStoreHandler* handler) {
  if (handler != nullptr) Store.ReserveSecondBlock();
  fullStoreHandler_ = handler;
}

void CaptureData::SetStoreLimit(uint32_t limit) {
  storeLimit_.store(std::clamp<uint32_t>(limit, 1, kEventCapacity), std::memory_order_relaxed);
}

void CaptureData::RestoredAsStopped() {
  Capturing.store(0, std::memory_order_release);
  DataPresent.store(1, std::memory_order_release);
  DataModified.store(1, std::memory_order_release);
  RaiseStopped();
}

bool CaptureData::DeliverPendingNotifications() {
  if (stopPending_.exchange(0, std::memory_order_acq_rel) == 0) return false;
  RaiseStopped();
  return true;
}

void CaptureData::AddObserver(CaptureObserver* o) {
  if (std::find(observers_.begin(), observers_.end(), o) == observers_.end()) observers_.push_back(o);
}

void CaptureData::RemoveObserver(CaptureObserver* o) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), o), observers_.end());
}

void CaptureData::RaiseStarted() {
  for (CaptureObserver* o : observers_) o->CaptureStarted();
}

void CaptureData::RaiseStopped() {
  for (CaptureObserver* o : observers_) o->CaptureStopped();
}

}  // namespace korvalog
