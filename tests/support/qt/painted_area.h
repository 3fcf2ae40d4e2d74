#pragma once
// What a widget paints, as the union of its paint events' areas: installed
// as an event filter around the step under test.
#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QRegion>

namespace korvalog::test {

struct PaintedArea : QObject {
  QRegion area;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) area += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

}  // namespace korvalog::test
