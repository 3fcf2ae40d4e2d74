#pragma once
// The chart's off-screen images: one waveform image per channel and the
// strip's image, drawn from the model's plans. Images are kept at a whole
// number of device pixels per logical pixel, so lines stay sharp on a
// high-density screen; their widths are raised as needed, never lowered.
#include <QFont>
#include <QImage>
#include <array>
#include <cstdint>

#include "chart/level_segment.h"
#include "chart/search_strip_plan.h"
#include "chart/waveform_plan.h"
#include "core/records.h"

namespace korvalog {

// Device pixels per logical pixel for a screen's ratio: whole, at least 1.
int ImageScaleFor(double devicePixelRatio);

// Fills a line (both ends included, logical pixels) into an ARGB32
// premultiplied image at `scale` device pixels per logical pixel, clipped.
void FillPixelLine(QImage& image, const PixelLine& line, QRgb colour, int scale);

class WaveformImages {
 public:
  // Redraws every channel's image from the plan: background transparent,
  // the channel's colour for level lines and edges. Blank without data.
  void Render(const WaveformPlan& plan, int rowHeight, uint8_t colourMode, int scale);
  const QImage& Image(int channel) const { return images_[channel - 1]; }
  int Scale() const { return scale_; }

 private:
  std::array<QImage, kChannelCount> images_;
  int width_ = 0;  // logical width, only ever raised
  int scale_ = 1;
};

class StripImage {
 public:
  // Redraws the strip: the time span along its top, then the search trace
  // or the staircase with its red violation lines and position digits.
  void Render(const StripPlan& plan, int height, const QFont& font, int scale);
  const QImage& Image() const { return image_; }
  int Scale() const { return scale_; }

 private:
  QImage image_;
  int width_ = 0;
  int scale_ = 1;
};

}  // namespace korvalog
