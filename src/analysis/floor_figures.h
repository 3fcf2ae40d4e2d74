#pragma once
// Figures by landing: hall waits by floor and direction, and the door's
// opening, closing, dwell and reopens at each floor. The car's floor at a
// stop comes from the calls it answered there (a call of floor F cancelled
// and answered by an opening puts the car at F) and, between such stops,
// from the floors each trip travelled up or down.
#include <cstdint>
#include <vector>

#include "analysis/call_figures.h"
#include "analysis/figure_summary.h"
#include "analysis/report_occurrence.h"
#include "core/channel_roles.h"

namespace korvalog {

struct FloorFigures {
  int floor = 0;
  FigureSummary hallWaitUp, hallWaitDown;  // answered calls
  uint32_t cancelledUp = 0, cancelledDown = 0;
  FigureSummary opening, closing, dwell;
  uint32_t reopens = 0, doorCycles = 0;
};

// Where the car stood between its trips: stop i runs from the start of trip
// i-1 (the capture's start for i = 0) to the start of trip i.
class CarPosition {
 public:
  // `trips` in time order (every one, before any is left out), the calls
  // with their answer evidence; `levelKnown`: floors travelled are counted.
  void Compute(const Occurrences& trips, const Occurrences& hallWaits, const Occurrences& carService,
               const AnswerEvidence& evidence, bool levelKnown);
  // The car's floor at a date-time; kNoFloor when it cannot be told.
  int16_t FloorAt(double dateTime) const;
  // The share of stops whose floor is known, in percent.
  double KnownPercent() const;

 private:
  std::vector<int64_t> tripStartsMs_;
  std::vector<int16_t> stopFloor_;
};

// Per floor, lowest first; only floors that something happened at.
std::vector<FloorFigures> FiguresByFloor(const CarPosition& position, const ChannelRoles& roles,
                                         const Occurrences& hallWaits, const Occurrences& opening,
                                         const Occurrences& closing, const Occurrences& dwell,
                                         const Occurrences& reopens, const std::vector<double>& cycleStarts);

}  // namespace korvalog
