#pragma once
// A small pair of arrows, one above the other. It holds no position: each
// click (and each repeat while held) only reports its direction.
#include <QTimer>
#include <QWidget>

namespace korvalog {

class TUpDownArrows : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 16;

  explicit TUpDownArrows(QWidget* parent = nullptr);
  QSize sizeHint() const override { return {kWidth, 22}; }

 signals:
  // +1 for the upper arrow, -1 for the lower one.
  void Step(int direction);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Repeat();

  int held_ = 0;  // direction of the arrow held down, 0 for none
  QTimer repeat_;
};

}  // namespace korvalog
