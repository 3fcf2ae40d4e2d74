#pragma once
// The chart's off-screen images: one waveform image per channel and the
// strip's image, drawn from the model's plans. Images are kept at a whole
// number of device pixels per logical pixel, so lines stay sharp on a
// high-density screen; their widths are raised as needed, never lowered.
#include <QFont>
#include <QImage>
#include <array>
#include <bitset>
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
  // Takes a new plan: every channel's image is drawn from it (background
  // transparent, the channel's colour for level lines and edges; blank
  // without data) when it is first asked for, so a chart that shows a third
  // of its rows draws a third of the images. `plan` must outlive its use.
  void Render(const WaveformPlan& plan, int rowHeight, uint8_t colourMode, int scale);
  const QImage& Image(int channel) const;
  int Scale() const { return scale_; }

 private:
  void Draw(int index) const;

  mutable std::array<QImage, kChannelCount> images_;
  mutable std::bitset<kChannelCount> drawn_;
  const WaveformPlan* plan_ = nullptr;
  int rowHeight_ = 0;
  uint8_t colourMode_ = 0;
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
