#pragma once
// The pieces the chart draws, as plain data: level segments of waveforms and
// of the search trace, stairs of the Sequencer trace, and the pixel lines
// they turn into. Lines "from x0 to x1" include x0 and exclude x1.
#include <cstdint>

namespace korvalog {

// A level held from column x0 up to x1; with an edge, a vertical line in
// column x1 joins the two level lines.
struct LevelSegment {
  uint16_t x0;
  uint16_t x1;
  uint8_t level;  // 0 = LOW (thin line at LowY), 1 = HIGH (thick line at HighY)
  bool edge;
  bool operator==(const LevelSegment&) const = default;
};

// One stair of the Sequencer trace: two grey lines at y and y - 1 from x0 to
// x1, a red mark in column x1 on a violation, and the position's hex digit
// at (digitX, digitY) when the stair is wide enough for it.
struct StepSegment {
  uint16_t x0;
  uint16_t x1;
  int8_t level;  // 0..15, the Sequencer position held along the stair
  int16_t y;
  bool violation;
  bool digit;
  int16_t digitX;
  int16_t digitY;
};

// Level lines of a band: waveforms use HighY 2 and LowY row height - 3; the
// strip uses LowY height - 4 and HighY height - row height.
struct LevelLines {
  int highY;
  int lowY;
};
inline LevelLines WaveLevelLines(int rowHeight) { return {2, rowHeight - 3}; }
inline LevelLines StripLevelLines(int stripHeight, int rowHeight) {
  return {stripHeight - rowHeight, stripHeight - 4};
}

// A line with both end points included, for painters that draw them so.
struct PixelLine {
  int x0, y0, x1, y1;
};

// The lines of a level segment (a HIGH level is three pixels thick); returns
// how many were written (0..4).
int LevelSegmentLines(const LevelSegment& s, LevelLines lines, PixelLine (&out)[4]);
// The grey lines of a stair and, separately, its red violation mark.
int StepSegmentLines(const StepSegment& s, PixelLine (&out)[2]);
bool StepViolationLine(const StepSegment& s, LevelLines lines, PixelLine& out);

}  // namespace korvalog
