#pragma once
// Exports for other tools: a value change dump (IEEE 1364 VCD) for waveform
// viewers and a CSV table for spreadsheets, of a range of the capture and a
// chosen set of channels named as `traces` names them. Both count times from
// the capture start.
#include <string>
#include <vector>

#include "core/capture_data.h"
#include "core/trace_list.h"
#include "project/export_range.h"
#include "project/project_file.h"

namespace korvalog {

// One 1-bit wire per channel (named by WireName, in the order given), a
// timescale of 1 ms, $date from the capture start, $dumpvars with the levels
// at the range start, then the changes in time order (several at one
// millisecond in store order) and the range end. An event that does not
// change its channel's level is left out. The original channel names ride
// along in a $comment so a reimport gets them back exactly.
FileResult WriteVcdFile(const std::string& path, const CaptureData& data, const TraceList& traces,
                        const ExportRange& range, const std::vector<int>& channels);

enum class CsvLayout {
  Narrow,  // time_s,channel,name,level,local_time: one row per change
  Wide,    // time_s,local_time, then one column per channel: a row for the
           // range start and one per change
};

// CSV with CR LF line ends; seconds with '.' whatever the locale.
FileResult WriteCsvFile(const std::string& path, const CaptureData& data, const TraceList& traces,
                        const ExportRange& range, const std::vector<int>& channels, CsvLayout layout);

}  // namespace korvalog
