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
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].reference == row.reference) return AllSpans(from, to, width)[i];
  }
  return {};
}

std::vector<std::vector<ReferenceSpan>> ReferenceChart::AllSpans(double from, double to, int width) const {
  std::vector<std::vector<ReferenceSpan>> out(rows_.size());
  if (!open_ || width <= 0 || !(to > from) || rows_.empty()) return out;
  const double r0 = ToReference(from), r1 = ToReference(to);
  const double perColumn = (r1 - r0) / width;
  const auto column = [&](double t) { return std::clamp(static_cast<int>(std::floor((t - r0) / perColumn)), 0, width); };
  const int first = column(std::max(r0, data_->CaptureStart.time));
  const int stop = column(std::min(r1, data_->CaptureEnd.time));
  if (first >= stop) return out;
  // Per row and column: 0 low, 1 high, 2 several changes (busy).
  constexpr uint8_t kBusy = 2;
  const size_t w = static_cast<size_t>(width);
  std::vector<uint8_t> cells(rows_.size() * w, 0);
  std::vector<int> rowOf(kChannelCount + 1, -1), x(rows_.size(), first), lastChange(rows_.size(), -1);
  std::vector<uint8_t> level(rows_.size());
  for (size_t i = 0; i < rows_.size(); ++i) rowOf[rows_[i].reference] = static_cast<int>(i);
  const CaptureLookup lookup(*data_, index_);
  const uint32_t begin = lookup.FirstIndexAt(r0 + first * perColumn);
  const uint32_t end = lookup.FirstIndexAt(r0 + stop * perColumn);
  for (size_t i = 0; i < rows_.size(); ++i) level[i] = lookup.LevelBefore(rows_[i].reference, begin);
  const auto fill = [&](size_t row, int from, int to) {
    uint8_t* c = &cells[row * w];
    for (int k = from; k < to; ++k) c[k] = c[k] == kBusy ? kBusy : level[row];
  };
  // One pass over the window's events: each change fills its row up to its column.
  const EventRecord* events = data_->Store.Data();
  for (uint32_t e = begin; e < end; ++e) {
    const unsigned ch = events[e].channel;
    const int row = ch <= static_cast<unsigned>(kChannelCount) ? rowOf[ch] : -1;
    if (row < 0) continue;
    const uint8_t now = events[e].state != 0 ? 1 : 0;
    if (now == level[row]) continue;  // a repeated level is no change
    const int c = std::min(column(events[e].time), stop - 1);
    fill(row, x[row], c);
    if (lastChange[row] == c) cells[row * w + c] = kBusy;
    lastChange[row] = c;
    level[row] = now;
    x[row] = c;
  }
  for (size_t row = 0; row < rows_.size(); ++row) {
    fill(row, x[row], stop);
    std::vector<ReferenceSpan>& spans = out[row];
    for (int k = first; k < stop; ++k) {
      const uint8_t v = cells[row * w + k];
      const bool busy = v == kBusy;
      if (!spans.empty() && spans.back().x1 == k && spans.back().busy == busy && (busy || spans.back().level == v)) {
        spans.back().x1 = k + 1;
      } else {
        spans.push_back({k, k + 1, static_cast<uint8_t>(busy ? 1 : v), busy});
      }
    }
  }
  return out;
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
