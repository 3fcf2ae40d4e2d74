#pragma once
// The reference capture drawn under the open one: a header with the
// alignment buttons, the walker's switch and the readout, then one greyed
// row per paired input, labelled "ref · name", over the chart's own time
// window through the alignment offset, with the chart's cursors. It follows
// the chart (zoom, pan, cursors) and draws what ReferenceChart computes.
#include <QWidget>
#include <functional>

#include "chart/reference_chart.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace korvalog {

class ChartPanel;

class ReferencePanel : public QWidget {
  Q_OBJECT

 public:
  ReferencePanel(ChartPanel& chart, ReferenceChart& reference, QWidget* parent);
  // The height it asks for: the header and its rows, at most `limit`.
  int WantedHeight(int limit) const;
  // Repaints when the chart's window or cursors moved since the last paint.
  void Follow();
  // The header's text and the rows after a load or an alignment.
  void Refresh();

  QPushButton* AlignHereButton() const { return alignHere_; }
  QPushButton* AlignMarkersButton() const { return alignMarkers_; }
  QPushButton* TimeOfDayButton() const { return timeOfDay_; }
  QPushButton* CloseButton() const { return close_; }
  QCheckBox* WalkBox() const { return walk_; }
  QDoubleSpinBox* ToleranceBox() const { return tolerance_; }
  QLabel* Readout() const { return readout_; }

  static constexpr int kHeaderHeight = 28;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowReadout(int row, double t);

  ChartPanel& chart_;
  ReferenceChart& reference_;
  QLabel* title_;
  QLabel* readout_;
  QPushButton* alignHere_;
  QPushButton* alignMarkers_;
  QPushButton* timeOfDay_;
  QPushButton* close_;
  QCheckBox* walk_;
  QDoubleSpinBox* tolerance_;
  double seenFrom_ = 0, seenTo_ = 0, seenOffset_ = 0;
  int seenC1_ = -1, seenC2_ = -1, seenWidth_ = -1, seenRow_ = -1;
};

}  // namespace korvalog
