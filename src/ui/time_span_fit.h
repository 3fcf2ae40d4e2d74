#pragma once
// Which of a time span's three texts (start at the left, end at the right,
// the duration centred) fit a width without touching one another: the
// duration goes first, then the end; the start stays while it fits at all.
namespace korvalog {

struct TimeSpanFit {
  bool start = false;
  bool end = false;
  bool duration = false;
};

// Widths in pixels; the duration's extent runs from durationLeft to
// durationRight, measured from the span's left edge. `gap` is the least
// room kept between two texts.
TimeSpanFit FitTimeSpan(int width, int startWidth, int endWidth, int durationLeft, int durationRight, int gap);

}  // namespace korvalog
