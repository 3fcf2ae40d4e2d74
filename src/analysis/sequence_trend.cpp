#include "analysis/sequence_trend.h"

#include "analysis/report_edge.h"

namespace korvalog {

void SequenceTrend::Start(const SequenceTable& table, const uint8_t (&startStates)[kChannelCount]) {
  table_ = table;
  rows_ = 0;
  while (rows_ < kSequenceRows && table_[rows_].signal != 0) ++rows_;
  for (SequenceRow& r : table_) r.event = r.event != 0 ? 1 : 0;
  matcher_.StartPass(table_, startStates);
  runs.clear();
  occurrences.clear();
}

void SequenceTrend::Step(uint8_t channel, uint8_t oldState, uint8_t newState, double time) {
  // The row this change may match, as the matcher will see it.
  const int at = matcher_.SequencePosition >= rows_ ? 0 : matcher_.SequencePosition;
  const bool fromZero = matcher_.StateZeroMismatch == 0;
  const bool matches = table_[at].signal == channel && table_[at].event == newState && (at > 0 || fromZero);
  const bool violation = matcher_.Step(channel, oldState, newState, time);
  if (!matches) {
    current_.stepSeconds.clear();  // out of turn: the run is abandoned
    return;
  }
  if (at == 0) {
    current_ = SequenceRun{};
    current_.start = time;
  }
  if (static_cast<int>(current_.stepSeconds.size()) != at) {
    current_.stepSeconds.clear();
    return;
  }
  current_.stepSeconds.push_back(SecondsBetween(current_.start, time));
  current_.violation = current_.violation || violation;
  if (at + 1 == rows_) {
    Occurrence o;
    o.kind = OccurrenceKind::SequenceRun;
    o.start = current_.start;
    o.seconds = current_.stepSeconds.back();
    o.run = static_cast<uint32_t>(runs.size());
    occurrences.push_back(o);
    runs.push_back(std::move(current_));
    current_ = SequenceRun{};
  }
}

}  // namespace korvalog
