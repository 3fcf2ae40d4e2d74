#pragma once
// Helpers shared by the chart and the analysis windows that do not draw:
// time stamps, durations, channel colours, Sequencer step count, defaults.
#include <cstdint>
#include <string>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/records.h"

namespace korvalog {

// "dd/mm hhnn:ss.zzz" of the value plus 5 ms, e.g. "06/12 0834:56.794".
std::string FormatTimeStamp(double dateTime);

// Duration in days plus 5 ms, in one of four forms by magnitude:
// "D hh:nn", "h:nn:ss", "n:ss.zz", "s.zz". A negative duration (crossed
// cursors) is written as "-" followed by the form of its magnitude.
std::string FormatDuration(double days);

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

// Colour mode 1: 64 colours from four component levels; anything else: the
// 16-colour palette. Channels repeat every 64 or 16.
Rgb ChannelColour(int channel, uint8_t colourMode);

// Rows from row 1 up to the first whose signal is 0.
int CountSequenceSteps(const SequenceTable& table);

// No capture present; channel names "#n", search conditions ignore, empty
// Sequencer rows.
void SetStartupDefaults(CaptureData& data, CaptureView& view);

}  // namespace korvalog
