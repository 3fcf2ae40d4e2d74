#include "ui/qt/button_glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

void Tick(QPainter& p) {
  const QPolygonF stroke({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)});
  p.setPen(QPen(QColor(0, 90, 0), 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(stroke);
  p.setPen(QPen(QColor(40, 200, 40), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(stroke);
}

void Cross(QPainter& p) {
  for (const auto& [pen, width] : {std::pair{QColor(128, 0, 0), 4.2}, {QColor(235, 30, 30), 2.2}}) {
    p.setPen(QPen(pen, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 4), QPointF(12, 12));
    p.drawLine(QPointF(12, 4), QPointF(4, 12));
  }
}

void Disk(QPainter& p) {
  QPainterPath body;
  body.moveTo(1.5, 1.5);
  body.lineTo(12.5, 1.5);
  body.lineTo(14.5, 3.5);
  body.lineTo(14.5, 14.5);
  body.lineTo(1.5, 14.5);
  body.closeSubpath();
  p.setPen(QPen(QColor(0, 0, 60), 1));
  p.setBrush(QColor(30, 60, 170));
  p.drawPath(body);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4, 2, 8, 5));  // the label
  p.setBrush(QColor(190, 190, 200));
  p.drawRect(QRectF(4, 10, 8, 4.5));  // the shutter
  p.setBrush(QColor(30, 60, 170));
  p.drawRect(QRectF(5.5, 11, 2, 2.5));
}

void Question(QPainter& p) {
  p.setFont(KitFont(kKitSansFamily, 15, true));
  p.setPen(QColor(0, 0, 220));
  p.drawText(QRect(0, 0, kButtonGlyphSize, kButtonGlyphSize), Qt::AlignCenter, QStringLiteral("?"));
}

void Page(QPainter& p, QRectF r, QColor paper) {
  const qreal fold = 3.0;
  QPainterPath page;
  page.moveTo(r.left(), r.top());
  page.lineTo(r.right() - fold, r.top());
  page.lineTo(r.right(), r.top() + fold);
  page.lineTo(r.right(), r.bottom());
  page.lineTo(r.left(), r.bottom());
  page.closeSubpath();
  p.setPen(QPen(QColor(70, 70, 70), 1));
  p.setBrush(paper);
  p.drawPath(page);
  p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
  p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
  p.setPen(QPen(QColor(150, 150, 160), 1));
  for (qreal y = r.top() + 4; y < r.bottom() - 1; y += 2)
    p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

}  // namespace

QImage ButtonGlyphImage(ButtonGlyph glyph) {
  if (glyph == kGlyphNone) return {};
  QImage image(kButtonGlyphSize, kButtonGlyphSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  switch (glyph) {
    case kGlyphTick: Tick(p); break;
    case kGlyphCross: Cross(p); break;
    case kGlyphDisk: Disk(p); break;
    case kGlyphQuestion: Question(p); break;
    case kGlyphCopy:
      Page(p, QRectF(1.5, 1.5, 8, 10), Qt::white);
      Page(p, QRectF(5.5, 4.5, 8, 10), Qt::white);
      break;
    case kGlyphMove:
      Page(p, QRectF(1.5, 1.5, 8, 10), QColor(160, 160, 160));
      Page(p, QRectF(5.5, 4.5, 8, 10), Qt::white);
      break;
    case kGlyphNone: break;
  }
  return image;
}

}  // namespace korvalog
