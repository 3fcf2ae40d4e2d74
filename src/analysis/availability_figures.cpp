#include "analysis/availability_figures.h"

#include <algorithm>

#include "core/channel_roles.h"

namespace korvalog {

std::string_view ShutdownCauseText(ShutdownCause cause) {
  static constexpr std::string_view kTexts[] = {"out of service", "fire service", "inspection", "alarm"};
  return kTexts[static_cast<int>(cause) % 4];
}

void AvailabilityFigures::Start(double start, const uint8_t (&levels)[kChannelCount], const ChannelRoles& roles) {
  start_ = start;
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    const ChannelRole r = roles[ch].role;
    tracked_[ch] = true;
    if (r == ChannelRole::OutOfService) {
      cause_[ch] = ShutdownCause::OutOfService;
      hasInput = true;
    } else if (r == ChannelRole::FireService) {
      cause_[ch] = ShutdownCause::FireService;
    } else if (r == ChannelRole::Inspection) {
      cause_[ch] = ShutdownCause::Inspection;
    } else if (r == ChannelRole::Alarm) {
      cause_[ch] = ShutdownCause::Alarm;
    } else {
      tracked_[ch] = false;
    }
    if (tracked_[ch] && levels[ch - 1] != 0) Open(ch, start, true);
  }
}

void AvailabilityFigures::Open(int ch, double at, bool cut) {
  on_[ch] = true;
  cut_[ch] = cut;
  since_[ch] = at;
  if (cause_[ch] == ShutdownCause::OutOfService && cut) cutAtStart = true;
  if (cause_[ch] == ShutdownCause::Alarm) {
    alarmActivations += cut ? 0 : 1;
    return;
  }
  if (shutDownInputs_++ == 0) {
    unionSince_ = MsOf(at);
    unionCut_ = cut;
    if (!cut) shutdownStarts.push_back(at);
  }
}

void AvailabilityFigures::Close(int ch, double at, bool cut) {
  on_[ch] = false;
  const ShutdownCause cause = cause_[ch];
  const double seconds = SecondsBetween(since_[ch], at);
  if (cause == ShutdownCause::OutOfService) outOfServiceSeconds += seconds;
  log.push_back({since_[ch], at, seconds, cause, static_cast<uint8_t>(ch), cut_[ch], cut});
  if (!cut_[ch] && !cut) {
    Occurrence o;
    o.kind = cause == ShutdownCause::OutOfService ? OccurrenceKind::OutOfService
             : cause == ShutdownCause::FireService ? OccurrenceKind::FireService
             : cause == ShutdownCause::Inspection  ? OccurrenceKind::Inspection
                                                   : OccurrenceKind::Alarm;
    o.channel = static_cast<uint8_t>(ch);
    o.start = since_[ch];
    o.seconds = seconds;
    (cause == ShutdownCause::OutOfService  ? spells
     : cause == ShutdownCause::FireService ? fireService
     : cause == ShutdownCause::Inspection  ? inspection
                                           : alarms)
        .push_back(o);
  }
  if (cause == ShutdownCause::Alarm) return;
  if (--shutDownInputs_ == 0) {
    union_.push_back({unionSince_, std::max(unionSince_, MsOf(at))});
    shutdowns += unionCut_ ? 0 : 1;
  }
}

void AvailabilityFigures::Edge(const InputEdge& e) {
  if (!tracked_[e.channel] || e.on == on_[e.channel]) return;
  if (e.on) {
    Open(e.channel, e.time, false);
  } else {
    Close(e.channel, e.time, false);
  }
}

void AvailabilityFigures::Finish(double end) {
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    if (!tracked_[ch] || !on_[ch]) continue;
    if (cause_[ch] == ShutdownCause::OutOfService) cutAtEnd = true;
    Close(ch, end, true);
  }
  std::stable_sort(log.begin(), log.end(), [](const ShutdownEntry& a, const ShutdownEntry& b) {
    return MsOf(a.start) < MsOf(b.start);
  });
  shutdownSeconds = 0;
  for (const Span& s : union_) shutdownSeconds += static_cast<double>(s.to - s.from) / 1000.0;
  spanSeconds = SecondsBetween(start_, end);
  inServiceSeconds = std::max(0.0, spanSeconds - shutdownSeconds);
  availabilityPercent = spanSeconds > 0 ? 100.0 * inServiceSeconds / spanSeconds : 100.0;
  meanSecondsBetweenShutdowns = shutdowns > 0 ? inServiceSeconds / shutdowns : 0.0;
}

bool AvailabilityFigures::ShutDownDuring(double from, double to, size_t& hint) const {
  if (union_.empty()) return false;
  const int64_t a = MsOf(from), b = std::max(a, MsOf(to));
  // The first shutdown that ends after `a`: on from the hint, or searched
  // for when `a` lies before it.
  size_t i = hint;
  if (i > union_.size() || (i > 0 && union_[i - 1].to > a)) {
    i = std::upper_bound(union_.begin(), union_.end(), a, [](int64_t t, const Span& s) { return t < s.to; }) -
        union_.begin();
  }
  while (i < union_.size() && union_[i].to <= a) ++i;
  hint = i;
  if (i == union_.size()) return false;
  return a == b ? union_[i].from <= a : union_[i].from < b;
}

double AvailabilityFigures::ShutdownSecondsWithin(double from, double to) const {
  const int64_t a = MsOf(from), b = MsOf(to);
  int64_t ms = 0;
  auto it = std::upper_bound(union_.begin(), union_.end(), a, [](int64_t t, const Span& s) { return t < s.to; });
  for (; it != union_.end() && it->from < b; ++it) ms += std::min(b, it->to) - std::max(a, it->from);
  return static_cast<double>(ms) / 1000.0;
}

}  // namespace korvalog
