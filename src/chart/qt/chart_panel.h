#pragma once
// The chart as the main window holds it: the summary panel (zoom buttons,
// Sequencer button, strip label, statistics line, strip and selection
// handles) above the channel grid. It forwards input to the chart state,
// draws the state's plans into its images and repaints what changed. The
// host's 250 ms timer calls Tick(); while a capture runs the panel's own
// timer takes live frames at the display's pace (LiveFramePacer).
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "chart/chart_navigator.h"
#include "chart/chart_state.h"
#include "chart/live_chart.h"
#include "chart/qt/channel_grid.h"
#include "chart/qt/chart_input.h"
#include "chart/qt/chart_images.h"
#include "chart/qt/chart_painting.h"
#include "chart/qt/handle.h"
#include "chart/qt/zoom_strip.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "ui/qt/btn_transparent.h"
#include "ui/qt/nice_label.h"

namespace korvalog {

class ChartPanel : public QWidget, public CaptureObserver {
  Q_OBJECT

 public:
  ChartPanel(CaptureData& data, CaptureView& view, const LoggerSettings& settings, QWidget* parent = nullptr);

  ChartState& State() { return state_; }
  const ChartState& State() const { return state_; }
  int StripMode() const { return state_.StripMode; }
  // 0 = search trace, 1 = Sequencer staircase; the strip and its label
  // follow at the next strip pass.
  void SetStripMode(int mode);
  // Recomputes and repaints the strip (after a search or Sequencer change).
  void RunStripPass();
  int NameColumnWidth() const { return grid_->ColumnWidths()[1]; }
  const PositionSnapshot& SelectionStart() const { return state_.SelectionStart; }
  const PositionSnapshot& SelectionEnd() const { return state_.SelectionEnd; }

  // The parts, for hosts and tests.
  ChannelGrid* Grid() { return grid_; }
  QWidget* Summary() { return summary_; }
  ZoomStrip* Strip() { return strip_; }
  ZoomStats* Stats() { return stats_; }
  TNiceLabel* ZoomLabel() { return label_; }
  THandle* LeftHandle() { return left_; }
  THandle* RightHandle() { return right_; }
  TBtnTransparent* ZoomWinButton() { return zoomWin_; }
  TBtnTransparent* ZoomPrevButton() { return zoomPrev_; }
  TBtnTransparent* ZoomAllButton() { return zoomAll_; }
  TBtnTransparent* SequencerButton() { return sequencer_; }
  // Shown when the panel is narrower than the chart with its narrowest
  // waveform column: it scrolls summary and grid together.
  QScrollBar* SideScrollBar() { return sideScroll_; }
  ChartNavigator& Navigator() { return navigator_; }
  LiveChart& Live() { return live_; }
  // Frames the live timer took since the capture started.
  uint32_t LiveFrames() const { return liveFrames_; }
  TBtnTransparent* FollowButton() { return followButton_; }
  ChartInput* Input() { return input_; }
  class ViolationsForm* Violations() { return violations_; }
  class MarkersForm* Markers() { return markers_; }

  // What the painting code reads; the same code draws the chart into any
  // painter (a picture of `rows` channel rows from `topRow`).
  ChartDrawContext DrawContext() const;
  QSize PictureSize(int rows) const;
  void PaintPicture(QPainter& painter, int topRow, int rows) const;

 public slots:
  // Lays the chart out again when columns or the stale mark ask for it, and
  // repaints the state column when an input changed.
  void Tick();
  // The live frame timer's work while a capture runs: the records that came
  // in, drawn, and the next frame timed by what this one cost.
  void LiveFrameOnTime();
  void CaptureStarted() override;
  void CaptureStopped() override;
  void DataLoaded();
  void MarkStale();
  // Lays the chart out and repaints at once (a zoom, a resize, a history
  // step): nothing waits for the tick.
  void LayOutNow();
  // Cursor 1 to the next (previous) search match, or Sequencer violation
  // while the strip shows the staircase (F3, Shift+F3, the buttons).
  void StepFinding(bool forward);
  // Ctrl+G: the Go to time dialog, then the chart centred on the time.
  void GoToTime();
  // Centres the chart on t with cursor 1 there (false outside the capture).
  bool GoTo(double t);
  // The Violations and Markers lists.
  void ShowViolations();
  void ShowMarkers();
  // M from the keyboard or Ctrl+M: a marker at the pointer or cursor 1.
  void DropMarker();
  // While a capture runs: back to its newest events, or stop following.
  void SetFollowing(bool on);

 signals:
  // The reading of the waveform under the pointer (empty: none).
  void PointerReading(const QString& text);
  // The Sequencer button was pressed (the strip shows the staircase now).
  void SequencerRequested();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void customEvent(QEvent* event) override;

 private:
  // Redraws images whose plans changed, places strip, label and handles,
  // sets the zoom buttons and repaints.
  void Refresh();
  // A step in time (zoom, pan, history, go to, next change or match): laid
  // out and repainted at once, of the grid only the waveform column.
  void TimeStepped(const std::function<void()>& step);
  // Places summary, grid and the side scroll bar for the panel's width.
  void LayOutParts();
  void SelectionHandleMoving(THandle* handle);
  void SelectionHandleReleased(THandle* handle);
  // The summary above the grid: zoom and sequencer buttons, zoom label,
  // statistics, strip and selection handles.
  void BuildSummary();
  void NameParts();
  void ConnectSummaryButtons();
  void BuildNavigation();
  void PlaceNavigationButtons();
  void ShowFindingHints();
  // The live chart: its Follow button, and a frame laid out at once after
  // a step that changed what it shows.
  void BuildLive();
  void PlaceLiveButton();
  void LiveFrameNow();

  CaptureData& data_;
  CaptureView& view_;
  const LoggerSettings& settings_;
  ChartState state_;
  bool timeOnly_ = false;  // set while a step in time refreshes
  LiveChart live_{state_};
  ChartNavigator navigator_{state_};
  WaveformImages waves_;
  StripImage stripImage_;
  StatePictures pictures_;
  uint32_t wavesVersion_ = ~0u;
  uint32_t stripVersion_ = ~0u;
  int imageScale_ = 0;
  uint8_t colourMode_ = 0;

  QWidget* summary_;
  ChannelGrid* grid_;
  ZoomStrip* strip_;
  ZoomStats* stats_;
  TNiceLabel* label_;
  THandle* left_;
  THandle* right_;
  TBtnTransparent* zoomWin_;
  TBtnTransparent* zoomPrev_;
  TBtnTransparent* zoomAll_;
  TBtnTransparent* sequencer_;
  QScrollBar* sideScroll_;
  bool layingOut_ = false;
  TBtnTransparent* findPrevious_ = nullptr;
  TBtnTransparent* findNext_ = nullptr;
  TBtnTransparent* markersButton_ = nullptr;
  TBtnTransparent* followButton_ = nullptr;
  ChartInput* input_ = nullptr;
  class ViolationsForm* violations_ = nullptr;
  class MarkersForm* markers_ = nullptr;
  uint32_t markersVersion_ = 0;
  QTimer liveTimer_;
  uint32_t liveFrames_ = 0;
};

}  // namespace korvalog
