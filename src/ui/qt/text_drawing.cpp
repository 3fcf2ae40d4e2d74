#include "ui/qt/text_drawing.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPolygon>
#include <algorithm>

#include "base/time_text.h"
#include "core/channel_colours.h"
#include "ui/name_ink.h"
#include "ui/qt/kit_look.h"
#include "ui/time_span_fit.h"

namespace korvalog {
namespace {

int TextWidth(const QPainter& painter, const QString& text) {
  return painter.fontMetrics().horizontalAdvance(text);
}

}  // namespace

void TextOutAt(QPainter& painter, int x, int y, std::string_view text) {
  painter.drawText(x, y + painter.fontMetrics().ascent(), KitText(text));
}

void TextOutShaded(QPainter& painter, int x, int y, std::string_view text, const QColor& shade) {
  const QString run = KitText(text);
  const QPointF base(x, y + painter.fontMetrics().ascent());
  // One device pixel, so the shade stays thin at any scale; below and to
  // the right only, so the letters' insides stay open.
  const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
  const qreal d = 1.0 / std::max<qreal>(1.0, dpr);
  const QPen fill = painter.pen();
  painter.setPen(shade);
  for (const QPointF offset : {QPointF(d, 0), QPointF(0, d), QPointF(d, d)}) painter.drawText(base + offset, run);
  painter.setPen(fill);
  painter.drawText(base, run);
}

void DrawChannelName(QPainter& painter, const QPalette& palette, Rgb colour, int x, int y, std::string_view text) {
  const QColor paper = SystemColourOf(SystemColour::Window, palette);
  const NameInk ink = NameInkOn(colour, Rgb{static_cast<uint8_t>(paper.red()), static_cast<uint8_t>(paper.green()),
                                            static_cast<uint8_t>(paper.blue())});
  painter.setPen(QColor(ink.fill.r, ink.fill.g, ink.fill.b));
  if (ink.shaded) {
    TextOutShaded(painter, x, y, text, QColor(ink.shade.r, ink.shade.g, ink.shade.b));
  } else {
    TextOutAt(painter, x, y, text);
  }
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
  if (run.isEmpty()) return;
  // Turned by the painter, so the glyphs are rasterised upright at the
  // device's own resolution and keep their smoothing.
  painter.save();
  painter.translate(x, y + 1);
  painter.rotate(-90.0);
  painter.drawText(0, painter.fontMetrics().ascent(), run);
  painter.restore();
}

void DrawTimeSpan(QPainter& painter, int xLeft, int xRight, int y, double start, double end) {
  const std::string startText = FormatTimeStamp(start), endText = FormatTimeStamp(end);
  const std::string duration = FormatDuration(end - start);
  const int width = xRight - xLeft;
  const int durationWidth = TextWidth(painter, KitText(duration));
  const int d = (2 * painter.fontMetrics().height()) / 3;
  const int durationLeft = width / 2 - durationWidth / 2;
  const TimeSpanFit fit =
      FitTimeSpan(width, TextWidth(painter, KitText(startText)), TextWidth(painter, KitText(endText)),
                  durationLeft, durationLeft + (3 * d) / 2 + durationWidth, kTimeSpanGap);
  if (fit.start) TextOutAt(painter, xLeft, y, startText);
  if (fit.end) TextOutRight(painter, xRight, y, endText);
  if (fit.duration) TextOutDeltaCentred(painter, (xLeft + xRight) / 2, y, duration);
}

}  // namespace korvalog
