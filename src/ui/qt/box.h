#pragma once
// A frame of etched lines on any of its four sides; the rest shows the parent.
#include <QWidget>

namespace korvalog {

class TBox : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool LineTop READ LineTop WRITE SetLineTop)
  Q_PROPERTY(bool LineBottom READ LineBottom WRITE SetLineBottom)
  Q_PROPERTY(bool LineLeft READ LineLeft WRITE SetLineLeft)
  Q_PROPERTY(bool LineRight READ LineRight WRITE SetLineRight)

 public:
  explicit TBox(QWidget* parent = nullptr);

  bool LineTop() const { return top_; }
  void SetLineTop(bool on);
  bool LineBottom() const { return bottom_; }
  void SetLineBottom(bool on);
  bool LineLeft() const { return left_; }
  void SetLineLeft(bool on);
  bool LineRight() const { return right_; }
  void SetLineRight(bool on);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool top_ = true;
  bool bottom_ = true;
  bool left_ = true;
  bool right_ = true;
};

}  // namespace korvalog
