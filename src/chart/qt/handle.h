#pragma once
// A small raised square the user drags along one or both axes within limits
// its owner sets. It knows nothing about what its position means: it reports
// every move during a drag (OnChanging) and the end of the drag (OnChange).
#include <QPainter>
#include <QPoint>
#include <QWidget>

namespace korvalog {

// The raised double bevel of a handle filling `rect`.
void PaintHandleBevel(QPainter& painter, const QRect& rect, const QPalette& palette);

// min when v < min, max when v > max, else v; both limits 0 = unlimited.
int ClampHandle(int min, int max, int v);

class THandle : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool AllowHorz READ AllowHorz WRITE SetAllowHorz)
  Q_PROPERTY(bool AllowVert READ AllowVert WRITE SetAllowVert)
  Q_PROPERTY(int PosX READ PosX WRITE SetPosX)
  Q_PROPERTY(int PosY READ PosY WRITE SetPosY)
  Q_PROPERTY(int Size READ Size WRITE SetSize)
  Q_PROPERTY(int MinX READ MinX WRITE SetMinX)
  Q_PROPERTY(int MaxX READ MaxX WRITE SetMaxX)
  Q_PROPERTY(int MinY READ MinY WRITE SetMinY)
  Q_PROPERTY(int MaxY READ MaxY WRITE SetMaxY)

 public:
  explicit THandle(QWidget* parent = nullptr);

  bool AllowHorz() const { return allowHorz_; }
  void SetAllowHorz(bool on);
  bool AllowVert() const { return allowVert_; }
  void SetAllowVert(bool on);
  // The centre: left + width div 2. Setting it moves the control and fires
  // nothing; the limits do not apply.
  int PosX() const { return x() + width() / 2; }
  void SetPosX(int x);
  int PosY() const { return y() + height() / 2; }
  void SetPosY(int y);
  // Half the side of the square.
  int Size() const { return width() / 2; }
  void SetSize(int half);
  int MinX() const { return minX_; }
  void SetMinX(int v) { minX_ = v; }
  int MaxX() const { return maxX_; }
  void SetMaxX(int v) { maxX_ = v; }
  int MinY() const { return minY_; }
  void SetMinY(int v) { minY_ = v; }
  int MaxY() const { return maxY_; }
  void SetMaxY(int v) { maxY_ = v; }
  void SetLimitsX(int min, int max) {
    minX_ = min;
    maxX_ = max;
  }

  bool Dragging() const { return dragging_; }
  // The shape the flags ask for: arrow, west-east, north-south or four-way.
  Qt::CursorShape CursorShapeForFlags() const;

 signals:
  void OnChanging(korvalog::THandle* sender);  // after every move of a drag
  void OnChange(korvalog::THandle* sender);  // when the drag ends

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool allowHorz_ = true;
  bool allowVert_ = true;
  int minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
  bool dragging_ = false;
  QPoint anchor_;  // pointer in screen coordinates at the last press or move
};

}  // namespace korvalog
