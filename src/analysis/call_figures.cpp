#include "analysis/call_figures.h"

#include <algorithm>

namespace korvalog {

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
    const int64_t cancel = MsOf(o.start) + RoundMs(o.seconds * 1000.0);
    if (AnsweringOpening(cancel, evidence) < 0) o.detail = OccurrenceDetail::Cancelled;
  }
  Recount();
}

void CallFigures::Recount() {
  cancelled = 0;
  for (const Occurrence& o : hallWaits) cancelled += o.detail == OccurrenceDetail::Cancelled ? 1 : 0;
}

}  // namespace korvalog
