#include "chart/chart_navigator.h"

#include <algorithm>
#include <cmath>

#include "base/date_time.h"

namespace korvalog {

void ChartNavigator::Invalidate() {
  indexValid_ = false;
  findingsValid_ = false;
  placedEvent_.reset();
  dragging_ = false;
}

const ChannelIndex& ChartNavigator::Index() {
  const CaptureData& data = state_.Data();
  if (!indexValid_ || index_.Indexed() != data.Store.Count()) {
    index_.Build(data);
    indexValid_ = true;
  }
  return index_;
}

const CaptureFindings& ChartNavigator::Findings() {
  FindingsKey key = FindingsKeyOf(state_.Data(), state_.View());
  if (!findingsValid_ || !(key == findingsKey_)) {
    findings_ = FindInCapture(state_.Data(), state_.View());
    findingsKey_ = key;
    findingsValid_ = true;
  }
  return findings_;
}

bool ChartNavigator::HasData() const {
  const CaptureData& data = state_.Data();
  return data.DataPresent.load(std::memory_order_acquire) != 0 && data.Capturing.load(std::memory_order_acquire) == 0;
}

PositionSnapshot ChartNavigator::SnapshotAt(double t) {
  if (Live()) return live_->SnapshotAt(t);
  return Lookup().SnapshotAt(t);
}

bool ChartNavigator::CanMove() const { return Live() || HasData(); }

bool ChartNavigator::ShowWindow(double from, double to, bool remember) {
  if (!CanMove() || !std::isfinite(from) || !std::isfinite(to)) return false;
  const CaptureData& data = state_.Data();
  const bool live = Live();
  // While capturing, the part the live chart shows: the appending thread
  // may begin a new part at any time, and only the live chart follows that.
  if (live) live_->FollowPart();
  const PositionSnapshot& first = live ? live_->PartStart() : data.CaptureStart;
  const double start = first.time, end = live ? live_->Now() : data.CaptureEnd.time;
  const double whole = end - start;
  if (!(whole > 0.0)) return false;
  const double least = std::min(kMinSpanSeconds / kSecondsPerDay, whole);
  double span = std::clamp(to - from, least, whole);
  if (!(to - from >= least)) from = (from + to - span) / 2;
  if (from < start) from = start;
  to = from + span;
  if (to > end) {
    to = end;
    from = std::max(start, end - span);
  }
  const bool selectionWhole = state_.SelectionStart.time == state_.ZoomStart.time &&
                              state_.SelectionEnd.time == state_.ZoomEnd.time;
  if (from == state_.ZoomStart.time && to == state_.ZoomEnd.time && selectionWhole) return false;
  if (remember && state_.HistoryDepth < kZoomHistoryDepth) {
    state_.ZoomHistory[state_.HistoryDepth] =
        ZoomHistoryEntry{state_.ZoomStart, state_.ZoomEnd, static_cast<uint16_t>(state_.LeftHandle.PosX),
                         static_cast<uint16_t>(state_.RightHandle.PosX)};
    ++state_.HistoryDepth;
  }
  placedEvent_.reset();
  placedX_ = -1;
  if (live) {
    if (to >= end) {
      // At the newest events: the capture is followed with this span.
      live_->FollowWithSpan(to - from);
      return true;
    }
    live_->StopFollowing();
  }
  state_.ZoomStart = from == start ? first : SnapshotAt(from);
  state_.ZoomEnd = to == end ? (live ? live_->EndSnapshot() : data.CaptureEnd) : SnapshotAt(to);
  if (state_.WaveWidth > 0) {
    state_.ResetSelection();
    state_.RenderWaveforms();
    state_.RenderSearchStrip();
  } else {
    state_.SelectionStart = state_.ZoomStart;
    state_.SelectionEnd = state_.ZoomEnd;
  }
  state_.UpdateZoomButtons();
  return true;
}

bool ChartNavigator::ZoomAround(double t, double steps) {
  const double s = ShownStart(), e = ShownEnd();
  if (!std::isfinite(t)) return false;
  t = std::clamp(t, s, e);
  const double f = std::pow(kWheelFactor, steps);
  if (Live() && live_->Following()) {
    // Zooming while following changes the span and keeps the newest in view.
    live_->FollowWithSpan(std::max((e - s) * f, kMinSpanSeconds / kSecondsPerDay));
    return true;
  }
  const double from = t - (t - s) * f;
  return ShowWindow(from, from + (e - s) * f);
}

bool ChartNavigator::Pan(double fraction) {
  const double d = (ShownEnd() - ShownStart()) * fraction;
  return ShowWindow(ShownStart() + d, ShownEnd() + d);
}

bool ChartNavigator::ToCaptureStart() {
  const double start = Live() ? live_->PartStart().time : state_.Data().CaptureStart.time;
  return ShowWindow(start, start + (ShownEnd() - ShownStart()));
}

bool ChartNavigator::ToCaptureEnd() {
  if (Live()) {
    const bool was = live_->Following();
    live_->Follow();
    return !was;
  }
  const double end = state_.Data().CaptureEnd.time;
  return ShowWindow(end - (ShownEnd() - ShownStart()), end);
}

bool ChartNavigator::GoTo(double t) {
  const CaptureData& data = state_.Data();
  if (!HasData() || !(t >= data.CaptureStart.time && t <= data.CaptureEnd.time)) return false;
  const double half = (ShownEnd() - ShownStart()) / 2;
  ShowWindow(t - half, t + half);
  PlaceCursor1(t);
  return true;
}

void ChartNavigator::PlaceCursor1(double t, std::optional<uint32_t> event) {
  const auto reachable = [&] {
    const long x = std::lround(state_.WaveXOf(t));
    return x >= state_.Cursor1.MinX && x <= state_.Cursor1.MaxX;
  };
  if (!reachable()) {
    const double half = (ShownEnd() - ShownStart()) / 2;
    const bool moved = ShowWindow(t - half, t + half);
    // Near the capture's ends the cursor keeps its distance from the
    // column's edge: a narrower window around t lets it reach t (on an end
    // itself, the narrowest window, where that distance is below a
    // millisecond and the cursor is held on t).
    const CaptureData& data = state_.Data();
    const double least = kMinSpanSeconds / kSecondsPerDay;
    const double room = std::max(std::min(t - data.CaptureStart.time, data.CaptureEnd.time - t), least / 2);
    if (!reachable()) ShowWindow(t - room, t + room, !moved);
  }
  state_.PlaceCursor1(t);
  placedEvent_ = event;
  placedX_ = state_.Cursor1.PosX;
  placedTime_ = t;
}

uint32_t ChartNavigator::CursorFrom(bool forward) {
  if (placedEvent_ && state_.Cursor1.PosX == placedX_) return forward ? *placedEvent_ + 1 : *placedEvent_;
  const double t = state_.Cursor1.PosX == placedX_ ? placedTime_ : state_.CursorTime(MeasuringCursor::First);
  return Lookup().FirstIndexAt(t, forward);
}

bool ChartNavigator::StepEdge(int channel, bool forward) {
  if (!HasData() || channel < 1 || channel > kChannelCount) return false;
  const uint32_t from = CursorFrom(forward);
  const CaptureLookup lookup = Lookup();
  const auto change = forward ? lookup.NextChange(channel, from) : lookup.PreviousChange(channel, from);
  if (!change) return false;
  PlaceCursor1(change->time, change->index);
  return true;
}

bool ChartNavigator::StepFinding(bool violations, bool forward) {
  if (!HasData()) return false;
  const uint32_t from = CursorFrom(forward);
  const CaptureFindings& found = Findings();
  if (violations) {
    const long i = NextPlace(found.violations, from, forward);
    if (i < 0) return false;
    const SequenceViolation& v = found.violations[static_cast<size_t>(i)];
    PlaceCursor1(v.time, v.index);
  } else {
    const long i = NextPlace(found.matchStarts, from, forward);
    if (i < 0) return false;
    const CapturePlace& p = found.matchStarts[static_cast<size_t>(i)];
    PlaceCursor1(p.time, p.index);
  }
  return true;
}

bool ChartNavigator::StepMarker(bool forward) {
  if (!HasData()) return false;
  const MarkerList& markers = state_.View().Markers;
  const double t = state_.Cursor1.PosX == placedX_ ? placedTime_ : state_.CursorTime(MeasuringCursor::First);
  const auto i = forward ? markers.After(t) : markers.Before(t);
  if (!i) return false;
  PlaceCursor1(markers[*i].time);
  return true;
}

void ChartNavigator::BeginDrag() {
  dragging_ = true;
  dragRemembered_ = false;
  dragFrom_ = ShownStart();
  dragTo_ = ShownEnd();
}

bool ChartNavigator::DragBy(int pixels) {
  if (!dragging_ || state_.WaveWidth == 0) return false;
  const double d = -pixels * (dragTo_ - dragFrom_) / state_.WaveWidth;
  const bool moved = ShowWindow(dragFrom_ + d, dragTo_ + d, !dragRemembered_);
  dragRemembered_ = dragRemembered_ || moved;
  return moved;
}

double ChartNavigator::TimeAtWaveX(int x) const {
  if (state_.WaveWidth == 0) return ShownStart();
  return ShownStart() + (ShownEnd() - ShownStart()) * (x - state_.StripLeft) / state_.WaveWidth;
}

}  // namespace korvalog
