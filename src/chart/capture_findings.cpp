#include "chart/capture_findings.h"

#include <cstring>

#include "analysis/sequence_matcher.h"
#include "chart/snapshot_walk.h"

namespace korvalog {

bool FindingsKey::operator==(const FindingsKey& other) const {
  return count == other.count && std::memcmp(conditions, other.conditions, sizeof conditions) == 0 &&
         std::memcmp(sequence.data(), other.sequence.data(), sizeof(SequenceRow) * sequence.size()) == 0;
}

FindingsKey FindingsKeyOf(const CaptureData& data, const CaptureView& view) {
  FindingsKey key;
  key.count = data.Store.Count();
  for (int c = 0; c < kChannelCount; ++c) key.conditions[c] = view.Traces.Search(c + 1);
  key.sequence = view.Sequence;
  return key;
}

CaptureFindings FindInCapture(const CaptureData& data, const CaptureView& view) {
  CaptureFindings found;
  if (data.DataPresent.load(std::memory_order_acquire) == 0) return found;
  EventWalker walker(data, view);
  PositionSnapshot w = data.CaptureStart;
  w.index = 0;
  NormaliseStates(w);
  walker.StartPass(w);
  SequenceTable rows = view.Sequence;
  for (SequenceRow& row : rows) row.event = row.event != 0 ? 1 : 0;
  bool relevant[kChannelCount];
  for (int c = 0; c < kChannelCount; ++c) relevant[c] = walker.Involved(c + 1);
  const uint32_t end = walker.EndIndex(data.CaptureEnd);
  const EventRecord* events = walker.Events();
  SequenceMatcher& m = walker.Matcher;
  GapCursor gaps(data.Gaps.Spans(), data.CaptureStart.time);
  for (uint32_t i = 0; i < end; ++i) {
    const EventRecord& e = events[i];
    const unsigned c = e.channel - 1u;
    if (c >= static_cast<unsigned>(kChannelCount) || !relevant[c]) continue;
    if (gaps.Crossed(e.time)) [[unlikely]] walker.RestartAfterGap(w);
    const bool matchBefore = walker.SearchMismatch == 0;
    // The matcher's view before the event, to tell which limit broke.
    int due = m.SequencePosition;
    if (due >= kSequenceRows || rows[due].signal == 0) due = 0;
    const double lastStep = m.LastStepTime;
    w.index = i;
    const bool violation = walker.StepEvent(w);
    if (!matchBefore && walker.SearchMismatch == 0) found.matchStarts.push_back({i, e.time});
    if (!violation) continue;
    SequenceViolation v;
    v.index = i;
    v.time = e.time;
    v.step = due + 1;
    v.channel = static_cast<int>(c + 1);
    v.took = due > 0 ? e.time - lastStep : 0.0;
    const SequenceRow& expected = rows[due];
    if (due > 0 && expected.signal == e.channel && expected.event == (e.state != 0 ? 1 : 0)) {
      const SequenceRow& previous = rows[due - 1];
      const int64_t gap = GapToWholeSeconds(e.time - lastStep);
      const bool soon = previous.minTime > 0 && gap < previous.minTime;
      v.kind = soon ? ViolationKind::TooSoon : ViolationKind::TooLate;
      v.limitSeconds = soon ? previous.minTime : previous.maxTime;
    }
    found.violations.push_back(v);
  }
  return found;
}

std::string ViolationKindText(ViolationKind kind) {
  switch (kind) {
    case ViolationKind::TooSoon: return "Too soon";
    case ViolationKind::TooLate: return "Too late";
    case ViolationKind::OutOfTurn: return "Out of turn";
  }
  return {};
}

std::string ViolationLimitText(const SequenceViolation& v) {
  switch (v.kind) {
    case ViolationKind::TooSoon: return "min " + std::to_string(v.limitSeconds) + " s";
    case ViolationKind::TooLate: return "max " + std::to_string(v.limitSeconds) + " s";
    case ViolationKind::OutOfTurn: return {};
  }
  return {};
}

}  // namespace korvalog
