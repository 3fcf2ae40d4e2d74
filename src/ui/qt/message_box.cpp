#include "ui/qt/message_box.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/message_buttons.h"
#include "ui/qt/box.h"
#include "ui/qt/btn_transparent.h"
#include "ui/qt/button_glyphs.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/markup_text.h"
#include "ui/qt/window_helpers.h"

namespace korvalog {
namespace {

// Client size before the text is laid out, and where the icon sits.
constexpr int kStartWidth = 116;
constexpr int kStartHeight = 103;
constexpr QRect kIconRect(4, 4, 53, 53);
// The message's frame starts at (60, 8); the text 4 pixels inside it.
constexpr int kTextLeft = 60;
constexpr int kTextTop = 8;
constexpr int kTextMargin = 4;
constexpr int kStripHeight = 32;

}  // namespace

TMessageBoxForm::TMessageBoxForm(int kind, std::string_view text, std::string_view buttons,
                                 const MarkupStyle& style, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      kind_(kind),
      text_(text),
      style_(style) {
  setWindowTitle(QStringLiteral("Message"));
  setFont(KitFont());
  setFocusPolicy(Qt::StrongFocus);
  client_ = new QWidget(this);
  client_->setFocusPolicy(Qt::NoFocus);
  client_->setGeometry(kFrame, kFrame, kStartWidth, kStartHeight);
  client_->installEventFilter(this);
  box_ = new TBox(client_);
  box_->SetLineBottom(false);
  box_->SetLineLeft(false);
  box_->SetLineRight(false);

  const QSize text_extent = LayoutMessageText(nullptr);
  const int stripTop = text_extent.height() + 8;
  int clientWidth = text_extent.width() + 8;
  const int clientHeight = stripTop + kStripHeight;

  int x = kButtonSpacing;
  int index = 0;
  for (const std::string& caption : SplitButtonList(buttons)) {
    auto* button = new TBtnTransparent(client_);
    button->setGeometry(x, stripTop + 4, kButtonWidth, kButtonHeight);
    button->SetCaption(KitText(caption));
    button->SetGlyph(ButtonGlyphImage(GlyphForCaption(caption)));
    connect(button, &TBtnTransparent::Clicked, this, [this, index] { Finish(index); });
    buttons_.push_back(button);
    ++index;
    x += kButtonWidth + kButtonSpacing;
  }
  clientWidth = std::max(clientWidth, x);
  client_->resize(clientWidth, clientHeight);
  box_->setGeometry(0, stripTop, clientWidth, kStripHeight);
  setFixedSize(clientWidth + 2 * kFrame, clientHeight + 2 * kFrame);
}

QSize TMessageBoxForm::ClientSize() const { return client_->size(); }

int TMessageBoxForm::StripTop() const { return box_->y(); }

QSize TMessageBoxForm::LayoutMessageText(QPainter* painter) const {
  const MarkupExtent extent =
      painter ? DrawMarkupText(*painter, kTextLeft, kTextTop, kTextMargin, text_, style_)
              : MeasureMarkupText(font(), client_, kTextLeft, kTextTop, kTextMargin, text_, style_);
  const int h = std::max(extent.bottom, kIconRect.bottom() + 1);
  const int w = std::max(extent.right, client_->width() - 6);
  if (painter) DrawBevelFrame(*painter, kTextLeft, kTextTop, bLowered, h - 1, w - 1, palette());
  return {w, h};
}

void TMessageBoxForm::PaintClient() {
  QPainter painter(client_);
  const QColor face = SystemColourOf(SystemColour::ButtonFace, palette());
  painter.fillRect(client_->rect(), face);
  painter.setBrush(face);
  painter.setFont(font());
  painter.setPen(SystemColourOf(SystemColour::WindowText, palette()));
  LayoutMessageText(&painter);
  GradientFill(painter, box_->geometry(), face, SystemColourOf(SystemColour::ScrollBar, palette()));
  painter.translate(kIconRect.topLeft());
  DrawMessageIcon(painter, kind_, kIconRect.size());
}

void TMessageBoxForm::paintEvent(QPaintEvent*) {
  // A thin raised frame stands in for the dialog frame of a window system.
  QPainter painter(this);
  painter.fillRect(rect(), SystemColourOf(SystemColour::ButtonFace, palette()));
  DrawButtonBevel(painter, rect(), kFrame, false, palette());
}

void TMessageBoxForm::showEvent(QShowEvent* event) {
  result_ = -1;
  PlaceAtCursor(*this);
  activateWindow();
  setFocus();
  QDialog::showEvent(event);
}

void TMessageBoxForm::keyPressEvent(QKeyEvent* event) {
  event->accept();
  const int key = event->key();
  const QString text = event->text();
  const bool answers = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape ||
                       key == Qt::Key_Space || !text.isEmpty();
  // Shift, arrows and the like type nothing and are not answers at all.
  if (!answers) return;
  result_ = -2;
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
    Finish(0);
  } else if (key == Qt::Key_Escape) {
    Finish(-1);
  } else if (text.size() == 1 && text[0] >= QLatin1Char('1') && text[0] <= QLatin1Char('9')) {
    Finish(text[0].unicode() - '1');
  } else {
    QApplication::beep();
  }
}

void TMessageBoxForm::Finish(int result) {
  result_ = result;
  done(QDialog::Accepted);
}

bool TMessageBoxForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched != client_) return QDialog::eventFilter(watched, event);
  if (event->type() == QEvent::Paint) {
    PaintClient();
    return true;
  }
  return DragEvent(event) || QDialog::eventFilter(watched, event);
}

bool TMessageBoxForm::DragEvent(QEvent* event) {
  // The message area and the icon drag the window; the strip does not.
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton || mouse->position().y() >= StripTop()) return false;
      dragging_ = true;
      dragOffset_ = mouse->globalPosition().toPoint() - pos();
      return true;
    }
    case QEvent::MouseMove:
      if (!dragging_) return false;
      move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - dragOffset_);
      return true;
    case QEvent::MouseButtonRelease:
      if (!dragging_) return false;
      dragging_ = false;
      KeepOnScreen(*this);
      return true;
    default: return false;
  }
}

int MessageBoxShow(int kind, std::string_view text, std::string_view buttons,
                   const MarkupStyle& style) {
  TMessageBoxForm form(kind, text, buttons, style);
  form.exec();
  return form.Result();
}

void MessageInfo(std::string_view text, const MarkupStyle& style) {
  MessageBoxShow(kMessageInfo, text, "OK", style);
}

void MessageWarning(std::string_view text, const MarkupStyle& style) {
  MessageBoxShow(kMessageWarning, text, "OK", style);
}

bool MessageQuestion(std::string_view text, const MarkupStyle& style) {
  return MessageBoxShow(kMessageQuestion, text, "Yes,No", style) == 0;
}

}  // namespace korvalog
