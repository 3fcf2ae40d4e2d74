#pragma once
// Availability and the shutdown log from the service-state inputs: out of
// service, fire service and inspection shut the lift down; an alarm is
// logged and counted. Every spell of each (an input's on time) goes into
// the log, cut ones included; the spells cut by the start or the end of the
// capture count towards the availability with the part inside the capture
// but are not measured spells. Where the causes overlap, the lift was shut
// down once: the union of their spells is the shutdown time, each period of
// that union that began inside the capture one shutdown.
#include <string_view>
#include <vector>

#include "analysis/report_edge.h"
#include "analysis/report_occurrence.h"
#include "core/records.h"

namespace korvalog {

enum class ShutdownCause : uint8_t { OutOfService, FireService, Inspection, Alarm };
// "out of service", "fire service", "inspection", "alarm".
std::string_view ShutdownCauseText(ShutdownCause cause);

struct ShutdownEntry {
  double start = 0, end = 0;  // date-times
  double seconds = 0;
  ShutdownCause cause{};
  uint8_t channel = 0;
  bool cutAtStart = false, cutAtEnd = false;
};

class AvailabilityFigures {
 public:
  // Levels of every input at the capture start, and their roles.
  void Start(double start, const uint8_t (&levels)[kChannelCount], const ChannelRoles& roles);
  void Edge(const InputEdge& e);
  void Finish(double end);
  // Did the lift stand shut down at any moment of [from, to] (date-times)?
  // A moment (from == to) counts when it falls inside a shutdown; a span
  // that only touches one's start or end does not.
  bool ShutDownDuring(double from, double to) const {
    size_t hint = 0;
    return ShutDownDuring(from, to, hint);
  }
  // The same for occurrences taken in time order: `hint` carries the place
  // from one to the next, so the search walks on instead of starting over.
  bool ShutDownDuring(double from, double to, size_t& hint) const;
  // Seconds of [from, to] the lift was shut down.
  double ShutdownSecondsWithin(double from, double to) const;

  Occurrences spells;                           // complete out-of-service spells
  Occurrences fireService, inspection, alarms;  // complete spells of the others
  std::vector<ShutdownEntry> log;               // every spell of every cause, by start
  double outOfServiceSeconds = 0;  // the out-of-service inputs' on time, cut spells included
  double shutdownSeconds = 0;      // out of service, fire service or inspection, once where they overlap
  double inServiceSeconds = 0;
  int shutdowns = 0;               // shutdown periods that began inside the capture
  std::vector<double> shutdownStarts;  // ... when each began (date-times)
  int alarmActivations = 0;
  double spanSeconds = 0;
  double availabilityPercent = 100;
  double meanSecondsBetweenShutdowns = 0;  // time in service / shutdowns; 0 without a shutdown
  bool cutAtStart = false, cutAtEnd = false;  // out of service when the capture began / ended
  bool hasInput = false;                      // an input has the out-of-service role

 private:
  struct Span {
    int64_t from, to;  // ms
  };
  void Open(int channel, double at, bool cut);
  void Close(int channel, double at, bool cut);

  double start_ = 0;
  ShutdownCause cause_[kChannelCount + 1] = {};
  bool tracked_[kChannelCount + 1] = {};
  bool on_[kChannelCount + 1] = {};
  bool cut_[kChannelCount + 1] = {};
  double since_[kChannelCount + 1] = {};
  int shutDownInputs_ = 0;  // shutting inputs on now
  int64_t unionSince_ = 0;
  bool unionCut_ = false;
  std::vector<Span> union_;
};

}  // namespace korvalog
