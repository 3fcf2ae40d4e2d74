#include "chart/level_segment.h"

namespace korvalog {
namespace {

// A horizontal line from x0 towards x1, x1 itself left out.
bool Horizontal(int x0, int x1, int y, PixelLine& out) {
  if (x1 == x0) return false;
  out = x1 > x0 ? PixelLine{x0, y, x1 - 1, y} : PixelLine{x1 + 1, y, x0, y};
  return true;
}

}  // namespace

int LevelSegmentLines(const LevelSegment& s, LevelLines lines, PixelLine (&out)[4]) {
  int n = 0;
  if (s.level != 0) {
    for (int dy = 2; dy >= 0; --dy) n += Horizontal(s.x0, s.x1, lines.highY + dy, out[n]) ? 1 : 0;
  } else {
    n += Horizontal(s.x0, s.x1, lines.lowY, out[n]) ? 1 : 0;
  }
  if (s.edge) out[n++] = PixelLine{s.x1, lines.highY, s.x1, lines.lowY};
  return n;
}

int StepSegmentLines(const StepSegment& s, PixelLine (&out)[2]) {
  int n = 0;
  n += Horizontal(s.x0, s.x1, s.y, out[n]) ? 1 : 0;
  n += Horizontal(s.x0, s.x1, s.y - 1, out[n]) ? 1 : 0;
  return n;
}

bool StepViolationLine(const StepSegment& s, LevelLines lines, PixelLine& out) {
  if (!s.violation) return false;
  out = PixelLine{s.x1, lines.highY, s.x1, lines.lowY};
  return true;
}

}  // namespace korvalog
