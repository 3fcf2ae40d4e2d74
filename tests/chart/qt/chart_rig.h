#pragma once
// A chart panel over a finished capture, shown on the offscreen platform and
// laid out once, for the widget tests.
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <vector>

#include "chart/qt/chart_panel.h"
#include "chart/time_axis.h"
#include "common/capture_builder.h"
#include "core/channel_colours.h"

namespace korvalog::test {

inline constexpr int kStripLeft = 6 + 23 + 66 + 20 + 20;

// A mouse event for `target` at point p of `coords`' coordinates, sent as
// the window system would while the left button is held on the target.
inline void SendMouse(QEvent::Type type, QWidget* target, QWidget* coords, QPoint p) {
  const QPoint global = coords->mapToGlobal(p);
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(target->mapFromGlobal(global)), QPointF(global), button, held, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

// Drags a handle from its centre along the points of its parent, then
// releases it where the pointer ends (unless `release` is false).
inline void DragAlong(THandle* h, const std::vector<QPoint>& points, bool release = true) {
  QWidget* parent = h->parentWidget();
  SendMouse(QEvent::MouseButtonPress, h, parent, QPoint(h->PosX(), h->PosY()));
  for (const QPoint& p : points) SendMouse(QEvent::MouseMove, h, parent, p);
  if (release) SendMouse(QEvent::MouseButtonRelease, h, parent, points.empty() ? QPoint(h->PosX(), h->PosY()) : points.back());
}

struct ChartRig {
  testing::CaptureBuilder b;
  LoggerSettings settings;
  ChartPanel* panel = nullptr;

  // `build` adds events and search/Sequencer set-up; the capture ends at
  // `endSeconds` unless `finish` is false (no data present).
  template <class Build>
  explicit ChartRig(Build&& build, double endSeconds = 408, bool finish = true) {
    build(b);
    if (finish) b.Finish(endSeconds);
    panel = new ChartPanel(b.data, b.view, settings);
    panel->show();
    panel->DataLoaded();
    panel->Tick();
  }
  ChartRig() : ChartRig([](testing::CaptureBuilder&) {}) {}
  ~ChartRig() { delete panel; }
  ChartRig(const ChartRig&) = delete;
  ChartRig& operator=(const ChartRig&) = delete;

  ChartState& S() { return panel->State(); }
  QImage Grid() { return panel->Grid()->grab().toImage(); }
  QImage Strip() { return panel->Strip()->grab().toImage(); }
  // Top of the grid row showing `row` (the grid scrolled to the top).
  int RowTop(int row) { return panel->Grid()->Layout().CellRect(4, row, panel->Grid()->TopRow()).top(); }
  // Column of a time in the waveform column (grid coordinates).
  int WaveX(double seconds) {
    return kStripLeft + TimeToX(testing::At(seconds), S().SelectionStart, S().SelectionEnd, S().WaveWidth);
  }
  // Drags a handle of the summary panel to x (panel coordinates).
  void DragHandle(THandle* h, int toX, bool release = true) {
    std::vector<QPoint> points;
    const int y = h->PosY(), step = toX > h->PosX() ? 9 : -9;
    for (int x = h->PosX() + step; step > 0 ? x < toX : x > toX; x += step) points.emplace_back(x, y);
    points.emplace_back(toX, y);
    DragAlong(h, points, release);
  }
};

inline QRgb Rgb(korvalog::Rgb c) { return qRgb(c.r, c.g, c.b); }

// The smallest rectangle holding every pixel not in `paper`; null when none.
inline QRect InkBoundsOf(const QImage& image, QRgb paper) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != paper) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

}  // namespace korvalog::test
