#pragma once
// The changes the user makes through the channel grid: renaming a channel,
// moving a row, and setting up the search from the Search and waveform
// columns. Rows are counted from 1 (row 0 is the header).
#include <string_view>

#include "core/capture_data.h"
#include "core/trace_list.h"

namespace korvalog {

// The channel shown in grid row `row` (1..128); 0 for any other row.
inline int ChannelOfRow(const TraceList& traces, int row) { return traces.ChannelAt(row); }

// The first 32 characters become the row's channel name. DataModified is
// set only when the store holds events (an empty capture has nothing to lose).
void SetChannelNameFromEdit(CaptureData& data, TraceList& traces, int row, std::string_view text);

// Takes the row's channel out and puts it in at `to`; the rows between move
// by one. The header row cannot move. False when nothing moved.
bool MoveDisplayRow(CaptureData& data, TraceList& traces, int from, int to);

// Not searched -> search HIGH -> search LOW -> not searched; any other value
// is left alone. Search changes, like names and row moves, mark the capture
// modified when it holds events.
void CycleSearchCondition(CaptureData& data, TraceList& traces, int channel);

// Only `channel` is searched, for HIGH.
void SearchOnlyHigh(CaptureData& data, TraceList& traces, int channel);

}  // namespace korvalog
