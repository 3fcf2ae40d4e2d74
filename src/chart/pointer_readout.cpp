#include "chart/pointer_readout.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/date_time.h"

#include "base/time_text.h"
#include "core/capture_data.h"
#include "project/export_range.h"

namespace korvalog {
namespace {

// "-5": a number of seconds, but before the start.
bool IsNegativeSeconds(std::string_view text) {
  double seconds = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  return error == std::errc() && end == text.data() + text.size() && seconds < 0.0;
}

}  // namespace

std::string ChannelLabel(const TraceList& traces, int channel) {
  if (channel < 1 || channel > kChannelCount) return std::to_string(channel);
  const ChannelRecord& r = traces.Record(channel);
  const size_t n = r.nameLength < kChannelNameMax ? r.nameLength : kChannelNameMax;
  return std::to_string(channel) + " " + std::string(r.nameChars, n);
}

std::string StampWithYear(double t) {
  std::string stamp = FormatTimeStamp(t);
  const int year = FieldsFromMs(DateTimeToMs(t + 5.0 / kMsPerDay)).year;
  const size_t space = stamp.find(' ');
  if (space != std::string::npos) stamp.insert(space, "/" + std::to_string(year));
  return stamp;
}

std::string PointerReadoutText(const TraceList& traces, int channel, double t, const PulseReading& pulse) {
  if (channel < 1 || channel > kChannelCount) return {};
  std::string text = FormatTimeStamp(t);
  text += "  " + ChannelLabel(traces, channel) + (pulse.level != 0 ? ": HIGH" : ": LOW");
  if (pulse.previous && pulse.next) text += "  Pulse=" + FormatDuration(pulse.next->time - pulse.previous->time);
  if (pulse.period && *pulse.period > 0) {
    text += "  Period=" + FormatDuration(*pulse.period);
    if (pulse.highTime) {
      const long duty = std::lround(*pulse.highTime / *pulse.period * 100.0);
      text += "  Duty=" + std::to_string(duty) + "%";
    }
  }
  return text;
}

TimeEntry ReadGoToTime(std::string_view text, const CaptureData& data) {
  TimeEntry entry;
  if (data.DataPresent.load(std::memory_order_acquire) == 0) {
    entry.message = "There is no capture to go to.";
    return entry;
  }
  double t = 0.0;
  // Spaces around the text are the typing's, not the time's.
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  const std::string span = "The capture runs from " + StampWithYear(data.CaptureStart.time) + " to " +
                           StampWithYear(data.CaptureEnd.time) + ".";
  if (IsNegativeSeconds(text)) {
    entry.message = std::string(text) + " s is before the capture. " + span;
    return entry;
  }
  if (text.empty() || !ParseExportTime(text, data, t)) {
    entry.message = "Not a time: type it as the chart shows it (dd/mm hhnn:ss.zzz), seconds from the start, or "
                    "ISO 8601. " + span;
    return entry;
  }
  // The ends' own stamps (shown to the millisecond, 5 ms on) still count as
  // inside; they are held to the capture.
  const double slack = 10.0 / kMsPerDay;
  if (!(t >= data.CaptureStart.time - slack && t <= data.CaptureEnd.time + slack)) {
    entry.message = StampWithYear(t) + (t < data.CaptureStart.time ? " is before the capture. " : " is after the capture. ") + span;
    return entry;
  }
  entry.ok = true;
  entry.time = std::clamp(t, data.CaptureStart.time, data.CaptureEnd.time);
  return entry;
}

}  // namespace korvalog
