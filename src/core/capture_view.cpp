#include "core/capture_view.h"

namespace korvalog {

void ResetSequenceTable(SequenceTable& table) { table.fill(SequenceRow{}); }

void SetStartupDefaults(CaptureData& data, CaptureView& view) {
  view.Reset();
  data.DataPresent.store(0);
}

void CaptureView::Reset() {
  Traces.Reset();
  ResetSequenceTable(Sequence);
  Markers.Clear();
  Site = SiteDetails{};
}

}  // namespace korvalog
