#pragma once
// What the status bar says about the waveform under the pointer and what the
// Go to time dialog makes of a typed time: plain text from the model, for any
// window to show.
#include <string>
#include <string_view>

#include "chart/capture_lookup.h"
#include "core/capture_data.h"
#include "core/capture_view.h"

namespace korvalog {

// "01/01 0912:34.505  13 Door open: HIGH  Pulse=2.35  Period=10.20  Duty=23%":
// the time, the channel and its level at t, the length of the pulse t is in
// (previous change to next change) and the period and duty from the rising
// edges around t. Parts that have no changes to go by are left out.
std::string PointerReadoutText(const TraceList& traces, int channel, double t, const PulseReading& pulse);

// A channel as the chart names it: "5 Door open" (the number alone when it
// has no name).
std::string ChannelLabel(const TraceList& traces, int channel);

// The chart's stamp with the year after the day and month,
// "01/01/2025 0100:00.005": a wrong year must not look inside a capture.
std::string StampWithYear(double t);

struct TimeEntry {
  bool ok = false;
  double time = 0.0;
  std::string message;  // why it was refused
};

// A time as the chart shows it ("10/03 0800:44.123"), seconds from the
// capture start ("12.5") or ISO 8601 ("2025-03-10T08:00:44.123"). Refused
// when unreadable or outside the capture, with the capture's span named.
TimeEntry ReadGoToTime(std::string_view text, const CaptureData& data);

}  // namespace korvalog
