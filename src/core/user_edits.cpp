#include "core/user_edits.h"

namespace korvalog {

void MarkUserEdit(CaptureData& data) {
  if (data.Store.Count() > 0) data.DataModified.store(1, std::memory_order_release);
}

void UndoableEdit::Begin(const CaptureData& data) {
  open_ = data.Capturing.load(std::memory_order_acquire) == 0;
  modified_ = data.DataModified.load(std::memory_order_acquire);
  count_ = data.Store.Count();
  start_ = data.CaptureStart.time;
  end_ = data.CaptureEnd.time;
}

void UndoableEdit::Cancel(CaptureData& data) {
  const bool same = open_ && data.Capturing.load(std::memory_order_acquire) == 0 && data.Store.Count() == count_ &&
                    data.CaptureStart.time == start_ && data.CaptureEnd.time == end_;
  open_ = false;
  if (same && modified_ == 0) data.DataModified.store(0, std::memory_order_release);
}

}  // namespace korvalog
