#pragma once
// Moving about a capture the way waveform viewers do: zoom around a time,
// pan, go to the capture's ends or to a typed time, step cursor 1 to a
// channel's next change, to the next search match, Sequencer violation or
// marker. Every step that changes the zoom window enters the zoom history
// first, so "Zoom to previous zoom" undoes it. Positions come from the
// per-channel index and bisection; only the passes the chart redraws with
// read events.
#include <cstdint>
#include <optional>

#include "chart/capture_findings.h"
#include "chart/capture_lookup.h"
#include "chart/channel_index.h"
#include "chart/chart_state.h"
#include "chart/live_chart.h"

namespace korvalog {

class ChartNavigator {
 public:
  // The narrowest window a zoom goes to: one millisecond, the clock's step.
  static constexpr double kMinSpanSeconds = 0.001;
  // One wheel notch zooms by this factor; a key by its square.
  static constexpr double kWheelFactor = 0.8;

  explicit ChartNavigator(ChartState& state) : state_(state) {}
  ChartNavigator(const ChartNavigator&) = delete;
  ChartNavigator& operator=(const ChartNavigator&) = delete;

  ChartState& State() { return state_; }
  // While `live` is active, the capture's end is its newest time: a step
  // that reaches it follows the capture, one that leaves it stands still.
  void SetLive(LiveChart* live) { live_ = live; }
  const ChartState& State() const { return state_; }

  // The capture changed (load, capture start or stop): the index and the
  // findings are made again at their next use.
  void Invalidate();
  const ChannelIndex& Index();
  CaptureLookup Lookup() { return CaptureLookup(state_.Data(), Index()); }
  // Matches and violations of the whole capture for the current search and
  // Sequencer table (found again when either changed).
  const CaptureFindings& Findings();

  // What the waveform column shows.
  double ShownStart() const { return state_.SelectionStart.time; }
  double ShownEnd() const { return state_.SelectionEnd.time; }
  // A finished capture is shown: every look-up may run.
  bool HasData() const;
  // The window may move: also while a capture runs (the look-ups of changes,
  // matches, markers and pointer readings wait for its end).
  bool CanMove() const;

  // Makes [from, to] (moved and cut to lie inside the capture, at least
  // kMinSpanSeconds wide) the zoom window with the selection over all of it,
  // as "Zoom into selection" would. `remember`: the window before enters the
  // history. False when there is no data or nothing changed.
  bool ShowWindow(double from, double to, bool remember = true);
  // Zooms by factor^steps (steps > 0 in, < 0 out) keeping time t where it
  // is in the column.
  bool ZoomAround(double t, double steps);
  bool ZoomCentre(double steps) { return ZoomAround((ShownStart() + ShownEnd()) / 2, steps); }
  // Moves the window by a fraction of its width (positive: later).
  bool Pan(double fraction);
  bool ToCaptureStart();
  bool ToCaptureEnd();
  // Centres the window on t (width kept) and puts cursor 1 there. Refused
  // (false) for a time outside the capture.
  bool GoTo(double t);
  // Puts cursor 1 on t; when t is outside the cursor's reach the window is
  // centred on it first.
  void PlaceCursor1(double t, std::optional<uint32_t> event = std::nullopt);

  // Cursor 1 to the channel's next (previous) change. False when none.
  bool StepEdge(int channel, bool forward);
  // Cursor 1 to the next (previous) search match start, or Sequencer
  // violation when `violations`.
  bool StepFinding(bool violations, bool forward);
  // Cursor 1 to the next (previous) marker.
  bool StepMarker(bool forward);

  // A drag that pans: the window follows the pointer's offset in pixels
  // from where the drag began; the first move enters the history.
  void BeginDrag();
  bool DragBy(int pixels);
  void EndDrag() { dragging_ = false; }

  // Waveform x (grid coordinates) to time, for wheel zooms and markers.
  double TimeAtWaveX(int x) const;

 private:
  // Where cursor 1 stands, as a store position: next steps look after it,
  // previous steps before it.
  uint32_t CursorFrom(bool forward);
  PositionSnapshot SnapshotAt(double t);
  bool Live() const { return live_ != nullptr && live_->Active(); }

  ChartState& state_;
  LiveChart* live_ = nullptr;
  ChannelIndex index_;
  bool indexValid_ = false;
  CaptureFindings findings_;
  FindingsKey findingsKey_;
  bool findingsValid_ = false;
  // The event cursor 1 was last put on, while it stays there.
  std::optional<uint32_t> placedEvent_;
  int placedX_ = -1;
  double placedTime_ = 0.0;
  bool dragging_ = false;
  bool dragRemembered_ = false;
  double dragFrom_ = 0.0, dragTo_ = 0.0;
};

}  // namespace korvalog
