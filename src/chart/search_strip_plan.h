#pragma once
// What the strip above the chart shows for the zoom window: the search trace
// with the match statistics, or the Sequencer staircase with its violation
// marks and position digits, plus the time-span texts along its top.
#include <cstdint>
#include <string>
#include <vector>

#include "chart/level_segment.h"
#include "chart/match_statistics.h"
#include "core/capture_data.h"
#include "core/capture_view.h"

namespace korvalog {

constexpr uint8_t kStripSearch = 0;
constexpr uint8_t kStripSequence = 1;

struct StripGeometry {
  int height = 37;     // the strip's paint box
  int rowHeight = 20;  // the chart grid's row height
};

// The three texts of a time-span label: start at the left, end ending at
// the right, the delta-marked duration centred.
struct TimeSpanTexts {
  std::string start;
  std::string end;
  std::string duration;
};
TimeSpanTexts MakeTimeSpanTexts(double start, double end);

struct StripPlan {
  uint8_t mode = kStripSearch;
  std::string zoomLabel;  // mark-up caption of the label left of the strip
  bool hasData = false;   // without data the strip stays empty
  uint16_t waveWidth = 0;
  LevelLines lines{17, 33};
  int stepCount = 0;      // Sequencer rows in use
  TimeSpanTexts span;
  std::vector<LevelSegment> searchTrace;  // search mode
  std::vector<StepSegment> steps;         // sequence mode, in drawing order
  MatchStatistics stats;                  // search mode only
  std::string statsMarkup;                // the line above the strip; empty = draw nothing
};

// One pass over the zoom window computes trace and statistics together.
// Statistics count every change of the match state, also when its column
// was drawn already, and only matches that start and end inside the window
// and span no link gap.
// Reuses the plan's buffers.
void RenderSearchStrip(const CaptureData& data, const CaptureView& view, const PositionSnapshot& zoomStart,
                       const PositionSnapshot& zoomEnd, uint8_t stripMode, uint16_t waveWidth,
                       const StripGeometry& geometry, StripPlan& plan, bool live = false);

// The stair from x0 to x1 at a Sequencer level: nothing for level -1 or an
// empty table; its height, mark and digit place otherwise. False when
// nothing would be drawn.
bool MakeStepSegment(uint16_t x0, uint16_t x1, int level, int stepCount, bool violation, LevelLines lines,
                     StepSegment& out);

}  // namespace korvalog
