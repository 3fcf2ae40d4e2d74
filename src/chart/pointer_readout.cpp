#include "chart/pointer_readout.h"

#include <algorithm>
#include <cmath>

#include "base/date_time.h"

#include "base/time_text.h"
#include "core/capture_data.h"
#include "project/export_range.h"

namespace korvalog {
namespace {

std::string ChannelLabel(const TraceList& traces, int channel) {
  const ChannelRecord& r = traces.Record(channel);
  const size_t n = r.nameLength < kChannelNameMax ? r.nameLength : kChannelNameMax;
  return std::to_string(channel) + " " + std::string(r.nameChars, n);
}

}  // namespace

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
  const std::string span = "The capture runs from " + FormatTimeStamp(data.CaptureStart.time) + " to " +
                           FormatTimeStamp(data.CaptureEnd.time) + ".";
  if (text.empty() || !ParseExportTime(text, data, t)) {
    entry.message = "Not a time: type it as the chart shows it (dd/mm hhnn:ss.zzz), seconds from the start, or "
                    "ISO 8601. " + span;
    return entry;
  }
  // The ends' own stamps (shown to the millisecond, 5 ms on) still count as
  // inside; they are held to the capture.
  const double slack = 10.0 / kMsPerDay;
  if (!(t >= data.CaptureStart.time - slack && t <= data.CaptureEnd.time + slack)) {
    entry.message = FormatTimeStamp(t) + " is outside the capture. " + span;
    return entry;
  }
  entry.ok = true;
  entry.time = std::clamp(t, data.CaptureStart.time, data.CaptureEnd.time);
  return entry;
}

}  // namespace korvalog
