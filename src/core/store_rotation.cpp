#include "core/store_rotation.h"

#include <cstring>

namespace korvalog {

StoreRotation::StoreRotation() : spare_(new EventRecord[kEventCapacity]) {}

bool StoreRotation::TakeFullStore(CaptureData& data) {
  if (spareBusy_.load(std::memory_order_acquire)) {
    refused_.store(true, std::memory_order_release);
    return false;
  }
  const uint32_t n = data.Store.Count();
  std::memcpy(static_cast<void*>(spare_.get()), data.Store.Data(), size_t{n} * sizeof(EventRecord));
  spareCount_ = n;
  spareStart_ = data.CaptureStart;
  spareEnd_.index = n;
  std::memset(spareEnd_.reserved, 0, sizeof spareEnd_.reserved);
  spareEnd_.time = n > 0 ? data.Store[n - 1].time.Value() : data.CaptureStart.time;
  data.States.CopyTo(spareEnd_.states);
  data.Store.Clear();
  data.CaptureStart = spareEnd_;
  data.CaptureStart.index = 0;
  journalTook_.store(!journalAttached_.load(std::memory_order_relaxed), std::memory_order_relaxed);
  spareBusy_.store(true, std::memory_order_release);
  generation_.fetch_add(1, std::memory_order_release);
  return true;
}

}  // namespace korvalog
