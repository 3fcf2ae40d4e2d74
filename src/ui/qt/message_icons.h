#pragma once
// The message box's icons: 0 information, 1 warning, 2 question; any other
// kind draws nothing.
#include <QPainter>
#include <QSize>

namespace korvalog {

enum MessageKind : int { kMessageInfo = 0, kMessageWarning = 1, kMessageQuestion = 2 };

// Painted at the painter's origin in a box of the given size (53 x 53 in the
// message box).
void DrawMessageIcon(QPainter& painter, int kind, QSize size);

}  // namespace korvalog
