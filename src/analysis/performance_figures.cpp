#include "analysis/performance_figures.h"

#include <algorithm>
#include <cmath>

#include "analysis/report_edge.h"

namespace korvalog {
namespace {

int64_t EndMs(const Occurrence& o) { return MsOf(o.start) + RoundMs(o.seconds * 1000.0); }

// The occurrence of `list` (in time order) that ends exactly at `ms`.
const Occurrence* EndingAt(const Occurrences& list, int64_t ms) {
  const auto it = std::lower_bound(list.begin(), list.end(), ms,
                                   [](const Occurrence& o, int64_t t) { return EndMs(o) < t; });
  return it != list.end() && EndMs(*it) == ms ? &*it : nullptr;
}

}  // namespace

void PerformanceFigures::Compute(const Occurrences& closing, const Occurrences& startDelays, const Occurrences& trips,
                                 const Occurrences& opening, int64_t openingWithinMs) {
  flights.clear();
  cycles.clear();
  for (size_t i = 0; i < trips.size(); ++i) {
    const Occurrence& t = trips[i];
    if (t.floorsTravelled == 0) continue;  // re-levelling: the car stayed at its floor
    Occurrence f = t;
    f.kind = OccurrenceKind::Flight;
    flights.push_back(f);
    if (t.floorsTravelled != 1) continue;
    const Occurrence* delay = EndingAt(startDelays, MsOf(t.start));
    if (delay == nullptr) continue;
    const Occurrence* close = EndingAt(closing, MsOf(delay->start));
    if (close == nullptr) continue;
    const int64_t stop = EndMs(t);
    const int64_t next = i + 1 < trips.size() ? MsOf(trips[i + 1].start) : INT64_MAX;
    const auto open = std::lower_bound(opening.begin(), opening.end(), stop,
                                       [](const Occurrence& o, int64_t ms) { return MsOf(o.start) < ms; });
    if (open == opening.end() || MsOf(open->start) > stop + openingWithinMs || MsOf(open->start) >= next) continue;
    cycles.push_back({close->start, close->seconds, delay->seconds, t.seconds, open->seconds});
  }
}

FigureSummary PerformanceFigures::FlightTimes(int floors) const {
  if (floors == 0) return Summarize(flights);
  Occurrences chosen;
  for (const Occurrence& o : flights) {
    if (o.floorsTravelled == floors) chosen.push_back(o);
  }
  return Summarize(chosen);
}

FigureSummary PerformanceFigures::Times() const {
  Occurrences all;
  all.reserve(cycles.size());
  for (const PerformanceCycle& c : cycles) {
    Occurrence o;
    o.start = c.start;
    o.seconds = std::round(c.total() * 1000.0) / 1000.0;
    all.push_back(o);
  }
  return Summarize(all);
}

int PerformanceFigures::MostFloors() const {
  int most = 0;
  for (const Occurrence& o : flights) most = std::max<int>(most, o.floorsTravelled);
  return most;
}

}  // namespace korvalog
