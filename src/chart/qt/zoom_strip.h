#pragma once
// The strip over the zoom window (with the light band between the selection
// handles) and the statistics line above it. Both only paint what the chart
// state and the strip image hold, so repainting them reads no events.
#include <QWidget>
#include <functional>

#include "chart/qt/chart_painting.h"

namespace korvalog {

class ZoomStrip : public QWidget {
  Q_OBJECT

 public:
  ZoomStrip(std::function<ChartDrawContext()> context, QWidget* parent = nullptr);
  int Paints() const { return paints_; }

 signals:
  void DoubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  std::function<ChartDrawContext()> context_;
  int paints_ = 0;
};

class ZoomStats : public QWidget {
  Q_OBJECT

 public:
  ZoomStats(std::function<ChartDrawContext()> context, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<ChartDrawContext()> context_;
};

}  // namespace korvalog
