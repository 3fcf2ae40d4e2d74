#include "analysis/statistics_accumulator.h"

#include <cmath>

#include "core/date_time.h"

namespace korvalog {

void StatisticsAccumulator::Reset(int intervalsPerDay) {
  perDay_ = intervalsPerDay > 0 ? intervalsPerDay : 1;
  intervalMs_ = static_cast<int64_t>(kMsPerDay) / perDay_;
  for (std::vector<IntervalCell>& slots : cells_) slots.assign(1, IntervalCell{});
  activation_.fill(0.0);
  active_.fill(false);
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

void StatisticsAccumulator::Accumulate(const CaptureData& data, uint8_t activeLevel) {
  int64_t n = 0;
  if (!IntervalNumber(data.CaptureStart.time, n)) n = 0;
  first_ = last_ = n;
  const int64_t limit = first_ + kMaxIntervalColumns;
  for (std::vector<IntervalCell>& slots : cells_) {
    if (slots.empty()) slots.assign(1, IntervalCell{});  // the spare slot
  }
  const double intervalMs = static_cast<double>(intervalMs_);

  // The interval of the previous event, as bounds on the rounded
  // milliseconds: events mostly fall in the same interval as the one before,
  // so the division is redone only when one leaves it.
  double lo = 1.0, hi = 0.0;  // empty: the first event computes
  bool counted = false;       // the current interval may hold periods
  bool beyond = false;        // the current interval lies past the column limit
  size_t index = 0;           // its cell

  const EventRecord* events = data.Store.Data();
  const uint32_t count = data.Store.Count();
  const uint8_t active = activeLevel != 0 ? 1 : 0;
  for (uint32_t i = 0; i < count; ++i) {
    const EventRecord& e = events[i];
    const unsigned c = e.channel - 1u;
    if (c >= static_cast<unsigned>(kChannelCount)) continue;
    const double t = e.time;
    const double ms = t * kMsPerDay + 0.5;  // as IntervalNumber rounds it
    if (!(ms >= lo && ms < hi)) {
      if (!IntervalNumber(t, n)) continue;
      lo = static_cast<double>(n) * intervalMs;
      hi = lo + intervalMs;
      beyond = n >= limit;
      if (beyond) truncated_ = true;
      counted = n >= first_ && !beyond;
      if (n > last_ && !beyond) last_ = n;
      index = static_cast<size_t>(n - first_);
    }
    if (beyond) continue;
    // Starts and ends alternate at random in a mixed capture, so both are
    // handled without a branch on which one this is: an event that measures
    // nothing updates its channel's spare slot instead of a cell.
    const bool starts = (e.state != 0 ? 1 : 0) == active;
    const bool ends = !starts & active_[c] & counted;
    std::vector<IntervalCell>& slots = cells_[c];
    if (ends & (slots.size() <= index + 1)) slots.resize(index + 2);
    IntervalCell* cell = slots.data() + (static_cast<size_t>(ends) * (index + 1));
    const double d = t - activation_[c + 1];
    // A start sets the channel's activation time, any other event the spare
    // entry 0. Not cleared at an end: a second end measures from the same start.
    activation_[static_cast<size_t>(starts) * (c + 1)] = t;
    active_[c] = active_[c] | starts;
    cell->count += 1;
    // A shortest of 0 counts as not yet set; lifted out of reach so the
    // minimum takes d.
    const double shortest = cell->shortest + static_cast<double>(cell->shortest == 0.0) * 1e300;
    cell->shortest = d < shortest ? d : shortest;
    cell->longest = d > cell->longest ? d : cell->longest;
    cell->total += d;
  }
}

}  // namespace korvalog
