#pragma once
// Calls: how long each hall call waits (registered to cancelled: its input
// stays on until the controller cancels it as the car answers) and how long
// each car call takes to serve. A hall call cancelled without a door opening
// at that moment is counted apart, as cancelled.
#include <vector>

#include "analysis/report_edge.h"
#include "analysis/report_occurrence.h"

namespace korvalog {

class CallFigures {
 public:
  void Edge(const InputEdge& e);
  // `doorOpenings`: date-times of every open command, in order; empty when
  // no door input has a role (then every call counts as answered).
  void Finish(double end, const std::vector<double>& doorOpenings);

  Occurrences hallWaits;   // answered and cancelled (detail Cancelled)
  Occurrences carService;
  int cancelled = 0;
  int partialAtStart = 0;  // calls already registered when the capture began
  int waitingAtEnd = 0;    // still registered when it ended: not counted

  // An opening that begins this long before or after the cancel answers it.
  static constexpr double kAnswerBefore = 1.0, kAnswerAfter = 2.0;

 private:
  double since_[129] = {};
  bool on_[129] = {};
};

}  // namespace korvalog
