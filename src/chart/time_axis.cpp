#include "chart/time_axis.h"

#include <cmath>
#include <limits>

namespace korvalog {

TimeAxis::TimeAxis(double from, double to, uint16_t width) : from_(from) {
  const double span = to - from;
  if (width > 1 && std::isfinite(span) && span > 0.0) {
    span_ = span;
    last_ = width - 1;
    scale_ = last_ / span_;
  }
}

double TimeAxis::LateTimeIn(uint16_t x, double t) const {
  if (x >= last_) return std::numeric_limits<double>::infinity();  // the last column holds all later times
  if (!(scale_ > 0.0)) return t;
  // Just short of the next column's start; checked, as rounding may differ.
  const double guess = from_ + (x + 1 - 1e-4) / scale_;
  return guess > t && X(guess) == x ? guess : t;
}

uint16_t ColumnCursor::Enter(double t) {
  x_ = axis_.X(t);
  if (t != t) {  // an unreadable time caches nothing
    lo_ = 1.0;
    hi_ = 0.0;
    return x_;
  }
  lo_ = x_ == 0 ? -std::numeric_limits<double>::infinity() : t;
  hi_ = axis_.LateTimeIn(x_, t);
  return x_;
}

uint16_t TimeToX(double t, const PositionSnapshot& from, const PositionSnapshot& to, uint16_t width) {
  return TimeAxis(from, to, width).X(t);
}

double StripXToTime(int x, int stripLeft, int stripWidth, const PositionSnapshot& zoomStart,
                    const PositionSnapshot& zoomEnd) {
  if (stripWidth <= 0) return zoomStart.time;
  // The strip's right end is the zoom end itself, not a rounded product.
  if (x - stripLeft == stripWidth) return zoomEnd.time;
  return zoomStart.time + (zoomEnd.time - zoomStart.time) * (x - stripLeft) / stripWidth;
}

double CursorTime(int cursorX, int cellLeft, uint16_t waveWidth, const PositionSnapshot& selectionStart,
                  const PositionSnapshot& selectionEnd) {
  if (waveWidth == 0) return selectionStart.time;
  return selectionStart.time +
         static_cast<double>(cursorX - cellLeft) / waveWidth * (selectionEnd.time - selectionStart.time);
}

}  // namespace korvalog
