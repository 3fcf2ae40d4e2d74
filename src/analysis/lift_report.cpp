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
// An opening this long before a hall call's cancel still answers it (the
// controller cancels as the door starts to open, a little late).
constexpr int64_t kAnswerBeforeMs = 1000;

bool MayStayOn(ChannelRole r) {
  return r == ChannelRole::OutOfService || r == ChannelRole::FireService || r == ChannelRole::Inspection ||
         r == ChannelRole::DoorCloseRelay || r == ChannelRole::DoorClosedLimit || r == ChannelRole::Level;
}

// The figures a role's changes feed.
enum Family : uint8_t { kNone, kDoors, kTrips, kCalls, kService, kLevel };

Family FamilyOf(ChannelRole role) {
  switch (role) {
    case ChannelRole::DoorOpenRelay:
    case ChannelRole::DoorCloseRelay:
    case ChannelRole::DoorOpenLimit:
    case ChannelRole::DoorClosedLimit:
    case ChannelRole::DoorReopen:
      return kDoors;
    case ChannelRole::MotorUp:
    case ChannelRole::MotorDown:
    case ChannelRole::MotorRun:
      return kTrips;
    case ChannelRole::HallUp:
    case ChannelRole::HallDown:
    case ChannelRole::CarCall:
      return kCalls;
    case ChannelRole::OutOfService:
    case ChannelRole::FireService:
    case ChannelRole::Inspection:
    case ChannelRole::Alarm:
      return kService;
    case ChannelRole::Level:
      return kLevel;
    default:
      return kNone;
  }
}

// Hands each real change to the figures its role feeds, and keeps what the
// hall calls' answers rest on: the run starts, and the door openings made
// while the car stood at a floor.
class ChangeRouter {
 public:
  ChangeRouter(LiftReport& report, const ChannelRoles& roles, const uint8_t* levels, AnswerEvidence& evidence)
      : report_(report), evidence_(evidence), levelKnown_(roles.Has(ChannelRole::Level)) {
    for (int ch = 1; ch <= kChannelCount; ++ch) {
      family_[ch] = FamilyOf(roles[ch].role);
      if (family_[ch] == kLevel) levelsOn_ += levels[ch - 1];
      involved_[ch] = report.sequence.Involves(ch);
    }
  }

  void Change(const InputEdge& e, uint8_t old) {
    report_.health.Edge(e);
    if (involved_[e.channel]) report_.sequence.Edge(e.channel, old, e.on ? 1 : 0, e.time);
    switch (family_[e.channel]) {
      case kNone:
        break;
      case kDoors:
        DoorChange(e);
        break;
      case kTrips:
        report_.trips.Edge(e);
        if (e.on) {
          evidence_.runStartsMs.push_back(MsOf(e.time));
          levelMadeSinceRun_ = false;
        }
        break;
      case kCalls:
        report_.calls.Edge(e);
        break;
      case kLevel:
        levelsOn_ += e.on ? 1 : -1;
        if (e.on) {
          report_.trips.LevelMade();
          levelMadeSinceRun_ = true;
        }
        break;
      default:
        report_.availability.Edge(e);
        break;
    }
  }

 private:
  void DoorChange(const InputEdge& e) {
    TripFigures& trips = report_.trips;
    report_.doors.Edge(e);
    if (e.role == ChannelRole::DoorClosedLimit) {
      if (e.on) {
        trips.DoorClosed(e.time, report_.calls.Registered());
      } else {
        trips.DoorLeftClosed();
      }
    } else if (e.role == ChannelRole::DoorOpenRelay && e.on) {
      trips.DoorLeftClosed();
      // An opening answers a call only where the car stood at a floor:
      // stopped, in the level zone or having made it on its last run
      // (a level sensor may give a pulse per floor rather than a zone).
      if (!trips.Running() && (!levelKnown_ || levelsOn_ > 0 || levelMadeSinceRun_)) {
        evidence_.openingsMs.push_back(MsOf(e.time));
      }
    }
  }

  LiftReport& report_;
  AnswerEvidence& evidence_;
  const bool levelKnown_;
  uint8_t family_[kChannelCount + 1] = {};
  bool involved_[kChannelCount + 1] = {};
  int levelsOn_ = 0;
  bool levelMadeSinceRun_ = true;  // before the first run the car is taken to stand at a floor
};

}  // namespace

