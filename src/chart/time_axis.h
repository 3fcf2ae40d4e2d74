#pragma once
// Mappings between times and pixel columns of the chart: the waveform
// column and the strip share one scale per window.
#include <cstdint>

#include "core/records.h"

namespace korvalog {

// Column "none": no column drawn yet; a segment starting there starts at 0.
constexpr uint16_t kNoColumn = 65535;

// Maps times of the window [from, to] to the columns 0 .. width - 1 by
// truncation. The fraction of the window is taken first, so the window's end
// lands exactly on the last column.
// A window of zero (or negative, or unreadable) length maps every time to
// column 0; times outside the window are held to its first or last column.
class TimeAxis {
 public:
  TimeAxis(double from, double to, uint16_t width);
  TimeAxis(const PositionSnapshot& from, const PositionSnapshot& to, uint16_t width)
      : TimeAxis(from.time, to.time, width) {}

  uint16_t X(double t) const {
    double v = (t - from_) / span_ * last_;
    if (!(v > 0.0)) return 0;  // also catches NaN
    if (v > last_) v = last_;
    return static_cast<uint16_t>(v);
  }

 private:
  double from_;
  double span_ = 1.0;
  double last_ = 0.0;
};

uint16_t TimeToX(double t, const PositionSnapshot& from, const PositionSnapshot& to, uint16_t width);

// Time under strip column x (x in the coordinates of the strip's parent).
// The divisor is the strip's full width; a zero width gives the zoom start.
double StripXToTime(int x, int stripLeft, int stripWidth, const PositionSnapshot& zoomStart,
                    const PositionSnapshot& zoomEnd);

// Time under a measuring cursor drawn in a waveform cell starting at
// cellLeft; a zero wave width gives the selection start.
double CursorTime(int cursorX, int cellLeft, uint16_t waveWidth, const PositionSnapshot& selectionStart,
                  const PositionSnapshot& selectionEnd);

}  // namespace korvalog
