#include "analysis/qt/event_pictures.h"

#include <QPainter>
#include <QPolygon>

namespace korvalog {

QImage EventPicture(int index) {
  if (index != 0 && index != 1) return {};
  const bool rising = index == 1;
  QImage image(kEventPictureSize, kEventPictureSize, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  // A level line, the edge in the middle, the other level line; an arrow
  // head on the edge says which way it goes.
  const int low = 13, high = 2, mid = 7;
  const int before = rising ? low : high, after = rising ? high : low;
  const QColor ink = rising ? QColor(0, 128, 0) : QColor(192, 0, 0);
  p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.drawPolyline(QPolygon({QPoint(1, before), QPoint(mid, before), QPoint(mid, after), QPoint(14, after)}));
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  const int tip = rising ? 5 : 10, base = rising ? 9 : 6;
  p.drawPolygon(QPolygon({QPoint(mid - 3, base), QPoint(mid + 4, base), QPoint(mid, tip)}));
  return image;
}

}  // namespace korvalog
