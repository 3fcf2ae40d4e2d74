// Upright titles are the horizontal text turned a quarter, glyph shades and
// all, drawn at the device's resolution: crisp at twice the density too.
#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>

#include "kit_test_support.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/text_drawing.h"

namespace korvalog {
namespace {

// The text as TextOutAt draws it at (0, 0), `scale` device pixels a pixel.
QImage Flat(const QFont& font, const char* text, int scale) {
  const QFontMetrics m(font);
  QImage image(m.horizontalAdvance(QString::fromLatin1(text)) * scale, m.height() * scale, QImage::Format_RGB32);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setFont(font);
  p.setPen(Qt::black);
  TextOutAt(p, 0, 0, text);
  return image;
}

// The same text through TextOutVertical, reading upward from the bottom-left.
QImage Upright(const QFont& font, const char* text, int scale) {
  const QFontMetrics m(font);
  const int w = m.horizontalAdvance(QString::fromLatin1(text)), h = m.height();
  QImage image(h * scale, w * scale, QImage::Format_RGB32);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setFont(font);
  p.setPen(Qt::black);
  TextOutVertical(p, 0, w - 1, text);
  return image;
}

// Pixel (x, y) of the flat text belongs at (y, width - 1 - x) once turned.
QImage TurnedByHand(const QImage& flat) {
  QImage turned(flat.height(), flat.width(), QImage::Format_RGB32);
  for (int y = 0; y < flat.height(); ++y)
    for (int x = 0; x < flat.width(); ++x) turned.setPixel(y, flat.width() - 1 - x, flat.pixel(x, y));
  return turned;
}

int Shades(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const int g = qGray(image.pixel(x, y));
      n += g > 40 && g < 215;
    }
  return n;
}

// Share of ink (either image) where the two differ by more than a quarter
// of the range: 0 when the same glyphs stand in the same places. Turned
// glyphs may sit a device pixel off across the baseline (hinting applies
// along it only), so the best of those shifts counts.
double Mismatch(const QImage& a, const QImage& b) {
  double best = 1.0;
  for (int dx = -1; dx <= 1; ++dx) {
    int ink = 0, differ = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
      for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
        const int bx = x + dx;
        const int ga = qGray(a.pixel(x, y));
        const int gb = bx >= 0 && bx < b.width() ? qGray(b.pixel(bx, y)) : 255;
        if (ga > 250 && gb > 250) continue;
        ++ink;
        differ += std::abs(ga - gb) > 64;
      }
    if (ink > 0) best = std::min(best, static_cast<double>(differ) / ink);
  }
  return best;
}

// Blocks of 2 x 2 device pixels that are not one colour: none when a text
// drawn at one pixel per pixel was enlarged.
int MixedBlocks(const QImage& image) {
  int n = 0;
  for (int y = 0; y + 1 < image.height(); y += 2)
    for (int x = 0; x + 1 < image.width(); x += 2) {
      const QRgb c = image.pixel(x, y);
      n += image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c || image.pixel(x + 1, y + 1) != c;
    }
  return n;
}

TEST(VerticalText, TheHorizontalTextTurnedWithItsShadesAtEveryScale) {
  QFont bold = KitFont();
  bold.setBold(true);
  for (const char* title : {"Min Time", "Max Time", "Search", "Chan"}) {
    for (int scale : {1, 2}) {
      const QImage flat = Flat(bold, title, scale);
      const QImage upright = Upright(bold, title, scale);
      ASSERT_EQ(upright.size(), QSize(flat.height(), flat.width()));
      const std::string at = std::string(title) + " x" + std::to_string(scale);
      // Solid shades (the text turned as a bitmap) differ on 40 % or more.
      EXPECT_LT(Mismatch(upright, TurnedByHand(flat)), 0.25) << at;
      // Smoothing shades stay shades where the font has them.
      if (Shades(flat) > 0) {
        EXPECT_GT(Shades(upright), Shades(flat) / 3) << at;
      }
      if (scale == 2) {
        EXPECT_GT(MixedBlocks(upright), MixedBlocks(flat) / 3) << at;
      }
    }
  }
}

}  // namespace
}  // namespace korvalog
