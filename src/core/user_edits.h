#pragma once
// The user's own edits of a capture (names, row order, search conditions,
// the Sequencer pattern) are saved with it, so they count as modifications;
// an edit taken back with Escape does not.
#include <cstdint>

#include "core/capture_data.h"

namespace korvalog {

// Marks the capture modified, when the store holds events (an empty capture
// has nothing to lose).
void MarkUserEdit(CaptureData& data);

// An edit in place that may be taken back: Begin when it opens; Cancel after
// the old value has been put back restores the modified mark it found,
// unless the capture changed meanwhile (a capture stopped or started).
class UndoableEdit {
 public:
  void Begin(const CaptureData& data);
  void Cancel(CaptureData& data);

 private:
  bool open_ = false;
  uint8_t modified_ = 0;
  uint32_t count_ = 0;
  double start_ = 0.0;
  double end_ = 0.0;
};

}  // namespace korvalog
