// The CSV writer: one row per change, or one column per channel.
#include <charconv>

#include "project/export_text.h"
#include "project/export_writer.h"
#include "project/file_export.h"

namespace korvalog {
namespace {

void AppendWideRow(std::string& out, int64_t ms, double time, const std::vector<int>& channels,
                   const uint8_t* level) {
  AppendSeconds(out, ms);
  out += ',';
  AppendIsoLocal(out, time);
  for (int ch : channels) {
    out += ',';
    out += static_cast<char>('0' + level[ch - 1]);
  }
  out += "\r\n";
}

}  // namespace

FileResult WriteCsvFile(const std::string& path, const CaptureData& data, const TraceList& traces,
                        const ExportRange& range, const std::vector<int>& channels, CsvLayout layout) {
  ExportWriter writer(path);
  if (!writer.Open()) return writer.OpenError();
  std::string& out = writer.Text();

  bool exported[kChannelCount] = {};
  uint8_t level[kChannelCount];
  for (int c = 0; c < kChannelCount; ++c) level[c] = range.from.states[c] != 0 ? 1 : 0;
  for (int ch : channels) exported[ch - 1] = true;
  const bool wide = layout == CsvLayout::Wide;
  const double origin = data.CaptureStart.time;

  if (wide) {
    out += "time_s,local_time";
    for (int ch : channels) {
      out += ',';
      std::string label;
      AppendNumber(label, ch);
      AppendCsvField(out, label + ' ' + traces.Name(ch));
    }
    out += "\r\n";
    AppendWideRow(out, MsFrom(origin, range.from.time), range.from.time, channels, level);
  } else {
    out += "time_s,channel,name,level,local_time\r\n";
  }

  const EventRecord* events = data.Store.Data();
  for (uint32_t i = range.from.index; i < range.to.index; ++i) {
    const EventRecord& e = events[i];
    const unsigned c = e.channel - 1u;
    if (c >= static_cast<unsigned>(kChannelCount) || !exported[c]) continue;
    const uint8_t state = e.state != 0 ? 1 : 0;
    if (state == level[c]) continue;
    level[c] = state;
    const int64_t ms = MsFrom(origin, e.time);
    if (wide) {
      AppendWideRow(out, ms, e.time, channels, level);
    } else {
      AppendSeconds(out, ms);
      out += ',';
      AppendNumber(out, e.channel);
      out += ',';
      AppendCsvField(out, traces.Name(c + 1));
      out += ',';
      out += static_cast<char>('0' + state);
      out += ',';
      AppendIsoLocal(out, e.time);
      out += "\r\n";
    }
    writer.MaybeFlush();
  }
  return writer.Finish();
}

}  // namespace korvalog
