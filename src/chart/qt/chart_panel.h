#pragma once
// The chart as the main window holds it: the summary panel (zoom buttons,
// Sequencer button, strip label, statistics line, strip and selection
// handles) above the channel grid. It forwards input to the chart state,
// draws the state's plans into its images and repaints what changed. The
// host's 250 ms timer calls Tick().
#include <QScrollBar>
#include <QWidget>

#include "chart/chart_state.h"
#include "chart/qt/channel_grid.h"
#include "chart/qt/chart_images.h"
#include "chart/qt/chart_painting.h"
#include "chart/qt/handle.h"
#include "chart/qt/zoom_strip.h"
#include "core/capture_data.h"
#include "ui/qt/btn_transparent.h"
#include "ui/qt/nice_label.h"

namespace korvalog {

class ChartPanel : public QWidget, public CaptureObserver {
  Q_OBJECT

 public:
  ChartPanel(CaptureData& data, const LoggerSettings& settings, QWidget* parent = nullptr);

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

  // What the painting code reads; the same code draws the chart into any
  // painter (a picture of `rows` channel rows from `topRow`).
  ChartDrawContext DrawContext() const;
  QSize PictureSize(int rows) const;
  void PaintPicture(QPainter& painter, int topRow, int rows) const;

 public slots:
  // Lays the chart out again when columns or the stale mark ask for it, and
  // repaints the state column when an input changed.
  void Tick();
  void CaptureStarted() override;
  void CaptureStopped() override;
  void DataLoaded();
  void MarkStale();

 signals:
  // The Sequencer button was pressed (the strip shows the staircase now).
  void SequencerRequested();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Redraws images whose plans changed, places strip, label and handles,
  // sets the zoom buttons and repaints.
  void Refresh();
  // Places summary, grid and the side scroll bar for the panel's width.
  void LayOutParts();
  void SelectionHandleMoving(THandle* handle);
  void SelectionHandleReleased(THandle* handle);

  CaptureData& data_;
  const LoggerSettings& settings_;
  ChartState state_;
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
};

}  // namespace korvalog
