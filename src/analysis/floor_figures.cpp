#include "analysis/floor_figures.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "analysis/report_edge.h"

namespace korvalog {
namespace {

int Direction(const Occurrence& trip) {
  return trip.detail == OccurrenceDetail::Up ? 1 : trip.detail == OccurrenceDetail::Down ? -1 : 0;
}

}  // namespace

void CarPosition::Compute(const Occurrences& trips, const Occurrences& hallWaits, const Occurrences& carService,
                          const AnswerEvidence& evidence, bool levelKnown) {
  tripStartsMs_.clear();
  tripStartsMs_.reserve(trips.size());
  for (const Occurrence& t : trips) tripStartsMs_.push_back(MsOf(t.start));
  stopFloor_.assign(trips.size() + 1, kNoFloor);
  // Anchors: the stop in which an answering opening began.
  for (const Occurrences* calls : {&hallWaits, &carService}) {
    for (const Occurrence& c : *calls) {
      if (c.floor == kNoFloor) continue;
      const int64_t cancel = MsOf(c.start) + RoundMs(c.seconds * 1000.0);
      const int64_t opening = CallFigures::AnsweringOpening(cancel, evidence);
      if (opening < 0) continue;
      const size_t stop = std::upper_bound(tripStartsMs_.begin(), tripStartsMs_.end(), opening) - tripStartsMs_.begin();
      stopFloor_[stop] = c.floor;
    }
  }
  // Between anchors, each trip moves the car by the floors it travelled;
  // a run without a floor re-levels it where it is.
  const auto moved = [&](size_t trip, int sign, int16_t from) -> int16_t {
    const Occurrence& t = trips[trip];
    if (t.floorsTravelled == 0 && (levelKnown || t.seconds < 2.0)) return from;
    const int dir = Direction(t);
    if (!levelKnown || dir == 0) return kNoFloor;
    return static_cast<int16_t>(from + sign * dir * t.floorsTravelled);
  };
  std::vector<int16_t> forward = stopFloor_;
  for (size_t i = 1; i < forward.size(); ++i) {
    if (forward[i] == kNoFloor && forward[i - 1] != kNoFloor) forward[i] = moved(i - 1, 1, forward[i - 1]);
  }
  for (size_t i = forward.size() - 1; i-- > 0;) {
    if (forward[i] == kNoFloor && forward[i + 1] != kNoFloor) forward[i] = moved(i, -1, forward[i + 1]);
  }
  stopFloor_ = std::move(forward);
}

int16_t CarPosition::FloorAt(double dateTime) const {
  if (stopFloor_.empty()) return kNoFloor;
  const size_t stop =
      std::upper_bound(tripStartsMs_.begin(), tripStartsMs_.end(), MsOf(dateTime)) - tripStartsMs_.begin();
  return stopFloor_[std::min(stop, stopFloor_.size() - 1)];
}

double CarPosition::KnownPercent() const {
  if (stopFloor_.empty()) return 0;
  const auto known = std::count_if(stopFloor_.begin(), stopFloor_.end(), [](int16_t f) { return f != kNoFloor; });
  return 100.0 * static_cast<double>(known) / static_cast<double>(stopFloor_.size());
}

std::vector<FloorFigures> FiguresByFloor(const CarPosition& position, const ChannelRoles& roles,
                                         const Occurrences& hallWaits, const Occurrences& opening,
                                         const Occurrences& closing, const Occurrences& dwell,
                                         const Occurrences& reopens, const std::vector<double>& cycleStarts) {
  struct Lists {
    Occurrences up, down, opening, closing, dwell;
    uint32_t cancelledUp = 0, cancelledDown = 0, reopens = 0, cycles = 0;
  };
  std::map<int, Lists> byFloor;
  for (const Occurrence& o : hallWaits) {
    if (o.floor == kNoFloor) continue;
    Lists& l = byFloor[o.floor];
    const bool up = roles[o.channel].role == ChannelRole::HallUp;
    if (o.detail == OccurrenceDetail::Cancelled) {
      ++(up ? l.cancelledUp : l.cancelledDown);
    } else {
      (up ? l.up : l.down).push_back(o);
    }
  }
  const auto place = [&](const Occurrences& list, Occurrences Lists::*member) {
    for (const Occurrence& o : list) {
      const int16_t f = position.FloorAt(o.start);
      if (f != kNoFloor) (byFloor[f].*member).push_back(o);
    }
  };
  place(opening, &Lists::opening);
  place(closing, &Lists::closing);
  place(dwell, &Lists::dwell);
  for (const Occurrence& o : reopens) {
    const int16_t f = position.FloorAt(o.start);
    if (f != kNoFloor) ++byFloor[f].reopens;
  }
  for (double t : cycleStarts) {
    const int16_t f = position.FloorAt(t);
    if (f != kNoFloor) ++byFloor[f].cycles;
  }
  std::vector<FloorFigures> out;
  out.reserve(byFloor.size());
  for (const auto& [floor, l] : byFloor) {
    FloorFigures f;
    f.floor = floor;
    f.hallWaitUp = Summarize(l.up);
    f.hallWaitDown = Summarize(l.down);
    f.cancelledUp = l.cancelledUp;
    f.cancelledDown = l.cancelledDown;
    f.opening = Summarize(l.opening);
    f.closing = Summarize(l.closing);
    f.dwell = Summarize(l.dwell);
    f.reopens = l.reopens;
    f.doorCycles = l.cycles;
    out.push_back(std::move(f));
  }
  return out;
}

}  // namespace korvalog
