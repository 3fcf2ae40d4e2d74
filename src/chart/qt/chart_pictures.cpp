#include "chart/qt/chart_pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace korvalog {
namespace {

// Rows of each digit, top first; bit 3 is the leftmost column.
constexpr unsigned char kDigitRows[16][kDigitHeight] = {
    {0x6, 0x9, 0x9, 0x9, 0x9, 0x9, 0x6},  // 0
    {0x2, 0x6, 0x2, 0x2, 0x2, 0x2, 0x7},  // 1
    {0x6, 0x9, 0x1, 0x2, 0x4, 0x8, 0xF},  // 2
    {0xE, 0x1, 0x1, 0x6, 0x1, 0x1, 0xE},  // 3
    {0x2, 0x6, 0xA, 0xA, 0xF, 0x2, 0x2},  // 4
    {0xF, 0x8, 0xE, 0x1, 0x1, 0x9, 0x6},  // 5
    {0x6, 0x8, 0x8, 0xE, 0x9, 0x9, 0x6},  // 6
    {0xF, 0x1, 0x2, 0x2, 0x4, 0x4, 0x4},  // 7
    {0x6, 0x9, 0x9, 0x6, 0x9, 0x9, 0x6},  // 8
    {0x6, 0x9, 0x9, 0x7, 0x1, 0x1, 0x6},  // 9
    {0x6, 0x9, 0x9, 0xF, 0x9, 0x9, 0x9},  // A
    {0xE, 0x9, 0x9, 0xE, 0x9, 0x9, 0xE},  // B
    {0x6, 0x9, 0x8, 0x8, 0x8, 0x9, 0x6},  // C
    {0xE, 0x9, 0x9, 0x9, 0x9, 0x9, 0xE},  // D
    {0xF, 0x8, 0x8, 0xE, 0x8, 0x8, 0xF},  // E
    {0xF, 0x8, 0x8, 0xE, 0x8, 0x8, 0x8},  // F
};

QImage Transparent(int w, int h, int scale) {
  QImage image(w * scale, h * scale, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  image.setDevicePixelRatio(scale);
  return image;
}

void Lamp(QPainter& p, bool bright) {
  const QColor body = bright ? QColor(255, 0, 0) : QColor(128, 0, 0);
  const QColor rim = bright ? QColor(160, 0, 0) : QColor(64, 0, 0);
  p.setPen(QPen(rim, 1));
  p.setBrush(body);
  p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
  // A small glint, brighter on a lit lamp.
  p.setPen(Qt::NoPen);
  p.setBrush(bright ? QColor(255, 200, 200) : QColor(190, 90, 90));
  p.drawEllipse(QRectF(5.5, 5.5, 2.5, 2.5));
}

void WhiteBox(QPainter& p) {
  p.fillRect(QRect(1, 1, 14, 14), Qt::black);
  p.fillRect(QRect(2, 2, 12, 12), Qt::white);
}

}  // namespace

QImage StatePictureImage(int index, int scale) {
  if (index < 0 || index >= kStatePictureCount) return {};
  QImage image = Transparent(kStatePictureSize, kStatePictureSize, scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  switch (index) {
    case kLampLow: Lamp(p, false); break;
    case kLampHigh: Lamp(p, true); break;
    case kSearchLowBox:
      WhiteBox(p);
      Lamp(p, false);
      break;
    case kSearchHighBox:
      WhiteBox(p);
      Lamp(p, true);
      break;
    case kNotSearchedBox:
      WhiteBox(p);
      p.setRenderHint(QPainter::Antialiasing, false);
      p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap));
      p.drawLine(QPointF(4, 4), QPointF(12, 12));
      p.drawLine(QPointF(12, 4), QPointF(4, 12));
      break;
  }
  return image;
}

bool PositionDigitBit(int digit, int x, int y) {
  if (digit < 0 || digit > 15 || x < 0 || x >= kDigitWidth || y < 0 || y >= kDigitHeight) return false;
  return (kDigitRows[digit][y] >> (kDigitWidth - 1 - x)) & 1;
}

QImage PositionDigitImage(int digit, QRgb ink, int scale) {
  QImage image = Transparent(kDigitWidth, kDigitHeight, scale);
  for (int y = 0; y < kDigitHeight; ++y)
    for (int x = 0; x < kDigitWidth; ++x)
      if (PositionDigitBit(digit, x, y))
        for (int dy = 0; dy < scale; ++dy)
          for (int dx = 0; dx < scale; ++dx) image.setPixel(x * scale + dx, y * scale + dy, ink | 0xFF000000u);
  return image;
}

QImage ZoomGlyphImage(ZoomGlyph glyph) {
  QImage image = Transparent(16, 16, 1);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink(0, 0, 128);
  switch (glyph) {
    case ZoomGlyph::Win: {  // a magnifier with a plus
      p.setPen(QPen(ink, 1.5));
      p.setBrush(QColor(220, 235, 255));
      p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
      p.setPen(QPen(ink, 2.5, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
      p.setPen(QPen(ink, 1.2));
      p.drawLine(QPointF(4, 6), QPointF(8, 6));
      p.drawLine(QPointF(6, 4), QPointF(6, 8));
      break;
    }
    case ZoomGlyph::Prev: {  // an arrow back
      QPainterPath arrow;
      arrow.moveTo(1.5, 8);
      arrow.lineTo(7.5, 2.5);
      arrow.lineTo(7.5, 5.5);
      arrow.lineTo(14.5, 5.5);
      arrow.lineTo(14.5, 10.5);
      arrow.lineTo(7.5, 10.5);
      arrow.lineTo(7.5, 13.5);
      arrow.closeSubpath();
      p.setPen(QPen(ink, 1));
      p.setBrush(QColor(120, 170, 240));
      p.drawPath(arrow);
      break;
    }
    case ZoomGlyph::All: {  // two arrows apart between two bars
      p.setPen(QPen(ink, 1.5));
      p.drawLine(QPointF(1.5, 3), QPointF(1.5, 13));
      p.drawLine(QPointF(14.5, 3), QPointF(14.5, 13));
      p.drawLine(QPointF(3, 8), QPointF(13, 8));
      p.drawLine(QPointF(3, 8), QPointF(6, 5));
      p.drawLine(QPointF(3, 8), QPointF(6, 11));
      p.drawLine(QPointF(13, 8), QPointF(10, 5));
      p.drawLine(QPointF(13, 8), QPointF(10, 11));
      break;
    }
  }
  return image;
}

}  // namespace korvalog
