#include "analysis/report_csv.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace korvalog {

std::string SecondsText(double seconds) {
  // Whole milliseconds printed by hand: no locale decides the point.
  const int64_t ms = std::llround(seconds * 1000.0);
  const int64_t whole = std::llabs(ms) / 1000, frac = std::llabs(ms) % 1000;
  std::string text = (ms < 0 ? "-" : "") + std::to_string(whole) + ".";
  const std::string f = std::to_string(frac);
  text += std::string(3 - f.size(), '0') + f;
  return text;
}

std::string OccurrenceDetailText(const LiftReport& report, const Occurrence& o) {
  if (o.kind == OccurrenceKind::Flight) return std::to_string(o.floorsTravelled);
  if (o.kind != OccurrenceKind::SequenceRun) return std::string(DetailKey(o.detail));
  const SequenceRun& run = report.sequence.runs[o.run];
  std::string text;
  for (double s : run.stepSeconds) text += (text.empty() ? "" : " ") + SecondsText(s);
  if (run.violation) text += " violation";
  return text;
}

std::string ReportCsv(const LiftReport& report) {
  std::string out = "kind,start_s,duration_s,channel,floor,detail\r\n";
  for (const Occurrence& o : report.All()) {
    out += OccurrenceKey(o.kind);
    out += ',';
    out += SecondsText(SecondsBetween(report.Start(), o.start));
    out += ',';
    out += SecondsText(o.seconds);
    out += ',';
    if (o.channel != 0) out += std::to_string(o.channel);
    out += ',';
    if (o.floor != kNoFloor) out += std::to_string(o.floor);
    out += ',';
    out += OccurrenceDetailText(report, o);
    out += "\r\n";
  }
  return out;
}

std::string_view OccurrenceKey(OccurrenceKind kind) {
  static constexpr std::string_view kKeys[kOccurrenceKinds] = {
      "door_open", "door_close", "dwell",  "reopen", "trip",        "hall_wait",
      "car_service", "out_of_service", "chatter", "stuck", "sequence_run", "start_delay",
      "flight",    "fire_service", "inspection", "alarm"};
  return kKeys[static_cast<int>(kind) % kOccurrenceKinds];
}

std::string_view DetailKey(OccurrenceDetail detail) {
  static constexpr std::string_view kKeys[] = {"", "up", "down", "cancelled", "low"};
  return kKeys[static_cast<int>(detail) % 5];
}

}  // namespace korvalog
