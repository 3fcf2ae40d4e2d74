#include "analysis/trip_figures.h"

namespace korvalog {

void TripFigures::Start(bool directional, double shortRun) {
  directional_ = directional;
  shortRunSeconds = shortRun;
}

void TripFigures::Edge(const InputEdge& e) {
  const bool counted = e.role == ChannelRole::MotorUp || e.role == ChannelRole::MotorDown ||
                       (e.role == ChannelRole::MotorRun && !directional_);
  if (!counted) return;
  if (e.on) {
    running_[e.channel] = true;
    runStart_[e.channel] = e.time;
    return;
  }
  if (!running_[e.channel]) {
    ++partialAtStart;  // it was running before the capture began
    return;
  }
  running_[e.channel] = false;
  Occurrence o;
  o.kind = OccurrenceKind::Trip;
  o.channel = e.channel;
  o.start = runStart_[e.channel];
  o.seconds = SecondsBetween(o.start, e.time);
  o.detail = e.role == ChannelRole::MotorUp ? OccurrenceDetail::Up
             : e.role == ChannelRole::MotorDown ? OccurrenceDetail::Down
                                                : OccurrenceDetail::None;
  if (o.seconds < shortRunSeconds) ++shortRuns;
  trips.push_back(o);
}

void TripFigures::Finish(double) {
  runningAtEnd = false;
  for (bool r : running_) runningAtEnd = runningAtEnd || r;
}

}  // namespace korvalog
