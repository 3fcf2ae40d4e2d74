#pragma once
// Availability from the out-of-service input: its spells (the input's on
// time), their count, total and longest, the share of the capture the lift
// was in service, and the time between shutdowns. A spell cut by the start
// or the end of the capture counts towards the availability with the part
// inside the capture but is not a measured spell.
#include "analysis/report_edge.h"
#include "analysis/report_occurrence.h"

namespace korvalog {

class AvailabilityFigures {
 public:
  // Levels of the out-of-service inputs at the capture start.
  void Start(double start, bool outOfServiceAtStart);
  void Edge(const InputEdge& e);
  void Finish(double end);

  Occurrences spells;
  double outOfServiceSeconds = 0;  // cut spells included
  double spanSeconds = 0;
  double availabilityPercent = 100;
  double meanSecondsBetweenShutdowns = 0;  // end of one spell to the next; 0 below two spells
  bool cutAtStart = false, cutAtEnd = false;
  bool hasInput = false;

 private:
  double start_ = 0, since_ = 0;
  bool on_ = false;
};

}  // namespace korvalog
