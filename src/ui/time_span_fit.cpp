#include "ui/time_span_fit.h"

namespace korvalog {

TimeSpanFit FitTimeSpan(int width, int startWidth, int endWidth, int durationLeft, int durationRight, int gap) {
  TimeSpanFit fit;
  if (width <= 0) return fit;
  if (startWidth + gap <= durationLeft && durationRight + gap <= width - endWidth && durationLeft >= 0) {
    fit.start = fit.end = fit.duration = true;
  } else if (startWidth + gap + endWidth <= width) {
    fit.start = fit.end = true;
  } else {
    fit.start = startWidth <= width;
  }
  return fit;
}

}  // namespace korvalog
