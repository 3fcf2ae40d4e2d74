#pragma once
// Helpers for windows: the program's version, the vertical gradient of the
// message box's button strip, and placing a window at the mouse cursor.
#include <QColor>
#include <QPainter>
#include <QPoint>
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

}  // namespace korvalog
