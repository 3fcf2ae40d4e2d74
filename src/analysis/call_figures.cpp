#include "analysis/call_figures.h"

#include <algorithm>

namespace korvalog {

void CallFigures::Edge(const InputEdge& e) {
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

int64_t CallFigures::AnsweringOpening(int64_t cancel, const AnswerEvidence& ev) {
  const auto& open = ev.openingsMs;
  const auto& runs = ev.runStartsMs;
  for (auto it = std::lower_bound(open.begin(), open.end(), cancel - ev.beforeMs);
       it != open.end() && *it <= cancel + ev.windowMs; ++it) {
    // The car must not have moved between the cancel and the opening.
    const int64_t from = std::min(cancel, *it), to = std::max(cancel, *it);
    const auto run = std::upper_bound(runs.begin(), runs.end(), from);
    if (run == runs.end() || *run > to) return *it;
  }
  return -1;
}

void CallFigures::Finish(double, const AnswerEvidence& evidence) {
  waitingAtEnd = registered_;
  if (!evidence.doorsKnown) return;
  for (Occurrence& o : hallWaits) {
    const int64_t cancel = MsOf(o.start) + std::llround(o.seconds * 1000.0);
    if (AnsweringOpening(cancel, evidence) < 0) o.detail = OccurrenceDetail::Cancelled;
  }
  Recount();
}

void CallFigures::Recount() {
  cancelled = 0;
  for (const Occurrence& o : hallWaits) cancelled += o.detail == OccurrenceDetail::Cancelled ? 1 : 0;
}

}  // namespace korvalog
