#include "chart/qt/chart_images.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "chart/qt/chart_pictures.h"
#include "core/channel_colours.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/text_drawing.h"
#include "ui/time_span_fit.h"

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

namespace {

// One waveform image is made of three kinds of row: the edge columns (every
// row from HighY to LowY), the HIGH runs (three rows from HighY) and the LOW
// runs (row LowY). Each kind is built once per channel as a device-pixel row
// and copied into the rows it covers; all ink is one colour, so rows of
// several kinds are the kinds or-ed together.
class WaveRows {
 public:
  void Reset(int deviceWidth) {
    for (std::vector<QRgb>& row : kinds_) row.assign(static_cast<size_t>(deviceWidth), 0);
  }
  void Draw(const std::vector<LevelSegment>& segments, int width, int scale, QRgb ink) {
    for (const LevelSegment& s : segments) {
      // The level from x0 up to x1, x1 itself left out (either direction).
      if (s.x1 != s.x0) {
        const int a = s.x1 > s.x0 ? s.x0 : s.x1 + 1;
        const int b = s.x1 > s.x0 ? s.x1 - 1 : s.x0;
        Fill(kinds_[s.level != 0 ? kHigh : kLow], a, b, width, scale, ink);
      }
      if (s.edge) Fill(kinds_[kEdge], s.x1, s.x1, width, scale, ink);
    }
  }
  // Writes every row of the image.
  void Copy(QImage& image, LevelLines lines, int rowHeight, int scale) {
    const size_t bytes = kinds_[0].size() * sizeof(QRgb);
    int builtMask = -1;
    for (int y = 0; y < rowHeight; ++y) {
      const int mask = (y >= lines.highY && y <= lines.lowY ? 1 << kEdge : 0) |
                       (y >= lines.highY && y <= lines.highY + 2 ? 1 << kHigh : 0) |
                       (y == lines.lowY ? 1 << kLow : 0);
      const QRgb* row = Row(mask, builtMask);
      for (int d = 0; d < scale; ++d) {
        uchar* target = image.scanLine(y * scale + d);
        if (row) std::memcpy(target, row, bytes);
        else std::memset(target, 0, bytes);
      }
    }
  }

 private:
  enum { kEdge, kHigh, kLow };

  static void Fill(std::vector<QRgb>& row, int a, int b, int width, int scale, QRgb ink) {
    a = std::max(a, 0);
    b = std::min(b, width - 1);
    if (a > b) return;
    std::fill(row.begin() + a * scale, row.begin() + (b + 1) * scale, ink);
  }
  // The row of a set of kinds; null for none.
  const QRgb* Row(int mask, int& builtMask) {
    if (mask == 0) return nullptr;
    if (mask == (1 << kEdge) || mask == (1 << kHigh) || mask == (1 << kLow))
      return kinds_[mask == 1 ? 0 : mask == 2 ? 1 : 2].data();
    if (mask != builtMask) {
      mixed_.assign(kinds_[0].size(), 0);
      for (int k = 0; k < 3; ++k) {
        if (!(mask & (1 << k))) continue;
        for (size_t i = 0; i < mixed_.size(); ++i) mixed_[i] |= kinds_[k][i];
      }
      builtMask = mask;
    }
    return mixed_.data();
  }

  std::vector<QRgb> kinds_[3];
  std::vector<QRgb> mixed_;
};

}  // namespace

void WaveformImages::Render(const WaveformPlan& plan, int rowHeight, uint8_t colourMode, int scale) {
  plan_ = &plan;
  rowHeight_ = rowHeight;
  colourMode_ = colourMode;
  width_ = std::max(width_, static_cast<int>(plan.waveWidth));
  scale_ = scale;
  drawn_.reset();
}

const QImage& WaveformImages::Image(int channel) const {
  const int index = channel - 1;
  if (plan_ != nullptr && !drawn_.test(static_cast<size_t>(index))) Draw(index);
  return images_[index];
}

void WaveformImages::Draw(int index) const {
  drawn_.set(static_cast<size_t>(index));
  const int deviceWidth = std::max(width_, 1) * scale_;
  const int deviceHeight = std::max(rowHeight_, 1) * scale_;
  QImage& image = images_[index];
  if (image.width() != deviceWidth || image.height() != deviceHeight) {
    image = QImage(deviceWidth, deviceHeight, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale_);
  }
  if (!plan_->hasData) {
    image.fill(Qt::transparent);
    return;
  }
  WaveRows rows;
  rows.Reset(deviceWidth);
  rows.Draw(plan_->channels[index], width_, scale_, ChannelInk(index + 1, colourMode_) | 0xFF000000u);
  rows.Copy(image, WaveLevelLines(rowHeight_), rowHeight_, scale_);
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
  // Texts that would run into one another at a narrow width are left out.
  const QFontMetrics metrics = p.fontMetrics();
  const int durationWidth = metrics.horizontalAdvance(KitText(span.duration));
  const int d = (2 * metrics.height()) / 3;
  const int durationLeft = plan.waveWidth / 2 - durationWidth / 2;
  const TimeSpanFit fit = FitTimeSpan(plan.waveWidth, metrics.horizontalAdvance(KitText(span.start)),
                                      metrics.horizontalAdvance(KitText(span.end)), durationLeft,
                                      durationLeft + (3 * d) / 2 + durationWidth, kTimeSpanGap);
  if (fit.start) TextOutAt(p, 0, 0, span.start);
  if (fit.end) TextOutRight(p, plan.waveWidth, 0, span.end);
  if (fit.duration) TextOutDeltaCentred(p, plan.waveWidth / 2, 0, span.duration);
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
