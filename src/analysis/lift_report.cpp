#include "analysis/lift_report.h"

#include <algorithm>
#include <cmath>

namespace korvalog {
namespace {

constexpr double kHour = 1.0 / 24.0;
// A damaged stamp years away must not make millions of bins: later hours
// and days are counted in the last bin.
constexpr int kMaxBins = 10000;

int BinCount(double first, double end, double width) {
  const double n = std::floor((end - first) / width) + 1;
  return n < 1 ? 1 : (n > kMaxBins ? kMaxBins : static_cast<int>(n));
}

int BinOf(double t, double first, double width, int count) {
  const int i = static_cast<int>(std::floor((t - first) / width));
  return i < 0 ? 0 : (i >= count ? count - 1 : i);
}

// Inputs on for hours by design: service states, and the door held closed
// (its close command and closed limit) and the level zone of a car standing
// idle.
bool MayStayOn(ChannelRole r) {
  return r == ChannelRole::OutOfService || r == ChannelRole::FireService || r == ChannelRole::Inspection ||
         r == ChannelRole::DoorCloseRelay || r == ChannelRole::DoorClosedLimit || r == ChannelRole::Level;
}

}  // namespace

void LiftReport::Compute(const CaptureData& data, const SequenceTable& pattern, const ChannelRoles& roles,
                         const ReportOptions& options) {
  *this = LiftReport{};
  roles_ = roles;
  present_ = data.DataPresent.load(std::memory_order_acquire) != 0;
  start_ = data.CaptureStart.time;
  end_ = std::max(data.CaptureEnd.time, start_);
  uint8_t levels[kChannelCount];
  for (int i = 0; i < kChannelCount; ++i) levels[i] = data.CaptureStart.states[i] != 0 ? 1 : 0;

  const double hour0 = std::floor(start_ * 24.0 + 1e-9) / 24.0;
  const int hourCount = BinCount(hour0, end_, kHour);
  doors.Start(roles.Has(ChannelRole::DoorOpenLimit), roles.Has(ChannelRole::DoorClosedLimit));
  trips.Start(roles.Has(ChannelRole::MotorUp) || roles.Has(ChannelRole::MotorDown), options.shortRunSeconds);
  bool oosAtStart = false;
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    if (roles[ch].role == ChannelRole::OutOfService && levels[ch - 1] != 0) oosAtStart = true;
  }
  availability.Start(start_, oosAtStart);
  availability.hasInput = roles.Has(ChannelRole::OutOfService);
  health.Start(start_, levels, hour0, hourCount, options.chatterSeconds, options.stuckSeconds);
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    if (MayStayOn(roles[ch].role)) health.ExemptFromStuck(ch);
  }
  sequence.Start(pattern, levels);
  if (!present_) return;

  // One pass: each real change goes to the input health, to the Sequencer
  // runs when a row names its channel, and to the family its role feeds.
  enum Family : uint8_t { kNone, kDoors, kTrips, kCalls, kAvailability };
  uint8_t family[kChannelCount + 1] = {};
  bool involved[kChannelCount + 1] = {};
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    switch (roles[ch].role) {
      case ChannelRole::DoorOpenRelay:
      case ChannelRole::DoorCloseRelay:
      case ChannelRole::DoorOpenLimit:
      case ChannelRole::DoorClosedLimit:
      case ChannelRole::DoorReopen:
        family[ch] = kDoors;
        break;
      case ChannelRole::MotorUp:
      case ChannelRole::MotorDown:
      case ChannelRole::MotorRun:
        family[ch] = kTrips;
        break;
      case ChannelRole::HallUp:
      case ChannelRole::HallDown:
      case ChannelRole::CarCall:
        family[ch] = kCalls;
        break;
      case ChannelRole::OutOfService:
        family[ch] = kAvailability;
        break;
      default:
        break;
    }
    involved[ch] = sequence.Involves(ch);
  }
  const uint32_t count = std::min(data.Store.Count(), data.CaptureEnd.index);
  const EventRecord* events = data.Store.Data();
  for (uint32_t i = data.CaptureStart.index; i < count; ++i) {
    const EventRecord& ev = events[i];
    const unsigned c = ev.channel;
    if (c - 1u >= static_cast<unsigned>(kChannelCount)) continue;
    const uint8_t state = ev.state != 0 ? 1 : 0;
    const uint8_t old = levels[c - 1];
    if (old == state) continue;
    levels[c - 1] = state;
    const ChannelRoleEntry& r = roles[static_cast<int>(c)];
    const InputEdge e{ev.time, static_cast<uint8_t>(c), state != 0, r.role, r.floor};
    health.Edge(e);
    if (involved[c]) sequence.Edge(static_cast<uint8_t>(c), old, state, e.time);
    switch (family[c]) {
      case kNone:
        break;
      case kDoors:
        doors.Edge(e);
        break;
      case kTrips:
        trips.Edge(e);
        break;
      case kCalls:
        calls.Edge(e);
        break;
      default:
        availability.Edge(e);
        break;
    }
  }
  doors.Finish(end_);
  trips.Finish(end_);
  calls.Finish(end_, doors.cycleStarts);
  availability.Finish(end_);
  health.Finish(end_);
  // What spans a link gap was measured across inputs nobody saw.
  linkGaps.spans = GapsWithin(data.Gaps.Spans(), start_, end_);
  linkGaps.seconds = GapDaysWithin(linkGaps.spans, start_, end_) * kSecondsPerDay;
  for (Occurrences* list : {&doors.opening, &doors.closing, &doors.dwell, &doors.reopens, &trips.trips,
                            &calls.hallWaits, &calls.carService, &availability.spells, &health.chatter,
                            &health.stuck}) {
    linkGaps.leftOut += LeaveOutAcrossGaps(*list, linkGaps.spans);
  }
  Bin();
}

