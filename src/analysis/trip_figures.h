#pragma once
// Trips from the motor inputs: one per run (motor up, motor down, or motor
// run when there is no direction input), its run time and direction, the
// floors it travelled (level zones made during the run) and the short runs
// that re-level the car at a floor. From the door's closed limit as well:
// the start delay, door closed to motor run, when the car had a call to go
// to as its door closed.
#include <vector>

#include "analysis/report_edge.h"
#include "analysis/report_occurrence.h"

namespace korvalog {

class TripFigures {
 public:
  // `directional`: up/down inputs exist, so a plain motor-run input is not
  // counted again. Runs shorter than `shortRun` seconds are re-levelling.
  // `callsKnown`: call inputs have roles, so a start delay needs a call.
  void Start(bool directional, double shortRun, bool callsKnown = false);
  void Edge(const InputEdge& e);
  // The level zone came on: one more floor for every run under way.
  void LevelMade() {
    for (int i = 0; i < runningCount_; ++i) {
      uint8_t& n = floors_[runningChannels_[i]];
      n = n < 255 ? n + 1 : n;
    }
  }
  // The door's closed limit came on, with this many calls registered.
  void DoorClosed(double at, int callsRegistered) {
    closedAt_ = at;
    closedWithCall_ = callsRegistered > 0 || !callsKnown_;
  }
  // The door began to open or left its closed limit.
  void DoorLeftClosed() { closedAt_ = kNone; }
  bool Running() const { return runningCount_ > 0; }
  void Finish(double end);

  Occurrences trips;
  Occurrences startDelays;  // start: the door closed; seconds: until the motor ran
  int shortRuns = 0;
  int partialAtStart = 0;  // runs under way when the capture began
  bool runningAtEnd = false;
  double shortRunSeconds = 2.0;
  // A motor start longer than this after the door closed waited for a call.
  static constexpr double kLongestStartDelay = 10.0;

 private:
  static constexpr double kNone = -1.0;
  bool directional_ = false, callsKnown_ = false;
  double runStart_[129] = {};
  bool running_[129] = {};
  uint8_t floors_[129] = {};
  uint8_t runningChannels_[129] = {};
  int runningCount_ = 0;
  double closedAt_ = kNone;
  bool closedWithCall_ = false;
};

}  // namespace korvalog
