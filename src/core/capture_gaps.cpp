#include "core/capture_gaps.h"

#include <algorithm>
#include <cmath>

namespace korvalog {

bool OverlapsGap(const std::vector<GapSpan>& gaps, double from, double to) {
  // The first gap that ends after `from`; only it can begin before `to`
  // without an earlier one doing so too.
  const auto it = std::upper_bound(gaps.begin(), gaps.end(), from,
                                   [](double t, const GapSpan& g) { return t < g.end; });
  return it != gaps.end() && it->start < to;
}

double GapDaysWithin(const std::vector<GapSpan>& gaps, double from, double to) {
  double days = 0;
  for (const GapSpan& g : gaps) {
    const double a = std::max(g.start, from);
    const double b = std::min(g.end, to);
    if (b > a) days += b - a;
  }
  return days;
}

std::vector<GapSpan> GapsWithin(const std::vector<GapSpan>& gaps, double from, double to) {
  std::vector<GapSpan> out;
  for (const GapSpan& g : gaps) {
    if (g.end < from || g.start > to) continue;
    out.push_back({std::max(g.start, from), std::min(g.end, to)});
  }
  return out;
}

void CaptureGaps::Clear() {
  std::lock_guard<std::mutex> hold(lock_);
  spans_.clear();
}

void CaptureGaps::Lost(double at) {
  if (Open() || !std::isfinite(at)) return;
  std::lock_guard<std::mutex> hold(lock_);
  // A clock set back lands inside the gap before: that gap goes on.
  if (!spans_.empty() && at <= spans_.back().end) {
    spans_.back().end = kGapOpen;
    return;
  }
  spans_.push_back({at, kGapOpen});
}

void CaptureGaps::Back(double at) {
  if (!Open() || !std::isfinite(at)) return;
  std::lock_guard<std::mutex> hold(lock_);
  spans_.back().end = std::max(at, spans_.back().start);
}

bool CaptureGaps::Add(double start, double end) {
  if (!std::isfinite(start) || !(end >= start) || std::isnan(end)) return false;
  std::lock_guard<std::mutex> hold(lock_);
  auto at = std::lower_bound(spans_.begin(), spans_.end(), start,
                             [](const GapSpan& g, double t) { return g.start < t; });
  at = spans_.insert(at, GapSpan{start, end});
  // Merge with the gap before and the gaps after that it reaches.
  if (at != spans_.begin() && std::prev(at)->end >= at->start) {
    std::prev(at)->end = std::max(std::prev(at)->end, at->end);
    at = std::prev(spans_.erase(at));
  }
  while (std::next(at) != spans_.end() && std::next(at)->start <= at->end) {
    at->end = std::max(at->end, std::next(at)->end);
    spans_.erase(std::next(at));
  }
  return true;
}

void CaptureGaps::Assign(const std::vector<GapSpan>& gaps) {
  Clear();
  for (const GapSpan& g : gaps) Add(g.start, g.end);
}

std::vector<GapSpan> CaptureGaps::Copy() const {
  std::lock_guard<std::mutex> hold(lock_);
  return spans_;
}

GapCursor::GapCursor(const std::vector<GapSpan>& gaps, double from) : gaps_(gaps) {
  while (next_ < gaps_.size() && gaps_[next_].end <= from) ++next_;
  nextStart_ = next_ < gaps_.size() ? gaps_[next_].start : kGapOpen;
}

void GapCursor::Advance(double t) {
  while (next_ < gaps_.size() && gaps_[next_].end <= t) ++next_;
  nextStart_ = next_ < gaps_.size() ? gaps_[next_].start : kGapOpen;
}

}  // namespace korvalog
