#pragma once
// What an export covers: a time range of the capture with the channel levels
// at its start and end, the channels that take part, and the reading of the
// times a user types for it.
#include <string>
#include <string_view>
#include <vector>

#include "core/capture_data.h"
#include "core/records.h"

namespace korvalog {

// from.index is the first exported event, to.index one past the last; both
// snapshots hold the channel levels at their time (from: before any event at
// from.time, to: after every exported event).
struct ExportRange {
  PositionSnapshot from;
  PositionSnapshot to;
};

// The whole capture: its own start and end snapshots (indices held to the
// stored events; no events when no data is present).
ExportRange WholeCaptureRange(const CaptureData& data);

// The events with from <= time <= to, compared to the millisecond, both held to the capture's span.
// Either bound may fall between events.
ExportRange MakeExportRange(const CaptureData& data, double from, double to);

enum class ChannelChoice { Changed, All };

// Channels in ascending number: every channel, or those with at least one
// event in the range that changes their level.
std::vector<int> ExportChannels(const CaptureData& data, const ExportRange& range, ChannelChoice choice);

// Reads a time typed for an export: seconds from the capture start ("12.5")
// or a time stamp as the dump writes it ("dd/mm hhnn:ss.zzz", which shows
// an event's time plus 5 ms, so the stamp of an event names that event), or
// an ISO 8601 local time ("2025-01-01T09:12:34.500") as the CSV writes it.
// A stamp without a year takes the year that puts it nearest the capture
// start. False when the text is none of these.
bool ParseExportTime(std::string_view text, const CaptureData& data, double& out);

// Milliseconds of `time` counted from `origin`, both rounded to whole
// milliseconds first, so every tool sees the same number.
int64_t MsFrom(double origin, double time);

}  // namespace korvalog
