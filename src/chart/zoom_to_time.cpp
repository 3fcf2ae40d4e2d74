#include "chart/zoom_to_time.h"

#include <algorithm>

#include "base/date_time.h"
#include "chart/snapshot_walk.h"

namespace korvalog {

bool ZoomChartTo(ChartState& state, double from, double to) {
  CaptureData& data = state.Data();
  if (data.DataPresent.load(std::memory_order_acquire) == 0 || data.Capturing.load(std::memory_order_acquire) != 0) {
    return false;
  }
  const double start = data.CaptureStart.time, end = data.CaptureEnd.time;
  if (to < from) std::swap(from, to);
  if (to < start || from > end) return false;
  // A fifth of the span either side, at least two seconds.
  const double margin = std::max((to - from) * 0.2, 2.0 / kSecondsPerDay);
  from = std::max(start, from - margin);
  to = std::min(end, to + margin);
  EventWalker walker(data);
  PositionSnapshot a = data.CaptureStart;
  walker.AdvanceSnapshot(a, from, data.CaptureEnd);
  PositionSnapshot b = a;
  walker.AdvanceSnapshot(b, to, data.CaptureEnd);
  state.SelectionStart = a;
  state.SelectionEnd = b;
  state.bZoomWinClick();
  return true;
}

}  // namespace korvalog
