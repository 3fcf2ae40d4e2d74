#include "ui/qt/text_drawing.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPolygon>

#include "ui/common_helpers.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

int TextWidth(const QPainter& painter, const QString& text) {
  return painter.fontMetrics().horizontalAdvance(text);
}

}  // namespace

void TextOutAt(QPainter& painter, int x, int y, std::string_view text) {
  painter.drawText(x, y + painter.fontMetrics().ascent(), KitText(text));
}

void TextOutRight(QPainter& painter, int x, int y, std::string_view text) {
  TextOutAt(painter, x - TextWidth(painter, KitText(text)), y, text);
}

void TextOutDelta(QPainter& painter, int x, int y, std::string_view text) {
  const int d = (2 * painter.fontMetrics().height()) / 3;
  TextOutAt(painter, x + (3 * d) / 2, y, text);
  const QPen entryPen = painter.pen();
  painter.setPen(QPen(SystemColourOf(SystemColour::WindowText, QGuiApplication::palette()), 1));
  const int top = y + d / 3;
  painter.drawPolyline(QPolygon({QPoint(x + d / 2, top), QPoint(x + d, top + d),
                                 QPoint(x, top + d), QPoint(x + d / 2, top)}));
  painter.setPen(entryPen);
}

void TextOutDeltaCentred(QPainter& painter, int x, int y, std::string_view text) {
  TextOutDelta(painter, x - TextWidth(painter, KitText(text)) / 2, y, text);
}

void TextOutVertical(QPainter& painter, int x, int y, std::string_view text) {
  const QString run = KitText(text);
  const QFontMetrics metrics = painter.fontMetrics();
  const int width = metrics.horizontalAdvance(run);
  const int height = metrics.height();
  if (run.isEmpty() || width <= 0 || height <= 0) return;

  QImage flat(width, height, QImage::Format_RGB32);
  QImage turned(height, width, QImage::Format_ARGB32);
  if (flat.isNull() || turned.isNull()) return;  // too long to turn in memory
  flat.fill(Qt::white);
  const QRgb background = flat.pixel(0, 0);
  {
    QPainter bitmap(&flat);
    bitmap.setFont(painter.font());
    bitmap.setPen(Qt::black);
    bitmap.drawText(0, metrics.ascent(), run);
  }
  // Pixel (j, i) of the flat text goes to (x + i, y - j): the turned image is
  // as wide as the text is high and its bottom row is the text's first column.
  turned.fill(Qt::transparent);
  const QRgb ink = painter.pen().color().rgb();
  for (int i = 0; i < height; ++i) {
    for (int j = 0; j < width; ++j) {
      if (flat.pixel(j, i) != background) turned.setPixel(i, width - 1 - j, ink);
    }
  }
  painter.drawImage(x, y - width + 1, turned);
}

void DrawTimeSpan(QPainter& painter, int xLeft, int xRight, int y, double start, double end) {
  TextOutAt(painter, xLeft, y, FormatTimeStamp(start));
  TextOutRight(painter, xRight, y, FormatTimeStamp(end));
  TextOutDeltaCentred(painter, (xLeft + xRight) / 2, y, FormatDuration(end - start));
}

}  // namespace korvalog
