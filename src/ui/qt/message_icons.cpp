#include "ui/qt/message_icons.h"

#include <QFontMetrics>
#include <QPolygon>

#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

// Text with the top-left of its cell at (x, y).
void Letter(QPainter& painter, const QFont& font, QColor colour, int x, int y, const char* text) {
  painter.setFont(font);
  painter.setPen(colour);
  painter.drawText(x, y + QFontMetrics(font).ascent(), QString::fromLatin1(text));
}

}  // namespace

void DrawMessageIcon(QPainter& painter, int kind, QSize size) {
  const int W = size.width();
  const int H = size.height();
  painter.save();
  painter.setBackgroundMode(Qt::TransparentMode);
  switch (kind) {
    case kMessageInfo:
      painter.setPen(QPen(Qt::white, 2));
      painter.setBrush(QColor(0, 0, 255));
      painter.drawRect(QRect(QPoint(1, 1), QPoint((2 * W) / 3, H - 1)));
      Letter(painter, KitFont(kKitSerifFamily, 53, true, true), Qt::white, 10, -5, "i");
      break;
    case kMessageWarning:
      painter.setPen(QPen(Qt::white, 2));
      painter.setBrush(QColor(255, 0, 0));
      painter.drawPolygon(QPolygon({QPoint(22, 1), QPoint(43, 43), QPoint(1, 43)}));
      Letter(painter, KitFont(kKitSerifFamily, 41, true), Qt::white, 16, 2, "!");
      break;
    case kMessageQuestion:
      painter.setPen(QPen(Qt::black, 2));
      painter.setBrush(QColor(255, 255, 0));
      painter.drawPolygon(QPolygon({QPoint(22, 1), QPoint(29, 1), QPoint(50, 22), QPoint(50, 29),
                                    QPoint(29, 50), QPoint(22, 50), QPoint(1, 29), QPoint(1, 22)}));
      Letter(painter, KitFont(kKitSansFamily, 45, true), QColor(255, 0, 0), 13, 1, "?");
      break;
    default: break;
  }
  painter.restore();
}

}  // namespace korvalog
