#pragma once
// The chart's mouse and keys as waveform viewers have them, on top of the
// grid's own: Ctrl+wheel zooms around the pointer, Shift+wheel pans, a drag
// with the middle button or on the time scale pans, + and - zoom, Left and
// Right pan, Home and End go to the capture's ends, Backspace is "previous
// zoom", Ctrl+Left and Ctrl+Right step to the current channel's changes,
// M drops a marker. The keys act where the pointer is when they come; a
// name or Search cell takes typing only once chosen. It watches the grid's
// events ahead of the grid, hands every step to the navigator and reports
// the pointer's reading; the grid keeps everything it does not take.
#include <QObject>
#include <QString>
#include <functional>

#include "chart/chart_navigator.h"

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;

namespace korvalog {

class ChannelGrid;

class ChartInput : public QObject {
  Q_OBJECT

 public:
  // Wheel notches one press of + or - stands for (a factor of about 2).
  static constexpr double kKeyNotches = 3.0;

  ChartInput(ChartNavigator& navigator, ChannelGrid& grid, QObject* parent = nullptr);

  // Called after every step that changed what the chart shows.
  void SetOnChanged(std::function<void()> hook) { onChanged_ = std::move(hook); }
  // "Zoom to previous zoom", as its button does it.
  void SetOnPreviousZoom(std::function<void()> hook) { onPreviousZoom_ = std::move(hook); }

  // Drops a marker at the pointer when it is over a waveform, else at
  // cursor 1. True when one was added.
  bool DropMarker();
  // The time under the pointer, when it is over a waveform.
  bool PointerTime(double& t) const;

 signals:
  // The status bar's reading of the waveform under the pointer; empty when
  // the pointer is not over one.
  void PointerReading(const QString& text);
  void MarkersChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Wheel(QWheelEvent* event);
  bool Press(QMouseEvent* event);
  bool Move(QMouseEvent* event);
  bool Release(QMouseEvent* event);
  bool Key(QKeyEvent* event);
  bool ToolTip(QEvent* event);
  void Hover(int x, int y);
  void HoverAtPointer();
  bool OnTimeScale(int x, int y) const;
  bool OverWaves(int x) const;
  void Changed(bool changed);

  ChartNavigator& navigator_;
  ChannelGrid& grid_;
  std::function<void()> onChanged_;
  std::function<void()> onPreviousZoom_;
  int hoverX_ = -1;
  int dragStartX_ = 0;
  bool dragging_ = false;
  // The current cell was chosen by a click or a key since the keys last
  // went to another window: typed characters may go into it.
  bool cellChosen_ = false;
  QString reading_;
};

}  // namespace korvalog
