#include "ui/qt/edit_up_down.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QWheelEvent>

#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

constexpr int kNotch = 120;  // wheel angle of one notch, in eighths of a degree

// One step up or down; at the ends of the 32-bit range it wraps (and is then
// clamped) rather than overflowing.
int32_t Stepped(int32_t value, int direction) {
  return static_cast<int32_t>(static_cast<uint32_t>(value) + static_cast<uint32_t>(direction));
}

}  // namespace

TEditUpDown::TEditUpDown(QWidget* parent) : TContainer(parent) {
  edit_ = new QLineEdit(this);
  arrows_ = new TUpDownArrows(this);
  edit_->installEventFilter(this);
  arrows_->installEventFilter(this);  // for the wheel over the arrows
  // Only the user's typing runs the typed-text rule: the text ShowValue
  // writes is not read back.
  connect(edit_, &QLineEdit::textEdited, this, &TEditUpDown::Typed);
  connect(arrows_, &TUpDownArrows::Step, this, &TEditUpDown::Step);
  setFocusProxy(edit_);
  resize(sizeHint());
  ShowValue();
}

QSize TEditUpDown::sizeHint() const {
  const int h = edit_->sizeHint().height();
  return {60, h};
}

void TEditUpDown::SetMin(int32_t min) { range_.min = min; ShowValue(); }
void TEditUpDown::SetMax(int32_t max) { range_.max = max; ShowValue(); }
void TEditUpDown::SetScale(int32_t scale) { range_.scale = scale; ShowValue(); }
void TEditUpDown::SetValue(int32_t value) { value_ = value; ShowValue(); }
void TEditUpDown::SetHex(bool hex) { range_.hex = hex; ShowValue(); }

void TEditUpDown::SetOnCalculate(TCalculateFn onCalculate) {
  onCalculate_ = std::move(onCalculate);
  ShowValue();
}

void TEditUpDown::ShowValue() {
  value_ = ClampSpinValue(value_, range_);
  const QString text = KitText(SpinText(value_, range_, onCalculate_));
  if (edit_->text() != text) edit_->setText(text);
  typed_ = false;
}

void TEditUpDown::ChangeValue() {
  ShowValue();
  RaiseChange();
}

void TEditUpDown::RaiseChange() {
  if (onChange_) onChange_(*this);
}

void TEditUpDown::Typed(const QString& text) {
  value_ = TypedSpinValue(KitBytes(text), range_, static_cast<bool>(onCalculate_), value_);
  typed_ = true;
  RaiseChange();
}

void TEditUpDown::Step(int direction) {
  value_ = Stepped(value_, direction);
  ChangeValue();
  edit_->setFocus();
}

void TEditUpDown::resizeEvent(QResizeEvent*) {
  const int W = width();
  const int H = height();
  const int e = edit_->sizeHint().height();
  edit_->setGeometry(0, (H - e) / 2, W - TUpDownArrows::kWidth - 1, e);
  arrows_->setGeometry(W - TUpDownArrows::kWidth, 0, TUpDownArrows::kWidth, H);
}

bool TEditUpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == arrows_ && event->type() == QEvent::Wheel) return Wheel(static_cast<QWheelEvent*>(event));
  if (watched != edit_) return TContainer::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key != Qt::Key_Up && key != Qt::Key_Down) return false;
      value_ = Stepped(value_, key == Qt::Key_Up ? 1 : -1);
      ChangeValue();
      return true;
    }
    case QEvent::FocusOut:
      if (typed_) ChangeValue();
      typed_ = false;
      return false;
    case QEvent::Wheel: return Wheel(static_cast<QWheelEvent*>(event));
    default: return false;
  }
}

void TEditUpDown::wheelEvent(QWheelEvent* event) {
  if (Wheel(event)) {
    event->accept();
  } else {
    event->ignore();  // for a scrolling parent
  }
}

bool TEditUpDown::Wheel(QWheelEvent* event) {
  if (!edit_->hasFocus()) return false;
  wheelAngle_ += event->angleDelta().y();
  while (wheelAngle_ >= kNotch) {
    SetValue(Stepped(value_, 1));
    wheelAngle_ -= kNotch;
  }
  while (wheelAngle_ <= -kNotch) {
    SetValue(Stepped(value_, -1));
    wheelAngle_ += kNotch;
  }
  return true;
}

}  // namespace korvalog
