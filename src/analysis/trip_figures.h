#pragma once
// Trips from the motor inputs: one per run (motor up, motor down, or motor
// run when there is no direction input), its run time and direction, and the
// short runs that re-level the car at a floor.
#include "analysis/report_edge.h"
#include "analysis/report_occurrence.h"

namespace korvalog {

class TripFigures {
 public:
  // `directional`: up/down inputs exist, so a plain motor-run input is not
  // counted again. Runs shorter than `shortRun` seconds are re-levelling.
  void Start(bool directional, double shortRun);
  void Edge(const InputEdge& e);
  void Finish(double end);

  Occurrences trips;
  int shortRuns = 0;
  int partialAtStart = 0;  // runs under way when the capture began
  bool runningAtEnd = false;
  double shortRunSeconds = 2.0;

 private:
  bool directional_ = false;
  double runStart_[129] = {};
  bool running_[129] = {};
};

}  // namespace korvalog
