#include "chart/search_strip_plan.h"

#include "base/time_text.h"
#include "chart/strip_walk.h"
#include "chart/time_axis.h"
#include "core/capture_data.h"

namespace korvalog {
namespace {

uint16_t FromColumn(uint16_t lastX) { return lastX == kNoColumn ? uint16_t{0} : lastX; }

// The search trace: a segment at every change of the match state whose
// column differs from the previous one; statistics at every change.
struct SearchTraceBuilder {
  StripPlan& plan;
  ColumnCursor axis;
  const std::vector<GapSpan>& gaps;  // a match across a link gap is not counted
  uint16_t lastX = kNoColumn;
  bool started = false;  // a match start was seen inside the window
  double matchStart = 0.0;

  void operator()(const StripStep& step) {
    if (step.matchBefore == step.matchAfter) return;
    const double t = step.event.time;
    if (step.matchAfter) {
      started = true;
      matchStart = t;
    } else if (started && !OverlapsGap(gaps, matchStart, t)) {
      plan.stats.Add(t - matchStart);
    }
    const uint16_t x = axis.X(t);
    if (x != lastX) {
      plan.searchTrace.push_back(LevelSegment{FromColumn(lastX), x, step.matchBefore ? uint8_t{1} : uint8_t{0}, true});
      lastX = x;
    }
  }
};

// The staircase: a stair at every level change or violation.
struct StaircaseBuilder {
  StripPlan& plan;
  ColumnCursor axis;
  uint16_t lastX = kNoColumn;

  void Add(uint16_t x1, int level, bool violation) {
    StepSegment s;
    if (!MakeStepSegment(FromColumn(lastX), x1, level, plan.stepCount, violation, plan.lines, s)) return;
    // A burst of violations in one column marks it once.
    if (s.x0 == s.x1 && !plan.steps.empty()) {
      const StepSegment& prev = plan.steps.back();
      if (prev.violation && prev.x1 == s.x1) return;
    }
    plan.steps.push_back(s);
  }
  void operator()(const StripStep& step) {
    if (step.levelBefore == step.levelAfter && !step.violation) return;
    const uint16_t x = axis.X(step.event.time);
    Add(x, step.levelBefore, step.violation);
    lastX = x;
  }
};

}  // namespace

TimeSpanTexts MakeTimeSpanTexts(double start, double end) {
  return TimeSpanTexts{FormatTimeStamp(start), FormatTimeStamp(end), FormatDuration(end - start)};
}

bool MakeStepSegment(uint16_t x0, uint16_t x1, int level, int stepCount, bool violation, LevelLines lines,
                     StepSegment& out) {
  if (stepCount <= 0 || level < 0) return false;
  // A stair of no width shows only its violation mark.
  if (x0 == x1 && !violation) return false;
  const int y = lines.lowY - level * (lines.lowY - lines.highY) / stepCount;
  const int mid = lines.highY + (lines.lowY - lines.highY) / 2;
  out.x0 = x0;
  out.x1 = x1;
  out.level = static_cast<int8_t>(level);
  out.y = static_cast<int16_t>(y);
  out.violation = violation;
  out.digit = static_cast<int>(x1) - static_cast<int>(x0) >= 7;
  out.digitX = static_cast<int16_t>(y < mid ? x0 + 1 : x0 + 2);
  out.digitY = static_cast<int16_t>(y < mid ? y + 2 : y - 9);
  return true;
}

void RenderSearchStrip(const CaptureData& data, const CaptureView& view, const PositionSnapshot& zoomStart,
                       const PositionSnapshot& zoomEnd, uint8_t stripMode, uint16_t waveWidth,
                       const StripGeometry& geometry, StripPlan& plan, bool live) {
  plan.mode = stripMode == kStripSequence ? kStripSequence : kStripSearch;
  plan.zoomLabel = plan.mode == kStripSearch ? "Search\\nZoom" : "Seq.\\nZoom";
  plan.lines = StripLevelLines(geometry.height, geometry.rowHeight);
  plan.waveWidth = waveWidth;
  plan.stats = MatchStatistics{};
  plan.statsMarkup.clear();
  plan.searchTrace.clear();
  plan.steps.clear();
  plan.span = TimeSpanTexts{};
  plan.hasData = live || data.DataPresent.load(std::memory_order_acquire) != 0;
  plan.stepCount = 0;
  if (!plan.hasData) return;

  plan.stepCount = CountSequenceSteps(view.Sequence);
  plan.span = MakeTimeSpanTexts(zoomStart.time, zoomEnd.time);
  const TimeAxis axis(zoomStart, zoomEnd, waveWidth);
  if (plan.mode == kStripSearch) {
    plan.searchTrace.reserve(static_cast<size_t>(waveWidth) + 1);
    SearchTraceBuilder trace{plan, ColumnCursor(axis), data.Gaps.Spans()};
    const StripWalkEnd end = WalkStrip(data, view, zoomStart, zoomEnd, trace);
    plan.searchTrace.push_back(
        LevelSegment{FromColumn(trace.lastX), waveWidth, end.match ? uint8_t{1} : uint8_t{0}, false});
    plan.statsMarkup = MatchStatisticsMarkup(plan.stats);
  } else {
    // A stair and a violation mark per column at most, when times run forward.
    plan.steps.reserve(2 * static_cast<size_t>(waveWidth) + 2);
    StaircaseBuilder stairs{plan, ColumnCursor(axis)};
    const StripWalkEnd end = WalkStrip(data, view, zoomStart, zoomEnd, stairs);
    // The closing stair carries no mark: the last event's mark is drawn already.
    stairs.Add(waveWidth, end.level, false);
  }
}

}  // namespace korvalog
