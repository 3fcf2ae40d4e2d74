#include "chart/chart_state.h"

#include <algorithm>
#include <cmath>

#include "base/date_time.h"
#include "chart/grid_edits.h"
#include "chart/snapshot_walk.h"
#include "chart/time_axis.h"

namespace korvalog {
namespace {

uint32_t EventsBetween(const PositionSnapshot& from, const PositionSnapshot& to, uint32_t count) {
  const uint32_t end = to.index < count ? to.index : count;
  return end > from.index ? end - from.index : 0;
}

// 16-bit layout values wrap as the stored numbers do.
uint16_t Word(int v) { return static_cast<uint16_t>(v); }

}  // namespace

ChartState::ChartState(CaptureData& data, CaptureView& view, int rowHeight)
    : RowHeight(Word(rowHeight)), data_(data), view_(view) {}

void ChartState::ResetSelection() {
  SelectionStart = ZoomStart;
  SelectionEnd = ZoomEnd;
  LeftHandle.PosX = ZoomLeft;
  RightHandle.PosX = ZoomLeft + WaveWidth;
  Cursor1.PosX = StripLeft + 10;
  Cursor2.PosX = StripLeft + 20;
  UpdateHandleLimits();
}

void ChartState::UpdateHandleLimits() {
  LeftHandle.MinX = ZoomLeft;
  LeftHandle.MaxX = RightHandle.PosX - 1;
  RightHandle.MinX = LeftHandle.PosX + 1;
  RightHandle.MaxX = StripLeft + WaveWidth;
  for (HandlePos* c : {&Cursor1, &Cursor2}) {
    c->MinX = StripLeft + 10;
    c->MaxX = StripLeft + WaveWidth - 10;
  }
}

void ChartState::ZoomToAll() {
  ZoomStart = data_.CaptureStart;
  ZoomEnd = data_.CaptureEnd;
  HistoryDepth = 0;
  ResetSelection();
}

void ChartState::UpdateZoomButtons() {
  ZoomWinEnabled = ZoomPrevEnabled = ZoomAllEnabled = false;
  if (!HasData()) return;
  ZoomWinEnabled = SelectionStart.time != ZoomStart.time || SelectionEnd.time != ZoomEnd.time;
  if (Live) {
    // The capture's end is still moving: back to the previous zoom while
    // there is one, to the whole capture always.
    ZoomPrevEnabled = HistoryDepth > 0;
    ZoomAllEnabled = true;
    return;
  }
  ZoomPrevEnabled = data_.CaptureStart.time != SelectionStart.time || data_.CaptureEnd.time != SelectionEnd.time;
  ZoomAllEnabled = ZoomPrevEnabled;
}

double ChartState::StripXToTime(int x) const {
  return korvalog::StripXToTime(x, ZoomLeft, ZoomWidth, ZoomStart, ZoomEnd);
}

double ChartState::CursorTime(MeasuringCursor which) const {
  if (which == MeasuringCursor::First && pinnedX_ >= 0 && Cursor1.PosX == pinnedX_ &&
      pinnedTime_ >= SelectionStart.time && pinnedTime_ <= SelectionEnd.time) {
    return pinnedTime_;
  }
  const HandlePos& c = which == MeasuringCursor::First ? Cursor1 : Cursor2;
  return korvalog::CursorTime(c.PosX, StripLeft, WaveWidth, SelectionStart, SelectionEnd);
}

double ChartState::WaveXOf(double t) const {
  const double span = SelectionEnd.time - SelectionStart.time;
  if (!(span > 0.0)) return StripLeft;
  return StripLeft + (t - SelectionStart.time) / span * WaveWidth;
}

void ChartState::PlaceCursor1(double t) {
  const double x = WaveXOf(t);
  int px = static_cast<int>(std::lround(x));
  const bool inside = px >= Cursor1.MinX && px <= Cursor1.MaxX;
  px = std::clamp(px, Cursor1.MinX, std::max(Cursor1.MinX, Cursor1.MaxX));
  // Held short of t by the column's edge by less than the millisecond the
  // readouts show: still t.
  const double held = korvalog::CursorTime(px, StripLeft, WaveWidth, SelectionStart, SelectionEnd);
  const bool close = std::fabs(held - t) < 0.5 / kMsPerDay;
  Cursor1.PosX = px;
  pinnedX_ = inside || close ? px : -1;
  pinnedTime_ = t;
}

bool ChartState::ShowsTimes() const { return WaveWidth > 0 && HasData(); }

void ChartState::AdvanceSnapshot(PositionSnapshot& s, double t) {
  // Walked only with data present: a running capture's store is still growing.
  if (!HasData()) {
    s.time = t;
    return;
  }
  EventWalker walker(data_);
  const uint32_t before = s.index;
  walker.AdvanceSnapshot(s, t, ZoomEnd);
  eventsRead_ += s.index > before ? s.index - before : 0;
}

void ChartState::SelectionHandleMoving(SelectionHandle which, int x) {
  (which == SelectionHandle::Left ? LeftHandle : RightHandle).PosX = x;
}

void ChartState::SelectionHandleChanged(SelectionHandle which, int x) {
  const double t = StripXToTime(x);
  if (which == SelectionHandle::Left) {
    LeftHandle.PosX = x;
    SelectionStart = ZoomStart;
    AdvanceSnapshot(SelectionStart, t);
  } else {
    RightHandle.PosX = x;
    SelectionEnd = SelectionStart;
    AdvanceSnapshot(SelectionEnd, t);
  }
  UpdateHandleLimits();
  RenderWaveforms();
  UpdateZoomButtons();
}

void ChartState::CursorMoved(MeasuringCursor which, int x) {
  (which == MeasuringCursor::First ? Cursor1 : Cursor2).PosX = x;
  UpdateHandleLimits();
}

void ChartState::bZoomWinClick() {
  if (HistoryDepth < kZoomHistoryDepth) {
    ZoomHistory[HistoryDepth] = ZoomHistoryEntry{ZoomStart, ZoomEnd, Word(LeftHandle.PosX), Word(RightHandle.PosX)};
    ++HistoryDepth;
  }
  ZoomStart = SelectionStart;
  ZoomEnd = SelectionEnd;
  WaveWidth = 0;
  UpdateZoomButtons();
}

void ChartState::bZoomPrevClick() {
  if (HistoryDepth > 0) {
    --HistoryDepth;
    const ZoomHistoryEntry& entry = ZoomHistory[HistoryDepth];
    ZoomStart = entry.start;
    ZoomEnd = entry.end;
    // Restored as stored, without clamping to the current limits.
    LeftHandle.PosX = entry.leftX;
    RightHandle.PosX = entry.rightX;
    SelectionStart = ZoomStart;
    SelectionEnd = SelectionStart;
    AdvanceSnapshot(SelectionStart, StripXToTime(LeftHandle.PosX));
    AdvanceSnapshot(SelectionEnd, StripXToTime(RightHandle.PosX));
    UpdateHandleLimits();
    RenderWaveforms();
    RenderSearchStrip();
  } else {
    ResetSelection();
    RenderWaveforms();
  }
  UpdateZoomButtons();
}

void ChartState::bZoomAllClick() {
  ZoomToAll();
  WaveWidth = 0;
  UpdateZoomButtons();
}

void ChartState::pbZoomDblClick() {
  ResetSelection();
  RenderWaveforms();
  UpdateZoomButtons();
}

void ChartState::LayoutChart(int gridLeft, const std::array<int, kGridColumns>& columnWidths) {
  StripLeft = Word(gridLeft + 6 + columnWidths[0] + columnWidths[1] + columnWidths[2] + columnWidths[3]);
  if (StripLeft != ZoomLeft) {
    const int d = StripLeft - ZoomLeft;
    LabelLeft = StripLeft - LabelWidth;
    for (HandlePos* h : {&LeftHandle, &RightHandle}) {
      h->PosX += d;
      h->MinX += d;
      h->MaxX += d;
    }
    Cursor1.PosX += d;
    Cursor2.PosX += d;
    ZoomLeft = StripLeft;
  }
  const uint16_t width = Word(columnWidths[4] < 0 ? 0 : columnWidths[4]);
  if (width != WaveWidth) {
    WaveWidth = width;
    ZoomWidth = WaveWidth;
    ResetSelection();
    RenderWaveforms();
    RenderSearchStrip();
  }
}

bool ChartState::GridDoubleClick(int column, int row) {
  const int channel = view_.Traces.ChannelAt(row);
  if (channel == 0) return false;
  if (column == 3) {
    CycleSearchCondition(data_, view_.Traces, channel);
  } else if (column == 4) {
    SearchOnlyHigh(data_, view_.Traces, channel);
  } else {
    return false;
  }
  StripMode = kStripSearch;
  RenderSearchStrip();
  return true;
}

bool ChartState::GridKeyPress(int column, int row) { return column == 3 && GridDoubleClick(column, row); }

void ChartState::CaptureStarted() {
  ZoomStart = data_.CaptureStart;
  SelectionStart = data_.CaptureStart;
  WaveWidth = 0;
}

void ChartState::CaptureStopped() {
  ZoomEnd = data_.CaptureEnd;
  SelectionEnd = data_.CaptureEnd;
  WaveWidth = 0;
  ZoomToAll();
}

void ChartState::DataLoaded() {
  if (data_.Store.Count() > 0) ZoomToAll();
  WaveWidth = 0;
}

void ChartState::RenderWaveforms() {
  summary_.Follow(data_.Store);
  korvalog::RenderWaveforms(data_, SelectionStart, SelectionEnd, WaveWidth, waveforms_, Live, &summary_);
  if (waveforms_.hasData) eventsRead_ += EventsBetween(SelectionStart, SelectionEnd, data_.Store.Count());
  ++waveformVersion_;
}

void ChartState::RenderSearchStrip() {
  korvalog::RenderSearchStrip(data_, view_, ZoomStart, ZoomEnd, StripMode, WaveWidth,
                              StripGeometry{kStripHeight, RowHeight}, strip_, Live);
  zoomLabel_ = strip_.zoomLabel;
  if (strip_.hasData) eventsRead_ += EventsBetween(ZoomStart, ZoomEnd, data_.Store.Count());
  ++stripVersion_;
}

void ChartState::SetStripMode(uint8_t mode) { StripMode = mode == kStripSequence ? kStripSequence : kStripSearch; }

}  // namespace korvalog
