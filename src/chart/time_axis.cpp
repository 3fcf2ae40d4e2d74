#include "chart/time_axis.h"

#include <cmath>

namespace korvalog {

TimeAxis::TimeAxis(double from, double to, uint16_t width) : from_(from) {
  const double span = to - from;
  if (width > 1 && std::isfinite(span) && span > 0.0) {
    span_ = span;
    last_ = width - 1;
  }
}

uint16_t TimeToX(double t, const PositionSnapshot& from, const PositionSnapshot& to, uint16_t width) {
  return TimeAxis(from, to, width).X(t);
}

double StripXToTime(int x, int stripLeft, int stripWidth, const PositionSnapshot& zoomStart,
                    const PositionSnapshot& zoomEnd) {
  if (stripWidth <= 0) return zoomStart.time;
  return zoomStart.time + (zoomEnd.time - zoomStart.time) * (x - stripLeft) / stripWidth;
}

double CursorTime(int cursorX, int cellLeft, uint16_t waveWidth, const PositionSnapshot& selectionStart,
                  const PositionSnapshot& selectionEnd) {
  if (waveWidth == 0) return selectionStart.time;
  return selectionStart.time +
         static_cast<double>(cursorX - cellLeft) / waveWidth * (selectionEnd.time - selectionStart.time);
}

}  // namespace korvalog
