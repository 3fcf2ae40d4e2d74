#pragma once
// The lift's own speed as the trade measures it: flights (trips that left
// their floor, by the floors travelled, counted from the level-zone pulses
// between start and stop) and the performance time of each journey of one
// floor, door closing + start delay + single-floor flight + door opening,
// where all four parts were measured one after the other.
#include <cstdint>
#include <vector>

#include "analysis/figure_summary.h"
#include "analysis/report_occurrence.h"

namespace korvalog {

struct PerformanceCycle {
  double start = 0;  // date-time of the close command
  double closing = 0, startDelay = 0, flight = 0, opening = 0;
  double total() const { return closing + startDelay + flight + opening; }
};

class PerformanceFigures {
 public:
  // Every list in time order. An opening up to `openingWithinMs` after the
  // car stopped, before it moves again, ends the journey.
  void Compute(const Occurrences& closing, const Occurrences& startDelays, const Occurrences& trips,
               const Occurrences& opening, int64_t openingWithinMs);

  Occurrences flights;                  // kind Flight, floorsTravelled >= 1
  std::vector<PerformanceCycle> cycles;

  // Flight times over `floors` floors; 0: every flight.
  FigureSummary FlightTimes(int floors = 0) const;
  FigureSummary Times() const;  // performance time of every whole journey
  int MostFloors() const;
};

}  // namespace korvalog
