#pragma once
// Shared helpers of the kit's widget tests.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>

#include "ui/qt/kit_look.h"

namespace korvalog::test {

// The kit font without smoothing, so glyph pixels carry exactly the pen colour.
inline QFont SharpFont(int pixels = kKitFontPixels) {
  QFont font = KitFont(kKitSansFamily, pixels);
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

inline QImage Canvas(int w, int h, QColor paper = Qt::white) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(paper);
  return image;
}

// Pixels of the image with exactly this colour.
inline int CountColour(const QImage& image, QColor colour, QRect area = {}) {
  if (area.isNull()) area = image.rect();
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixelColor(x, y).rgb() == colour.rgb()) ++count;
  return count;
}

// The smallest rectangle holding every pixel that differs from the paper;
// null when nothing was drawn.
inline QRect InkBounds(const QImage& image, QColor paper = Qt::white) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y).rgb() != paper.rgb()) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

}  // namespace korvalog::test
