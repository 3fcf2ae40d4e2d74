#pragma once
// The stretches of a capture in which the link to the logger was lost: an
// input may have changed there without an event, so its level is unknown.
// Saved with the capture, drawn hatched on the chart, and every figure that
// spans one (a search match, a Sequencer step, an active period, a door
// time) is left out rather than measured as if the inputs held their levels.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <mutex>
#include <vector>

namespace korvalog {

// Times are date-times in days, start < end. A gap still open (the capture
// ended before the link came back) ends at kGapOpen: it lasts to the
// capture's end, whatever that turns out to be.
inline constexpr double kGapOpen = std::numeric_limits<double>::infinity();

struct GapSpan {
  double start = 0;
  double end = kGapOpen;
  bool operator==(const GapSpan&) const = default;
};

// True when the open interval (from, to) shares time with a gap: a figure
// that ends as a gap begins, or begins as it ends, is whole. `gaps` in
// order of time, as CaptureGaps keeps them.
bool OverlapsGap(const std::vector<GapSpan>& gaps, double from, double to);
// Days of gap within [from, to].
double GapDaysWithin(const std::vector<GapSpan>& gaps, double from, double to);
// The gaps that share time with [from, to], cut to it (a part or a selection).
std::vector<GapSpan> GapsWithin(const std::vector<GapSpan>& gaps, double from, double to);

// The gaps of one capture. The interface thread (the link supervisor, the
// loaders) changes them and reads them freely; another thread (the
// journal's) reads them only through Copy, under the lock.
class CaptureGaps {
 public:
  CaptureGaps() = default;
  CaptureGaps(const CaptureGaps&) = delete;
  CaptureGaps& operator=(const CaptureGaps&) = delete;

  void Clear();
  // The link was found lost at `at`; nothing while a gap is open.
  void Lost(double at);
  // The link is back: the open gap ends (at the loss at the earliest).
  void Back(double at);
  // A gap read from a file; one that is empty, not a number or runs back is
  // passed over (false). Kept in order of start; overlapping gaps merge.
  bool Add(double start, double end);
  void Assign(const std::vector<GapSpan>& gaps);

  bool Open() const { return !spans_.empty() && spans_.back().end == kGapOpen; }
  bool Empty() const { return spans_.empty(); }
  const std::vector<GapSpan>& Spans() const { return spans_; }
  // Any thread.
  std::vector<GapSpan> Copy() const;

 private:
  mutable std::mutex lock_;
  std::vector<GapSpan> spans_;
};

// Follows a walk through events in order of time and tells when the walk
// passes into or through a gap. Gaps are few; the walk pays one compare per
// step until the next gap begins.
class GapCursor {
 public:
  GapCursor(const std::vector<GapSpan>& gaps, double from);
  // True when time went from the previous step (or `from`) to `t` across
  // part of a gap: what was known before is unknown now.
  bool Crossed(double t) {
    if (!(t > nextStart_)) return false;
    Advance(t);
    return true;
  }

 private:
  void Advance(double t);
  const std::vector<GapSpan>& gaps_;
  size_t next_ = 0;
  double nextStart_ = kGapOpen;
};

}  // namespace korvalog
