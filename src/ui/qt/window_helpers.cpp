#include "ui/qt/window_helpers.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <algorithm>

#include "base/byte_text.h"

namespace korvalog {
namespace {

QRect ScreenGeometryAt(QPoint point) {
  QScreen* screen = QGuiApplication::screenAt(point);
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

int ColourStep(int c1, int c2, int row, int n) {
  if (n == 0) return c1;
  return c1 + ((c2 - c1) * row + n / 2) / n;
}

QColor GradientRow(const QColor& c1, const QColor& c2, int row, int n) {
  return QColor(ColourStep(c1.red(), c2.red(), row, n), ColourStep(c1.green(), c2.green(), row, n),
                ColourStep(c1.blue(), c2.blue(), row, n));
}

// Title bar and borders a window manager adds, taken before a window has
// ever shown (when its own are not known yet and no anchor shows).
constexpr QMargins kGuessedFrame{4, 30, 4, 4};
constexpr char kPlacedProperty[] = "korvalogPlaced";
constexpr char kLastFrameProperty[] = "korvalogLastFrame";
constexpr char kHiddenCornerProperty[] = "korvalogHiddenCorner";

// Keeps the corner of a window's frame as it was when the window hid: its
// position read later is where the window manager left the bare window on
// taking the frame away, a title bar lower, and showing it from there moved
// it down at every opening.
class HiddenCorner : public QObject {
 public:
  explicit HiddenCorner(QWidget* window) : QObject(window) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Hide && watched == parent()) {
      auto* w = static_cast<QWidget*>(watched);
      w->setProperty(kHiddenCornerProperty, w->frameGeometry().topLeft());
    }
    return false;
  }
};

QMargins FrameOf(const QWidget& w) {
  const QRect frame = w.frameGeometry(), client = w.geometry();
  return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
          frame.bottom() - client.bottom()};
}

bool FrameKnown(const QWidget& w) {
  return w.testAttribute(Qt::WA_WState_Created) && w.frameGeometry() != w.geometry();
}

// The frame to reckon with while the window's own is not known: the one it
// had last time, the anchor's, or a guess.
QMargins FrameToReckon(const QWidget& w, const QWidget* anchor) {
  if (FrameKnown(w)) return FrameOf(w);
  const QVariant last = w.property(kLastFrameProperty);
  if (last.canConvert<QMargins>()) return last.value<QMargins>();
  if (anchor && FrameKnown(*anchor)) return FrameOf(*anchor);
  return kGuessedFrame;
}

}  // namespace

void SetLastFrame(QWidget& window, const QMargins& frame) {
  window.setProperty(kLastFrameProperty, QVariant::fromValue(frame));
}

QMargins KnownFrame(const QWidget& window) { return FrameKnown(window) ? FrameOf(window) : QMargins(); }

std::string FileVersionText() {
#ifdef KORVALOG_VERSION_TEXT
  return VersionTextOf(KORVALOG_VERSION_TEXT);
#else
  return {};
#endif
}

std::string VersionTextOf(std::string_view version) {
  std::string parts[4] = {"0", "0", "0", "0"};
  int part = 0;
  std::string digits;
  for (size_t i = 0; i <= version.size(); ++i) {
    const bool end = i == version.size() || version[i] == '.';
    if (!end) {
      if (version[i] < '0' || version[i] > '9' || digits.size() >= 5) return {};
      digits += version[i];
      continue;
    }
    if (digits.empty() || part >= 4 || TextToInt(digits) > 65535) return {};
    parts[part++] = IntToText(TextToInt(digits));
    digits.clear();
  }
  return parts[0] + "." + parts[1] + "." + parts[2] + "." + parts[3];
}

void GradientFill(QPainter& painter, const QRect& rect, QColor top, QColor bottom) {
  const int first = rect.top();
  const int last = rect.top() + rect.height();  // exclusive, as the strip's edge
  const int n = last - first;
  if (n < 0) return;
  QColor previous = top;
  int bandStart = first;
  for (int y = first; y <= last; ++y) {
    const QColor colour = GradientRow(top, bottom, y - first, n);
    if (colour != previous || y == last) {
      painter.fillRect(QRect(rect.left(), bandStart, rect.width(), y - bandStart), colour);
      bandStart = y;
      previous = colour;
    }
  }
}

