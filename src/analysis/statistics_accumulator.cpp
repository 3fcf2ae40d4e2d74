#include "analysis/statistics_accumulator.h"

#include <cmath>
#include <limits>

#include "base/date_time.h"

namespace korvalog {

void StatisticsAccumulator::Reset(int intervalsPerDay) {
  perDay_ = intervalsPerDay > 0 ? intervalsPerDay : 1;
  intervalMs_ = static_cast<int64_t>(kMsPerDay) / perDay_;
  for (std::vector<IntervalCell>& cells : cells_) cells.clear();
  rows_.clear();
  rowOf_.clear();
  activation_.fill(std::numeric_limits<double>::quiet_NaN());
  first_ = last_ = 0;
  truncated_ = false;
}

bool StatisticsAccumulator::IntervalNumber(double t, int64_t& n) const {
  // Beyond about 27,000 years either way a value is no date.
  if (!(std::fabs(t) < 1.0e7)) return false;
  const double ms = std::floor(t * kMsPerDay + 0.5);
  n = static_cast<int64_t>(std::floor(ms / static_cast<double>(intervalMs_)));
  return true;
}

// The row of interval first_ + index, added on the first visit. Rows are
// added per interval entered, never per event.
int32_t StatisticsAccumulator::RowOfInterval(int64_t index) {
  const size_t i = static_cast<size_t>(index);
  if (rowOf_.size() <= i) rowOf_.resize(i + 1, kNoRow);
  if (rowOf_[i] == kNoRow) {
    rowOf_[i] = static_cast<int32_t>(rows_.size() / kChannelCount);
    rows_.resize(rows_.size() + kChannelCount);
  }
  return rowOf_[i];
}

void StatisticsAccumulator::Accumulate(const CaptureData& data, uint8_t activeLevel) {
  int64_t n = 0;
  if (!IntervalNumber(data.CaptureStart.time, n)) n = 0;
  first_ = last_ = n;
  const int64_t limit = first_ + kMaxIntervalColumns;
  if (rows_.empty()) rows_.resize(kChannelCount);  // the scratch row
  const double intervalMs = static_cast<double>(intervalMs_);

  // The interval of the previous event, as bounds on the rounded
  // milliseconds: events mostly fall in the same interval as the one before,
  // so the division is redone only when one leaves it.
  double lo = 1.0, hi = 0.0;  // empty: the first event computes
  IntervalCell* row = nullptr;  // its row; the scratch row where nothing counts
  IntervalCell* scratch = nullptr;

  const EventRecord* events = data.Store.Data();
  const uint32_t count = data.Store.Count();
  const uint8_t active = activeLevel != 0 ? 1 : 0;
  // A period that spans a link gap is unknown: at each step into or through
  // a gap every channel forgets its start, and measures again from its next.
  GapCursor gaps(data.Gaps.Spans(), data.CaptureStart.time);
  for (uint32_t i = 0; i < count; ++i) {
    const EventRecord& e = events[i];
    const unsigned c = e.channel - 1u;
    if (c >= static_cast<unsigned>(kChannelCount)) continue;
    const double t = e.time;
    if (gaps.Crossed(t)) [[unlikely]] activation_.fill(std::numeric_limits<double>::quiet_NaN());
    const double ms = t * kMsPerDay + 0.5;  // as IntervalNumber rounds it
    if (!(ms >= lo && ms < hi)) [[unlikely]] {
      lo = 1.0, hi = 0.0;
      if (!IntervalNumber(t, n)) continue;
      if (n >= limit) {  // left out, and measures nothing
        truncated_ = true;
        continue;
      }
      lo = static_cast<double>(n) * intervalMs;
      hi = lo + intervalMs;
      if (n > last_) last_ = n;
      // Events before the capture start (a damaged file) count nowhere.
      const int32_t r = n >= first_ ? RowOfInterval(n - first_) : 0;
      row = Row(r);
      scratch = Row(0);
    }
    // Starts and ends alternate at random in a mixed capture, so both take
    // the same path, without a branch on which one this is.
    const size_t starts = (e.state != 0 ? 1 : 0) == active;
    const double since = activation_[c + 1];
    // A start sets the channel's activation time, any other event the spare
    // entry 0. Not cleared at an end: a second end measures from the same start.
    activation_[starts * (c + 1)] = t;
    // Until its first start a channel measures nothing. That is rare, so here
    // a branch is cheap, and the cell below then hangs on the event's level
    // alone, not on the activation time just loaded: the walk does not stall.
    if (!(since == since)) [[unlikely]] continue;
    // An end counts in the interval's row, a start writes the scratch row.
    IntervalCell& cell = (starts != 0 ? scratch : row)[c];
    const double d = t - since;
    cell.count += 1;
    // A shortest of 0 counts as not yet set; lifted out of reach so the
    // minimum takes d.
    const double shortest = cell.shortest + static_cast<double>(cell.shortest == 0.0) * 1e300;
    cell.shortest = d < shortest ? d : shortest;
    cell.longest = d > cell.longest ? d : cell.longest;
    cell.total += d;
  }
  LayOutPerChannel();
}

// Each channel's cells up to its last interval with a period; intervals
// without a row in between are empty cells.
void StatisticsAccumulator::LayOutPerChannel() {
  for (int c = 0; c < kChannelCount; ++c) {
    auto cellAt = [&](size_t i) -> const IntervalCell* {
      return rowOf_[i] == kNoRow ? nullptr : Row(rowOf_[i]) + c;
    };
    size_t used = rowOf_.size();
    while (used > 0 && (cellAt(used - 1) == nullptr || cellAt(used - 1)->count == 0)) --used;
    std::vector<IntervalCell>& cells = cells_[c];
    cells.assign(used, IntervalCell{});
    for (size_t i = 0; i < used; ++i) {
      if (const IntervalCell* cell = cellAt(i)) cells[i] = *cell;
    }
  }
}

}  // namespace korvalog
