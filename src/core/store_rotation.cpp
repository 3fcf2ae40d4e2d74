#include "core/store_rotation.h"

namespace korvalog {

bool StoreRotation::TakeFullStore(CaptureData& data) {
  if (spareBusy_.load(std::memory_order_acquire)) {
    refused_.store(true, std::memory_order_release);
    return false;
  }
  const EventStore::Look full = data.Store.Now();
  PositionSnapshot end;
  end.index = full.count;
  end.time = full.count > 0 ? full.events[full.count - 1].time.Value() : data.CurrentPartStart().time;
  data.States.CopyTo(end.states);
  PositionSnapshot next = end;
  next.index = 0;
  spareStart_ = data.CurrentPartStart();
  if (!data.Store.BeginPart(next)) return false;
  spare_ = full.events;
  spareCount_ = full.count;
  spareEnd_ = end;
  journalTook_.store(!journalAttached_.load(std::memory_order_relaxed), std::memory_order_relaxed);
  spareBusy_.store(true, std::memory_order_release);
  generation_.fetch_add(1, std::memory_order_release);
  return true;
}

}  // namespace korvalog
