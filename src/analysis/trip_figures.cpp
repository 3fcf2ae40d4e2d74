#include "analysis/trip_figures.h"

namespace korvalog {

void TripFigures::Start(bool directional, double shortRun, bool callsKnown) {
  directional_ = directional;
  shortRunSeconds = shortRun;
  callsKnown_ = callsKnown;
}

void TripFigures::Edge(const InputEdge& e) {
  const bool counted = e.role == ChannelRole::MotorUp || e.role == ChannelRole::MotorDown ||
                       (e.role == ChannelRole::MotorRun && !directional_);
  if (!counted) return;
  if (e.on) {
    if (running_[e.channel]) return;
    running_[e.channel] = true;
    runStart_[e.channel] = e.time;
    floors_[e.channel] = 0;
    runningChannels_[runningCount_++] = e.channel;
    if (closedAt_ != kNone && closedWithCall_) {
      const double delay = SecondsBetween(closedAt_, e.time);
      if (delay <= kLongestStartDelay) {
        Occurrence o;
        o.kind = OccurrenceKind::StartDelay;
        o.channel = e.channel;
        o.start = closedAt_;
        o.seconds = delay;
        startDelays.push_back(o);
      }
    }
    closedAt_ = kNone;  // one start per closing
    return;
  }
  if (!running_[e.channel]) {
    ++partialAtStart;  // it was running before the capture began
    return;
  }
  running_[e.channel] = false;
  for (int i = 0; i < runningCount_; ++i) {
    if (runningChannels_[i] == e.channel) {
      runningChannels_[i] = runningChannels_[--runningCount_];
      break;
    }
  }
  Occurrence o;
  o.kind = OccurrenceKind::Trip;
  o.channel = e.channel;
  o.start = runStart_[e.channel];
  o.seconds = SecondsBetween(o.start, e.time);
  o.floorsTravelled = floors_[e.channel];
  o.detail = e.role == ChannelRole::MotorUp ? OccurrenceDetail::Up
             : e.role == ChannelRole::MotorDown ? OccurrenceDetail::Down
                                                : OccurrenceDetail::None;
  if (o.seconds < shortRunSeconds) ++shortRuns;
  trips.push_back(o);
}

void TripFigures::Finish(double) {
  runningAtEnd = runningCount_ > 0;
}

}  // namespace korvalog