void LiftReport::Bin() {
  const double hour0 = std::floor(start_ * 24.0 + 1e-9) / 24.0;
  const int hourCount = BinCount(hour0, end_, kHour);
  const double day0 = std::floor(start_ + 1e-9);
  const int dayCount = BinCount(day0, end_, 1.0);
  hours.assign(static_cast<size_t>(hourCount), {});
  days.assign(static_cast<size_t>(dayCount), {});
  for (int i = 0; i < hourCount; ++i) hours[i].start = hour0 + i * kHour;
  for (int i = 0; i < dayCount; ++i) days[i].start = day0 + i;
  const auto each = [&](double t, auto add) {
    add(hours[BinOf(t, hour0, kHour, hourCount)]);
    add(days[BinOf(t, day0, 1.0, dayCount)]);
  };
  for (const Occurrence& o : trips.trips) each(o.start, [](ReportBin& b) { ++b.trips; });
  for (const Occurrence& o : calls.hallWaits) {
    each(o.start, [&o](ReportBin& b) {
      ++b.hallCalls;
      if (o.detail != OccurrenceDetail::Cancelled) {
        b.hallWaitTotal += o.seconds;
        ++b.hallWaitCount;
      }
    });
  }
  for (const Occurrence& o : calls.carService) each(o.start, [](ReportBin& b) { ++b.carCalls; });
  for (double t : doors.cycleStarts) each(t, [](ReportBin& b) { ++b.doorCycles; });
  for (const Occurrence& o : doors.reopens) each(o.start, [](ReportBin& b) { ++b.reopens; });
  for (const Occurrence& o : health.chatter) each(o.start, [](ReportBin& b) { ++b.chatter; });
}

FigureSummary LiftReport::RunTimes(OccurrenceDetail direction) const {
  Occurrences chosen;
  for (const Occurrence& o : trips.trips) {
    if (direction == OccurrenceDetail::None || o.detail == direction) chosen.push_back(o);
  }
  return Summarize(chosen);
}

FigureSummary LiftReport::HallWaits() const {
  Occurrences answered;
  for (const Occurrence& o : calls.hallWaits) {
    if (o.detail != OccurrenceDetail::Cancelled) answered.push_back(o);
  }
  return Summarize(answered);
}

double LiftReport::TripsPerHour() const {
  const double span = SpanSeconds();
  return span > 0 ? static_cast<double>(trips.trips.size()) * 3600.0 / span : 0.0;
}

Occurrences LiftReport::All() const {
  Occurrences all;
  for (const Occurrences* list : {&doors.opening, &doors.closing, &doors.dwell, &doors.reopens, &trips.trips,
                                  &calls.hallWaits, &calls.carService, &availability.spells, &health.chatter,
                                  &health.stuck, &sequence.occurrences}) {
    all.insert(all.end(), list->begin(), list->end());
  }
  std::stable_sort(all.begin(), all.end(), [](const Occurrence& a, const Occurrence& b) {
    const int64_t ma = std::llround(a.start * kMsPerDay), mb = std::llround(b.start * kMsPerDay);
    return ma != mb ? ma < mb : a.kind < b.kind;
  });
  return all;
}

}  // namespace korvalog