void LiftReport::Compute(const CaptureData& data, const SequenceTable& pattern, const ChannelRoles& roles,
                         const ReportOptions& options) {
  *this = LiftReport{};
  roles_ = roles;
  options_ = options;
  present_ = data.DataPresent.load(std::memory_order_acquire) != 0;
  start_ = data.CaptureStart.time;
  end_ = std::max(data.CaptureEnd.time, start_);
  uint8_t levels[kChannelCount];
  for (int i = 0; i < kChannelCount; ++i) levels[i] = data.CaptureStart.states[i] != 0 ? 1 : 0;
  StartFigures(pattern, levels);
  if (!present_) return;
  AnswerEvidence evidence;
  evidence.doorsKnown = roles.Has(ChannelRole::DoorOpenRelay);
  evidence.beforeMs = kAnswerBeforeMs;
  evidence.windowMs = std::llround(options.answerWindowSeconds * 1000.0);
  WalkChanges(data, levels, evidence);
  FinishFigures(data, evidence);
}

void LiftReport::StartFigures(const SequenceTable& pattern, const uint8_t (&levels)[kChannelCount]) {
  const ChannelRoles& roles = roles_;
  const ReportOptions& options = options_;
  const double hour0 = std::floor(start_ * 24.0 + 1e-9) / 24.0;
  const int hourCount = BinCount(hour0, end_, kHour);
  doors.Start(roles.Has(ChannelRole::DoorOpenLimit), roles.Has(ChannelRole::DoorClosedLimit),
              roles.Has(ChannelRole::DoorReopen), options.reopenGapSeconds, options.closingLongestSeconds);
  const bool callsKnown =
      roles.Has(ChannelRole::HallUp) || roles.Has(ChannelRole::HallDown) || roles.Has(ChannelRole::CarCall);
  trips.Start(roles.Has(ChannelRole::MotorUp) || roles.Has(ChannelRole::MotorDown), options.shortRunSeconds,
              callsKnown);
  availability.Start(start_, levels, roles);
  health.Start(start_, levels, hour0, hourCount, options.chatterSeconds, options.stuckSeconds);
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    if (MayStayOn(roles[ch].role)) health.ExemptFromStuck(ch);
  }
  sequence.Start(pattern, levels);
}

void LiftReport::WalkChanges(const CaptureData& data, uint8_t (&levels)[kChannelCount], AnswerEvidence& evidence) {
  // One pass: each real change goes to the input health, to the Sequencer
  // runs when a row names its channel, and to the family its role feeds.
  ChangeRouter router(*this, roles_, levels, evidence);
  const uint32_t count = std::min(data.Store.Count(), data.CaptureEnd.index);
  const EventRecord* events = data.Store.Data();
  // A clock set back while capturing stamps later changes earlier: each is
  // taken no earlier than the one before and within the span, so that no
  // figure runs backwards.
  double latest = start_;
  for (uint32_t i = data.CaptureStart.index; i < count; ++i) {
    const EventRecord& ev = events[i];
    const unsigned c = ev.channel;
    if (c - 1u >= static_cast<unsigned>(kChannelCount)) continue;
    const uint8_t state = ev.state != 0 ? 1 : 0;
    const uint8_t old = levels[c - 1];
    if (old == state) continue;
    levels[c - 1] = state;
    const ChannelRoleEntry& r = roles_[static_cast<int>(c)];
    latest = std::min(std::max(latest, static_cast<double>(ev.time)), end_);
    router.Change(InputEdge{latest, static_cast<uint8_t>(c), state != 0, r.role, r.floor}, old);
  }
}

void LiftReport::FinishFigures(const CaptureData& data, AnswerEvidence& evidence) {
  doors.Finish(end_);
  trips.Finish(end_);
  availability.Finish(end_);
  health.Finish(end_);
  // Stamps out of order, or runs of two motor inputs that overlap, must not
  // break the searches below.
  const auto byStart = [](const Occurrence& a, const Occurrence& b) { return a.start < b.start; };
  if (!std::is_sorted(trips.trips.begin(), trips.trips.end(), byStart)) {
    std::stable_sort(trips.trips.begin(), trips.trips.end(), byStart);
  }
  std::sort(evidence.openingsMs.begin(), evidence.openingsMs.end());
  std::sort(evidence.runStartsMs.begin(), evidence.runStartsMs.end());
  calls.Finish(end_, evidence);
  // Where the car stood, from every trip and call before any is left out.
  position.Compute(trips.trips, calls.hallWaits, calls.carService, evidence, roles_.Has(ChannelRole::Level));
  LeaveOutShutdowns();
  // What spans a link gap was measured across inputs nobody saw.
  linkGaps.spans = GapsWithin(data.Gaps.Spans(), start_, end_);
  linkGaps.seconds = GapDaysWithin(linkGaps.spans, start_, end_) * kSecondsPerDay;
  for (Occurrences* list : {&doors.opening, &doors.closing, &doors.dwell, &doors.reopens, &trips.trips,
                            &trips.startDelays, &calls.hallWaits, &calls.carService, &availability.spells,
                            &health.chatter, &health.stuck}) {
    linkGaps.leftOut += LeaveOutAcrossGaps(*list, linkGaps.spans);
  }
  performance.Compute(doors.closing, trips.startDelays, trips.trips, doors.opening, evidence.windowMs);
  floors = FiguresByFloor(position, roles_, calls.hallWaits, doors.opening, doors.closing, doors.dwell, doors.reopens,
                          doors.cycleStarts);
  Bin();
}

