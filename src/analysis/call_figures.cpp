#include "analysis/call_figures.h"

#include <algorithm>

namespace korvalog {

void CallFigures::Edge(const InputEdge& e) {
  const bool hall = e.role == ChannelRole::HallUp || e.role == ChannelRole::HallDown;
  if (!hall && e.role != ChannelRole::CarCall) return;
  if (e.on) {
    on_[e.channel] = true;
    since_[e.channel] = e.time;
    return;
  }
  if (!on_[e.channel]) {
    ++partialAtStart;
    return;
  }
  on_[e.channel] = false;
  Occurrence o;
  o.kind = hall ? OccurrenceKind::HallWait : OccurrenceKind::CarService;
  o.channel = e.channel;
  o.floor = e.floor;
  o.start = since_[e.channel];
  o.seconds = SecondsBetween(o.start, e.time);
  (hall ? hallWaits : carService).push_back(o);
}

void CallFigures::Finish(double, const std::vector<double>& doorOpenings) {
  waitingAtEnd = 0;
  for (int ch = 1; ch <= 128; ++ch) waitingAtEnd += on_[ch] ? 1 : 0;
  cancelled = 0;
  if (doorOpenings.empty()) return;
  constexpr double kDay = 86400.0;
  for (Occurrence& o : hallWaits) {
    const double cancel = o.start + o.seconds / kDay;
    const auto first = std::lower_bound(doorOpenings.begin(), doorOpenings.end(), cancel - kAnswerBefore / kDay);
    const bool answered = first != doorOpenings.end() && *first <= cancel + kAnswerAfter / kDay;
    if (!answered) {
      o.detail = OccurrenceDetail::Cancelled;
      ++cancelled;
    }
  }
}

}  // namespace korvalog
