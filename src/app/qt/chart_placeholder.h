#pragma once
// Stands where the chart goes until the chart panel is part of the program:
// the summary strip with its Sequencer button over an empty grid area.
#include <QWidget>

#include "core/capture_data.h"

namespace korvalog {

class TBtnTransparent;

class ChartPanel : public QWidget {
  Q_OBJECT

 public:
  ChartPanel(CaptureData& data, QWidget* parent = nullptr);

  void Tick() {}
  void CaptureStarted() { update(); }
  void CaptureStopped() { update(); }
  void DataLoaded() { update(); }
  void MarkStale() { update(); }
  void SetStripMode(int mode) { stripMode_ = mode; }
  int StripMode() const { return stripMode_; }
  void RunStripPass() {}
  const PositionSnapshot& SelectionStart() const { return data_.CaptureStart; }
  const PositionSnapshot& SelectionEnd() const { return data_.CaptureEnd; }

 signals:
  void SequencerRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CaptureData& data_;
  TBtnTransparent* bSequencer_;
  int stripMode_ = 0;
};

}  // namespace korvalog
