#include "analysis/availability_figures.h"

namespace korvalog {

void AvailabilityFigures::Start(double start, bool outOfServiceAtStart) {
  start_ = start;
  on_ = outOfServiceAtStart;
  cutAtStart = outOfServiceAtStart;
  since_ = start;
}

void AvailabilityFigures::Edge(const InputEdge& e) {
  if (e.role != ChannelRole::OutOfService || e.on == on_) return;
  on_ = e.on;
  if (e.on) {
    since_ = e.time;
    return;
  }
  const double seconds = SecondsBetween(since_, e.time);
  outOfServiceSeconds += seconds;
  if (since_ == start_ && cutAtStart) return;  // began before the capture
  Occurrence o;
  o.kind = OccurrenceKind::OutOfService;
  o.channel = e.channel;
  o.start = since_;
  o.seconds = seconds;
  spells.push_back(o);
}

void AvailabilityFigures::Finish(double end) {
  cutAtEnd = on_;
  if (on_) outOfServiceSeconds += SecondsBetween(since_, end);
  spanSeconds = SecondsBetween(start_, end);
  availabilityPercent = spanSeconds > 0 ? 100.0 * (1.0 - outOfServiceSeconds / spanSeconds) : 100.0;
  meanSecondsBetweenShutdowns = 0;
  if (spells.size() >= 2) {
    double gaps = 0;
    for (size_t i = 1; i < spells.size(); ++i) {
      gaps += SecondsBetween(spells[i - 1].start, spells[i].start) - spells[i - 1].seconds;
    }
    meanSecondsBetweenShutdowns = gaps / static_cast<double>(spells.size() - 1);
  }
}

}  // namespace korvalog
