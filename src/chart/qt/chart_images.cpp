#include "chart/qt/chart_images.h"

#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "chart/qt/chart_pictures.h"
#include "ui/common_helpers.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/text_drawing.h"

namespace korvalog {
namespace {

QRgb Opaque(const QColor& c) { return c.rgb() | 0xFF000000u; }

QRgb ChannelInk(int channel, uint8_t colourMode) {
  const Rgb c = ChannelColour(channel, colourMode);
  return qRgb(c.r, c.g, c.b);
}

// Makes `image` `width` x `height` logical pixels at `scale`, transparent.
void Prepare(QImage& image, int width, int height, int scale) {
  const int dw = std::max(width, 1) * scale;
  const int dh = std::max(height, 1) * scale;
  if (image.width() != dw || image.height() != dh) {
    image = QImage(dw, dh, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
  }
  image.fill(Qt::transparent);
}

}  // namespace

int ImageScaleFor(double devicePixelRatio) {
  const int s = static_cast<int>(std::lround(devicePixelRatio));
  return std::clamp(s, 1, 8);
}

void FillPixelLine(QImage& image, const PixelLine& line, QRgb colour, int scale) {
  const int w = image.width(), h = image.height();
  int x0 = std::min(line.x0, line.x1) * scale, x1 = (std::max(line.x0, line.x1) + 1) * scale;
  int y0 = std::min(line.y0, line.y1) * scale, y1 = (std::max(line.y0, line.y1) + 1) * scale;
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, w);
  y1 = std::min(y1, h);
  if (x0 >= x1 || y0 >= y1) return;
  const qsizetype stride = image.bytesPerLine() / 4;
  QRgb* row = reinterpret_cast<QRgb*>(image.bits()) + y0 * stride;
  for (int y = y0; y < y1; ++y, row += stride) std::fill(row + x0, row + x1, colour);
}

void WaveformImages::Render(const WaveformPlan& plan, int rowHeight, uint8_t colourMode, int scale) {
  const LevelLines lines = WaveLevelLines(rowHeight);
  width_ = std::max(width_, static_cast<int>(plan.waveWidth));
  scale_ = scale;
  for (int c = 0; c < kChannelCount; ++c) {
    Prepare(images_[c], width_, rowHeight, scale);
    if (!plan.hasData) continue;
    QImage& image = images_[c];
    const QRgb ink = ChannelInk(c + 1, colourMode);
    PixelLine out[4];
    for (const LevelSegment& s : plan.channels[c]) {
      const int n = LevelSegmentLines(s, lines, out);
      for (int i = 0; i < n; ++i) FillPixelLine(image, out[i], ink, scale);
    }
  }
}

void StripImage::Render(const StripPlan& plan, int height, const QFont& font, int scale) {
  width_ = std::max(width_, static_cast<int>(plan.waveWidth));
  scale_ = scale;
  Prepare(image_, width_, height, scale);
  if (!plan.hasData) return;
  const QPalette palette = QGuiApplication::palette();
  const QRgb grey = Opaque(SystemColourOf(SystemColour::ButtonShadow, palette));
  const QRgb red = qRgb(255, 0, 0);
  PixelLine out[4];
  if (plan.mode == kStripSearch) {
    for (const LevelSegment& s : plan.searchTrace) {
      const int n = LevelSegmentLines(s, plan.lines, out);
      for (int i = 0; i < n; ++i) FillPixelLine(image_, out[i], grey, scale);
    }
  } else {
    PixelLine mark;
    for (const StepSegment& s : plan.steps) {
      PixelLine stair[2];
      const int n = StepSegmentLines(s, stair);
      for (int i = 0; i < n; ++i) FillPixelLine(image_, stair[i], grey, scale);
      if (StepViolationLine(s, plan.lines, mark)) FillPixelLine(image_, mark, red, scale);
    }
  }
  QPainter p(&image_);
  p.setFont(font);
  p.setPen(SystemColourOf(SystemColour::WindowText, palette));
  const TimeSpanTexts& span = plan.span;
  TextOutAt(p, 0, 0, span.start);
  TextOutRight(p, plan.waveWidth, 0, span.end);
  TextOutDeltaCentred(p, plan.waveWidth / 2, 0, span.duration);
  if (plan.mode == kStripSequence) {
    const QRgb ink = Opaque(SystemColourOf(SystemColour::WindowText, palette));
    QImage digits[16];
    for (int d = 0; d < 16; ++d) digits[d] = PositionDigitImage(d, ink, scale);
    for (const StepSegment& s : plan.steps) {
      if (!s.digit) continue;
      p.drawImage(QPoint(s.digitX, s.digitY), digits[s.level & 15]);
    }
  }
}

}  // namespace korvalog
