#pragma once
// A numeric entry field with a small up/down arrow pair. It keeps Value
// between Min and Max and shows Value x Scale, in decimal, in hexadecimal,
// or through a caller's conversion.
#include <QLineEdit>
#include <functional>

#include "ui/qt/container.h"
#include "ui/qt/up_down_arrows.h"
#include "ui/spin_value.h"

namespace korvalog {

class TEditUpDown : public TContainer {
  Q_OBJECT
  Q_PROPERTY(int Min READ Min WRITE SetMin)
  Q_PROPERTY(int Max READ Max WRITE SetMax)
  Q_PROPERTY(int Scale READ Scale WRITE SetScale)
  Q_PROPERTY(int Value READ Value WRITE SetValue)
  Q_PROPERTY(bool Hex READ Hex WRITE SetHex)

 public:
  using TNotifyFn = std::function<void(TEditUpDown& sender)>;

  explicit TEditUpDown(QWidget* parent = nullptr);

  // The setters store, clamp and show, and never raise OnChange.
  int32_t Min() const { return range_.min; }
  void SetMin(int32_t min);
  int32_t Max() const { return range_.max; }
  void SetMax(int32_t max);
  int32_t Scale() const { return range_.scale; }
  void SetScale(int32_t scale);
  // While the user types, the value follows the text unclamped; it is
  // clamped when the field is left or stepped.
  int32_t Value() const { return value_; }
  void SetValue(int32_t value);
  bool Hex() const { return range_.hex; }
  void SetHex(bool hex);

  // Raised when the value changes through typing, the arrows or the keys.
  void SetOnChange(TNotifyFn onChange) { onChange_ = std::move(onChange); }
  // Conversion of the shown number for display.
  void SetOnCalculate(TCalculateFn onCalculate);

  // Clamps the value and writes it into the field.
  void ShowValue();
  // ShowValue, then OnChange.
  void ChangeValue();

  QLineEdit* Edit() const { return edit_; }
  TUpDownArrows* Arrows() const { return arrows_; }
  QSize sizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // The wheel between the edit and the arrows (over either of them it is
  // taken by the event filter).
  void wheelEvent(QWheelEvent* event) override;

 private:
  void Typed(const QString& text);
  void Step(int direction);
  void RaiseChange();
  // Steps by whole notches while the edit has the focus; false otherwise.
  bool Wheel(QWheelEvent* event);

  SpinRange range_;
  int32_t value_ = 0;
  bool typed_ = false;
  int wheelAngle_ = 0;  // wheel turn not yet a whole notch
  TNotifyFn onChange_;
  TCalculateFn onCalculate_;
  QLineEdit* edit_;
  TUpDownArrows* arrows_;
};

}  // namespace korvalog
