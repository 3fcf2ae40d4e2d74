#pragma once
// Door figures from the door relays, limits and reopen input: opening and
// closing times, dwell (open limit to close command; the open relay when
// there is no open limit), reopens during closing, door cycles, and a door
// left open at the end of the capture.
#include <vector>

#include "analysis/report_edge.h"
#include "analysis/report_occurrence.h"

namespace korvalog {

class DoorFigures {
 public:
  // Which door inputs the roles provide (dwell falls back without limits).
  void Start(bool hasOpenLimit, bool hasClosedLimit);
  void Edge(const InputEdge& e);
  void Finish(double end);

  Occurrences opening, closing, dwell, reopens;
  std::vector<double> cycleStarts;  // every open command (date-times)
  bool openAtEnd = false;           // the door stood open when the capture ended
  double openSince = 0;             // ... since then (date-time)
  int partialAtStart = 0;           // movements under way when the capture began

 private:
  static constexpr double kNone = -1.0;
  bool hasOpenLimit_ = false;
  bool hasClosedLimit_ = false;
  double openingStart_ = kNone, dwellStart_ = kNone, closingStart_ = kNone;
  uint8_t closeChannel_ = 0, openChannel_ = 0, limitChannel_ = 0;
  bool closingReopened_ = false;
};

}  // namespace korvalog
