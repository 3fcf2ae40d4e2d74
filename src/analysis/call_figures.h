#pragma once
// Calls: how long each hall call waits (registered to cancelled: its input
// stays on until the controller cancels it as the car answers) and how long
// each car call takes to serve. A hall call is answered when the car stood
// at a floor (motor stopped, level zone made) and its door began to open
// from a moment before the cancel to a window after it, without the car
// moving in between; any other hall call is counted apart, as cancelled.
#include <cstdint>
#include <vector>

#include "analysis/report_edge.h"
#include "analysis/report_occurrence.h"

namespace korvalog {

// What the lift did that answers a call, in whole milliseconds.
struct AnswerEvidence {
  std::vector<int64_t> openingsMs;   // open commands while the car stood at a floor, in order
  std::vector<int64_t> runStartsMs;  // motor starts, in order
  int64_t beforeMs = 1000;           // an opening this long before the cancel answers it
  int64_t windowMs = 5000;           // ... and this long after it, both ends included
  bool doorsKnown = false;           // without door inputs every call counts as answered
};

class CallFigures {
 public:
  void Edge(const InputEdge& e);
  void Finish(double end, const AnswerEvidence& evidence);
  // Calls registered now.
  int Registered() const { return registered_; }
  // The opening (ms) that answers a call that ended at `cancelMs`; -1 when
  // the lift did nothing that answers it.
  static int64_t AnsweringOpening(int64_t cancelMs, const AnswerEvidence& evidence);
  // Counts `cancelled` again after calls were taken out.
  void Recount();

  Occurrences hallWaits;   // answered and cancelled (detail Cancelled)
  Occurrences carService;
  int cancelled = 0;
  int partialAtStart = 0;  // calls already registered when the capture began
  int waitingAtEnd = 0;    // still registered when it ended: not counted

 private:
  double since_[129] = {};
  bool on_[129] = {};
  int registered_ = 0;
};

// In the header: it runs for every change of a call input.
inline void CallFigures::Edge(const InputEdge& e) {
  const bool hall = e.role == ChannelRole::HallUp || e.role == ChannelRole::HallDown;
  if (!hall && e.role != ChannelRole::CarCall) return;
  if (e.on) {
    if (!on_[e.channel]) ++registered_;
    on_[e.channel] = true;
    since_[e.channel] = e.time;
    return;
  }
  if (!on_[e.channel]) {
    ++partialAtStart;
    return;
  }
  on_[e.channel] = false;
  --registered_;
  Occurrence o;
  o.kind = hall ? OccurrenceKind::HallWait : OccurrenceKind::CarService;
  o.channel = e.channel;
  o.floor = e.floor;
  o.start = since_[e.channel];
  o.seconds = SecondsBetween(o.start, e.time);
  (hall ? hallWaits : carService).push_back(o);
}

}  // namespace korvalog
