#pragma once
// Helpers for windows: the program's version, the vertical gradient of the
// message box's button strip, placing a window at the mouse cursor, and
// fitting a window wholly on the main window's screen.
#include <QColor>
#include <QMargins>
#include <QPainter>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <string>
#include <string_view>

namespace korvalog {

// The program's version as four numbers, "1.8.0.0", from the build.
std::string FileVersionText();
// Up to four dot-separated numbers of 0-65535, missing ones 0; empty when the
// text is not such a version.
std::string VersionTextOf(std::string_view version);

// Vertical gradient over rows top to top + height - 1, filled in bands of one
// colour; each band takes the colour of the row that ends it.
void GradientFill(QPainter& painter, const QRect& rect, QColor top, QColor bottom);

// The top-left corner that puts a window of the given size at the cursor,
// pulled back so its right edge stays on the screen and its bottom stays 32
// pixels above the screen's bottom (where task bars sit).
QPoint PlacementAtCursor(QPoint cursor, QSize size, const QRect& screen);

// Moves a window's top-left corner to the mouse cursor, on the screen that
// holds the cursor.
void PlaceAtCursor(QWidget& form);

// Pulls a window back so it lies inside the screen that holds most of it.
void KeepOnScreen(QWidget& form);

// The client rectangle that puts a window wholly inside `area` with its
// frame (`frame`: the title bar and borders around the client): shrunk to
// fit first, then moved in, its corner kept where it fits already.
QRect FitClientInto(QRect client, const QMargins& frame, const QRect& area);

// The frame (title bar and borders) the window manager gave this window when
// it was last seen, kept with its place: taken, until the window is framed
// anew, instead of a guess that would pull a window as tall as the screen
// allows up or down at every start.
void SetLastFrame(QWidget& window, const QMargins& frame);
// The window's frame now, or {} while the window manager has not framed it.
QMargins KnownFrame(const QWidget& window);

// Fits a window wholly into the free area (without task bars) of the screen
// that holds `anchor` (the main window), or of the screen its own centre is
// on: the first time it shows, centred over the anchor; later, where the
// user left it, pulled in. Every window calls it before it shows.
void FitOnScreen(QWidget& window, const QWidget* anchor = nullptr);

// Held while a dialog runs: the keys go back to the widget that had them
// (the chart, as a rule) when it closes, whatever the dialog did.
class FocusBack {
 public:
  FocusBack();
  ~FocusBack();
  FocusBack(const FocusBack&) = delete;
  FocusBack& operator=(const FocusBack&) = delete;

 private:
  QPointer<QWidget> widget_;
};

}  // namespace korvalog
