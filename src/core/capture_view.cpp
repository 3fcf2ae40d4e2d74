#include "core/capture_view.h"

namespace korvalog {

void ResetSequenceTable(SequenceTable& table) { table.fill(SequenceRow{}); }

void CaptureView::Reset() {
  Traces.Reset();
  ResetSequenceTable(Sequence);
  Markers.Clear();
}

}  // namespace korvalog
