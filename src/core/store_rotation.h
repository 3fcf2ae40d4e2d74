#pragma once
// Continuous capture: when the store fills, the capture goes on in the
// store's other block (EventStore::BeginPart), so a transition arriving
// while the full block is saved has somewhere to go. The full block stays
// as it is: the journal and the interface thread read it without the lock.
// The move happens on the appending thread under the transition lock (no
// copy, no allocation, no I/O); the full block is then saved by the
// interface thread, which hands it back with ReleaseSpare.
#include <atomic>
#include <cstdint>

#include "core/capture_data.h"

namespace korvalog {

class StoreRotation final : public FullStoreHandler {
 public:
  StoreRotation() = default;
  StoreRotation(const StoreRotation&) = delete;
  StoreRotation& operator=(const StoreRotation&) = delete;

  // Appending thread, transition lock held. The new part starts where the
  // full one ended: at the time of its last record, with its end levels.
  // False (the capture stops as usual) while the previous block is unsaved.
  bool TakeFullStore(CaptureData& data) override;

  // How many times the store was moved aside; a reader that sees it change
  // (acquire) may read the spare block below.
  uint32_t Generation() const { return generation_.load(std::memory_order_acquire); }
  bool SpareWaiting() const { return spareBusy_.load(std::memory_order_acquire); }
  const EventRecord* Spare() const { return spare_; }
  uint32_t SpareCount() const { return spareCount_; }
  const PositionSnapshot& SpareStart() const { return spareStart_; }
  const PositionSnapshot& SpareEnd() const { return spareEnd_; }

  // With a journal attached the spare is handed back only after the journal
  // has taken its last records too.
  // Set before the capture starts; a journal that could not be started is
  // detached again.
  void AttachJournal(bool attached) {
    journalAttached_.store(attached, std::memory_order_relaxed);
    if (!attached) JournalTookSpare();
  }
  // Journal thread (or the interface thread when no journal is attached).
  void JournalTookSpare() {
    journalTook_.store(true, std::memory_order_release);
    journalTook_.notify_all();
  }
  bool JournalHasTakenSpare() const { return journalTook_.load(std::memory_order_acquire); }
  // Interface thread, while it finishes: blocks until the journal has taken
  // the spare's last records (it was woken to do so).
  void WaitForJournal() const { journalTook_.wait(false, std::memory_order_acquire); }

  // A full store could not be taken (the capture stopped early).
  bool Refused() const { return refused_.load(std::memory_order_acquire); }

  // Interface thread, once the full block is saved.
  void ReleaseSpare() { spareBusy_.store(false, std::memory_order_release); }

 private:
  const EventRecord* spare_ = nullptr;
  uint32_t spareCount_ = 0;
  PositionSnapshot spareStart_;
  PositionSnapshot spareEnd_;
  std::atomic<bool> journalAttached_{false};
  std::atomic<bool> spareBusy_{false};
  std::atomic<bool> journalTook_{false};
  std::atomic<bool> refused_{false};
  std::atomic<uint32_t> generation_{0};
};

}  // namespace korvalog