QPoint PlacementAtCursor(QPoint cursor, QSize size, const QRect& screen) {
  int left = cursor.x();
  int top = cursor.y();
  const int right = screen.x() + screen.width();
  const int bottom = screen.y() + screen.height() - 32;
  if (left + size.width() >= right) left = right - size.width();
  if (top + size.height() >= bottom) top = bottom - size.height();
  // A window larger than the screen keeps its top-left corner on it.
  return {std::max(left, screen.x()), std::max(top, screen.y())};
}

void PlaceAtCursor(QWidget& form) {
  const QPoint cursor = QCursor::pos();
  form.move(PlacementAtCursor(cursor, form.frameGeometry().size(), ScreenGeometryAt(cursor)));
}

void KeepOnScreen(QWidget& form) {
  const QRect frame = form.frameGeometry();
  const QRect screen = ScreenGeometryAt(frame.center());
  int left = frame.x();
  int top = frame.y();
  if (left + frame.width() > screen.x() + screen.width())
    left = screen.x() + screen.width() - frame.width() - 1;
  if (top + frame.height() > screen.y() + screen.height())
    top = screen.y() + screen.height() - frame.height() - 1;
  left = std::max(left, screen.x());
  top = std::max(top, screen.y());
  if (left != frame.x() || top != frame.y()) form.move(left, top);
}

QRect FitClientInto(QRect client, const QMargins& frame, const QRect& area) {
  const QRect room = area.marginsRemoved(frame);
  client.setWidth(std::max(1, std::min(client.width(), room.width())));
  client.setHeight(std::max(1, std::min(client.height(), room.height())));
  client.moveLeft(std::clamp(client.left(), room.left(), std::max(room.left(), room.right() + 1 - client.width())));
  client.moveTop(std::clamp(client.top(), room.top(), std::max(room.top(), room.bottom() + 1 - client.height())));
  return client;
}

void FitOnScreen(QWidget& window, const QWidget* anchor) {
  if (anchor == &window || (anchor && !anchor->isVisible())) anchor = nullptr;
  const bool placed = window.property(kPlacedProperty).toBool();
  QRect client = window.geometry();
  QScreen* screen = anchor ? anchor->screen() : QGuiApplication::screenAt(client.center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QMargins frame = FrameToReckon(window, anchor);
  // Moved before it was ever made: the corner given is the frame's.
  if (!window.testAttribute(Qt::WA_WState_Created) && window.testAttribute(Qt::WA_Moved)) {
    client.translate(frame.left(), frame.top());
  }
  // Shown again: where its frame was when it hid.
  const QVariant corner = window.property(kHiddenCornerProperty);
  if (placed && corner.isValid()) client.moveTopLeft(corner.toPoint() + QPoint(frame.left(), frame.top()));
  // Never shown yet: over the middle of the main window.
  if (anchor && !placed) client.moveCenter(anchor->geometry().center());
  // Elsewhere than the main window's screen (a screen since removed, or
  // the other one): pulled onto it.
  client = FitClientInto(client, frame, screen->availableGeometry());
  if (client.size() != window.size()) window.resize(client.size());
  // Left to the window manager's placing: a first window never moved.
  if (!anchor && !window.testAttribute(Qt::WA_Moved)) return;
  if (!placed) window.installEventFilter(new HiddenCorner(&window));
  window.setProperty(kPlacedProperty, true);
  // The client's own place, the frame around it: a frame's corner given
  // to move() was taken for the client's by some window managers once the
  // window had been resized, a title bar above the screen.
  window.setGeometry(client);
}

FocusBack::FocusBack() : widget_(QApplication::focusWidget()) {}

FocusBack::~FocusBack() {
  // A cell's editor the dialog closed gives the keys to what holds it.
  QWidget* widget = widget_;
  while (widget && !(widget->isVisible() && widget->focusPolicy() != Qt::NoFocus)) {
    widget = widget->isWindow() ? nullptr : widget->parentWidget();
  }
  if (!widget) return;
  // What the dialog's answer changed is painted first: asking the window
  // system for the keys waits for its reply, and the user is waiting for
  // the chart, not for the keys.
  QCoreApplication::sendPostedEvents(widget->window(), QEvent::UpdateRequest);
  // Its window is asked to be the active one again: not every window
  // manager hands the keys back to the window a dialog came from.
  if (!widget->isActiveWindow()) widget->activateWindow();
  widget->setFocus(Qt::ActiveWindowFocusReason);
}

}  // namespace korvalog
