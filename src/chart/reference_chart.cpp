#include "chart/reference_chart.h"

#include <algorithm>
#include <cmath>

#include "base/time_text.h"

namespace korvalog {

ReferenceChart::ReferenceChart(const Clock& clock) : data_(std::make_unique<CaptureData>(clock)) {}

void ReferenceChart::Loaded(std::string source, const TraceList& currentNames) {
  source_ = std::move(source);
  index_.Build(*data_);
  match_ = MatchChannels(currentNames, nullptr, view_.Traces, nullptr);
  rows_.clear();
  for (const ChannelPair& p : match_.pairs) {
    rows_.push_back({p.before, p.after, "ref \xC2\xB7 " + view_.Traces.Name(p.after)});
  }
  open_ = true;
}

void ReferenceChart::Close() {
  open_ = false;
  rows_.clear();
  match_ = {};
  index_.Clear();
  data_->Store.Clear();
  view_.Reset();
  source_.clear();
}

void ReferenceChart::AlignMoments(double currentMoment, double referenceMoment) {
  alignBy_ = AlignBy::Moment;
  offset_ = referenceMoment - currentMoment;
}

void ReferenceChart::AlignTimeOfDay(double currentStart) {
  // Whole days apart, so 08:15 in one is 08:15 in the other.
  alignBy_ = AlignBy::TimeOfDay;
  offset_ = std::floor(data_->CaptureStart.time) - std::floor(currentStart);
}

bool ReferenceChart::AlignMarkers(const MarkerList& current, double near) {
  const MarkerList& theirs = view_.Markers;
  if (current.Empty() || theirs.Empty()) return false;
  const Marker* mine = &current[0];
  for (const Marker& m : current.Items()) {
    if (std::fabs(m.time - near) < std::fabs(mine->time - near)) mine = &m;
  }
  const Marker* other = &theirs[0];
  for (const Marker& m : theirs.Items()) {
    if (m.label == mine->label) {
      other = &m;
      break;
    }
  }
  AlignMoments(mine->time, other->time);
  return true;
}

std::string ReferenceChart::OffsetText() const {
  return (offset_ < 0 ? "-" : "+") + FormatDuration(std::fabs(offset_));
}

int ReferenceChart::LevelAt(int channel, double t) const {
  if (!open_) return -1;
  const double r = ToReference(t);
  if (r < data_->CaptureStart.time || r > data_->CaptureEnd.time) return -1;
  const CaptureLookup lookup(*data_, index_);
  return lookup.LevelBefore(channel, lookup.FirstIndexAt(r, true));
}

std::vector<ReferenceSpan> ReferenceChart::Spans(const ReferenceRow& row, double from, double to, int width) const {
  std::vector<ReferenceSpan> spans;
  if (!open_ || width <= 0 || !(to > from)) return spans;
  const double r0 = ToReference(from), r1 = ToReference(to);
  const double start = data_->CaptureStart.time, end = data_->CaptureEnd.time;
  const double perColumn = (r1 - r0) / width;
  const auto column = [&](double t) { return std::clamp(static_cast<int>(std::floor((t - r0) / perColumn)), 0, width); };
  int x = column(std::max(r0, start));
  const int stop = column(std::min(r1, end));
  if (x >= stop) return spans;
  const CaptureLookup lookup(*data_, index_);
  const int ch = row.reference;
  uint32_t at = lookup.FirstIndexAt(r0 + x * perColumn);
  uint8_t level = lookup.LevelBefore(ch, at);
  while (x < stop) {
    const std::optional<ChannelChange> next = lookup.NextChange(ch, at);
    const int cx = next ? column(next->time) : stop;
    if (!next || cx >= stop) {
      spans.push_back({x, stop, level, false});
      break;
    }
    if (cx > x) spans.push_back({x, cx, level, false});
    // More changes in the same column: one busy column, then on from the next.
    const std::optional<ChannelChange> after = lookup.NextChange(ch, next->index + 1);
    if (after && column(after->time) == cx) {
      spans.push_back({cx, cx + 1, 1, true});
      x = cx + 1;
      at = lookup.FirstIndexAt(r0 + x * perColumn);
      level = lookup.LevelBefore(ch, at);
    } else {
      x = cx;
      level = next->level;
      at = next->index + 1;
    }
  }
  // Neighbouring spans of one level are drawn as one.
  std::vector<ReferenceSpan> joined;
  for (const ReferenceSpan& s : spans) {
    if (!joined.empty() && joined.back().x1 == s.x0 && joined.back().level == s.level && joined.back().busy == s.busy) {
      joined.back().x1 = s.x1;
    } else if (s.x1 > s.x0) {
      joined.push_back(s);
    }
  }
  return joined;
}

std::string ReferenceChart::Readout(const ReferenceRow& row, int currentLevel, double t) const {
  const int ref = LevelAt(row.reference, t);
  return view_.Traces.Name(row.reference) + " " + std::to_string(currentLevel) + ", ref " +
         (ref < 0 ? std::string("outside") : std::to_string(ref)) + " \xC2\xB7 offset " + OffsetText();
}

double ReferenceChart::NextChange(int channel, double t, bool forward) const {
  if (!open_) return -1;
  const CaptureLookup lookup(*data_, index_);
  const uint32_t at = lookup.FirstIndexAt(ToReference(t), forward);
  const std::optional<ChannelChange> c = forward ? lookup.NextChange(channel, at) : lookup.PreviousChange(channel, at);
  return c ? c->time - offset_ : -1;
}

}  // namespace korvalog