void LiftReport::LeaveOutShutdowns() {
  if (availability.shutdownSeconds <= 0) return;
  const AvailabilityFigures& a = availability;
  for (Occurrences* list : {&doors.opening, &doors.closing, &doors.dwell, &doors.reopens, &trips.trips,
                            &trips.startDelays, &calls.hallWaits, &calls.carService}) {
    size_t hint = 0;
    list->erase(std::remove_if(list->begin(), list->end(),
                               [&a, &hint](const Occurrence& o) {
                                 return a.ShutDownDuring(o.start, o.start + o.seconds / kSecondsPerDay, hint);
                               }),
                list->end());
  }
  size_t hint = 0;
  doors.cycleStarts.erase(std::remove_if(doors.cycleStarts.begin(), doors.cycleStarts.end(),
                                         [&a, &hint](double t) { return a.ShutDownDuring(t, t, hint); }),
                          doors.cycleStarts.end());
  trips.shortRuns = static_cast<int>(std::count_if(trips.trips.begin(), trips.trips.end(), [this](const Occurrence& o) {
    return o.seconds < trips.shortRunSeconds;
  }));
  calls.Recount();
  // An input is stuck only by the time it stayed on while the lift was in
  // service: a door held open out of service is not a fault.
  const double threshold = options_.stuckSeconds;
  health.stuck.erase(std::remove_if(health.stuck.begin(), health.stuck.end(),
                                    [&](const Occurrence& o) {
                                      const double end = o.start + o.seconds / kSecondsPerDay;
                                      if (o.seconds - a.ShutdownSecondsWithin(o.start, end) >= threshold) return false;
                                      --health.channels[o.channel - 1].stuckSpells;
                                      return true;
                                    }),
                     health.stuck.end());
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
      if (o.detail == OccurrenceDetail::Cancelled) {
        ++b.hallCallsCancelled;
        return;
      }
      ++b.hallCalls;
      b.hallWaitTotal += o.seconds;
      ++b.hallWaitCount;
    });
  }
  for (double t : availability.shutdownStarts) each(t, [](ReportBin& b) { ++b.shutdowns; });
  for (const ShutdownEntry& s : availability.log) {
    if (s.cause == ShutdownCause::Alarm && !s.cutAtStart) each(s.start, [](ReportBin& b) { ++b.alarms; });
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
  const double inService = availability.inServiceSeconds;
  return inService > 0 ? static_cast<double>(trips.trips.size()) * 3600.0 / inService : 0.0;
}

double LiftReport::ReopensPer100Cycles() const {
  const size_t cycles = doors.cycleStarts.size();
  return cycles > 0 ? 100.0 * static_cast<double>(doors.reopens.size()) / static_cast<double>(cycles) : 0.0;
}

Occurrences LiftReport::All() const {
  const Occurrences* lists[] = {&doors.opening,      &doors.closing,        &doors.dwell,
                                &doors.reopens,      &trips.trips,          &calls.hallWaits,
                                &calls.carService,   &availability.spells,  &health.chatter,
                                &health.stuck,       &sequence.occurrences, &trips.startDelays,
                                &performance.flights, &availability.fireService, &availability.inspection,
                                &availability.alarms};
  size_t total = 0;
  for (const Occurrences* list : lists) total += list->size();
  // Sorted by keys (the millisecond, then the kind, then the order they
  // were gathered in) rather than by comparing whole occurrences.
  std::vector<std::pair<int64_t, uint64_t>> keys;
  keys.reserve(total);
  for (const Occurrences* list : lists) {
    for (const Occurrence& o : *list) {
      keys.emplace_back(MsOf(o.start), (static_cast<uint64_t>(o.kind) << 40) | keys.size());
    }
  }
  std::sort(keys.begin(), keys.end());
  std::vector<const Occurrence*> byIndex;
  byIndex.reserve(total);
  for (const Occurrences* list : lists) {
    for (const Occurrence& o : *list) byIndex.push_back(&o);
  }
  Occurrences all;
  all.reserve(total);
  for (const auto& k : keys) all.push_back(*byIndex[k.second & ((uint64_t{1} << 40) - 1)]);
  return all;
}

}  // namespace korvalog
