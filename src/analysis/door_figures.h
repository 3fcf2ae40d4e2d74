#pragma once
// Door figures from the door relays, limits and reopen input: opening and
// closing times, dwell (open limit to close command; the open relay when
// there is no open limit), reopens during closing, door cycles, and a door
// left open at the end of the capture. Without a closed limit or a reopen
// input a reopen is inferred: an open command while the close command is
// on, or within a moment of its dropping (relays interlocked), during a
// closing no longer than a door takes.
#include <vector>

#include "analysis/report_edge.h"
#include "analysis/report_occurrence.h"

namespace korvalog {

class DoorFigures {
 public:
  // Which door inputs the roles provide (dwell falls back without limits).
  void Start(bool hasOpenLimit, bool hasClosedLimit, bool hasReopenInput = false, double reopenGapSeconds = 0.5,
             double closingLongestSeconds = 10.0);
  void Edge(const InputEdge& e);
  void Finish(double end);

  Occurrences opening, closing, dwell, reopens;
  std::vector<double> cycleStarts;  // every open command (date-times)
  bool openAtEnd = false;           // the door stood open when the capture ended
  double openSince = 0;             // ... since then (date-time)
  int partialAtStart = 0;           // movements under way when the capture began
  bool reopensInferred = false;     // no closed limit and no reopen input

 private:
  static constexpr double kNone = -1.0;
  bool hasOpenLimit_ = false;
  bool hasClosedLimit_ = false;
  double openingStart_ = kNone, dwellStart_ = kNone, closingStart_ = kNone;
  uint8_t closeChannel_ = 0, openChannel_ = 0, limitChannel_ = 0;
  bool closingReopened_ = false;
  bool closeOn_ = false;
  int64_t closeDroppedMs_ = 0, reopenGapMs_ = 500, closingLongestMs_ = 10000;
  // Inferred: is the door still closing at `t`?
  bool StillClosing(double t) const;
};

}  // namespace korvalog
