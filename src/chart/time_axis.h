#pragma once
// Mappings between times and pixel columns of the chart: the waveform
// column and the strip share one scale per window.
#include <cstdint>

#include "core/records.h"

namespace korvalog {

// Column "none": no column drawn yet; a segment starting there starts at 0.
constexpr uint16_t kNoColumn = 65535;

// Maps times of the window [from, to] to the columns 0 .. width - 1 by
// truncation of (t - from) / (to - from) * (width - 1), so the window's end
// lands exactly on the last column.
// A window of zero (or negative, or unreadable) length maps every time to
// column 0; times outside the window are held to its first or last column.
class TimeAxis {
 public:
  TimeAxis(double from, double to, uint16_t width);
  TimeAxis(const PositionSnapshot& from, const PositionSnapshot& to, uint16_t width)
      : TimeAxis(from.time, to.time, width) {}

  uint16_t X(double t) const {
    // A multiply instead of the division; where the two could truncate
    // differently (a value within a hair of a whole column) it divides.
    const double v = (t - from_) * scale_;
    if (v > 0.0 && v < last_) {
      const double whole = static_cast<double>(static_cast<int>(v));
      if (v - whole > kHair && v - whole < 1.0 - kHair) return static_cast<uint16_t>(whole);
    }
    return Exact(t);
  }
  // A time in column x that is as late as can be cheaply found (at least t).
  double LateTimeIn(uint16_t x, double t) const;

  uint16_t Exact(double t) const {
    double v = (t - from_) / span_ * last_;
    if (!(v > 0.0)) return 0;  // also catches NaN
    if (v > last_) v = last_;
    return static_cast<uint16_t>(v);
  }

 private:
  double from_;
  static constexpr double kHair = 1e-6;  // far above the rounding of either form
  double span_ = 1.0;
  double last_ = 0.0;
  double scale_ = 0.0;
};

// A TimeAxis that remembers the time range of the column it last gave, so a
// walk over events in time order pays two comparisons per event and the
// mapping only when a column is left. Gives exactly what TimeAxis gives: the
// mapping never decreases with time, so every time between two times of one
// column lies in that column too.
class ColumnCursor {
 public:
  explicit ColumnCursor(const TimeAxis& axis) : axis_(axis) {}
  uint16_t X(double t) {
    if (t >= lo_ && t <= hi_) return x_;
    return Enter(t);
  }

 private:
  uint16_t Enter(double t);

  const TimeAxis& axis_;
  double lo_ = 1.0, hi_ = 0.0;  // empty until the first time
  uint16_t x_ = 0;
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
