// The value change dump writer: header, initial levels, then the changes.
#include <charconv>

#include "base/date_time.h"
#include "project/export_text.h"
#include "project/export_writer.h"
#include "project/file_export.h"

namespace korvalog {
namespace {

void AppendHeader(std::string& out, const CaptureData& data, const TraceList& traces,
                  const std::vector<int>& channels) {
  std::string date;
  AppendIsoLocal(date, data.CaptureStart.time);
  date[10] = ' ';
  out += "$date\n\t" + date + "\n$end\n";
  out += "$version\n\tKorvalog " KORVALOG_VERSION_TEXT "\n$end\n";
  out += "$comment\n\tKorvalog channel names\n";
  for (int ch : channels) {
    out += '\t';
    AppendNumber(out, ch);
    out += ' ' + QuoteName(traces.Name(ch)) + '\n';
  }
  out += "$end\n$timescale 1 ms $end\n$scope module korvalog $end\n";
  for (size_t n = 0; n < channels.size(); ++n) {
    const int ch = channels[n];
    out += "$var wire 1 " + WireCode(static_cast<int>(n)) + ' ' + WireName(ch, traces.Name(ch)) +
           " $end\n";
  }
  out += "$upscope $end\n$enddefinitions $end\n";
}

// The link gaps as the standard's own "dumping was off" sections: every wire
// x from a gap's start ($dumpoff) until its end, where $dumpon gives the
// levels again. Waveform viewers draw x as unknown; a gap that reaches the
// range's end stays off.
class GapSections {
 public:
  GapSections(const std::vector<GapSpan>& gaps, const ExportRange& range)
      : gaps_(GapsWithin(gaps, range.from.time, range.to.time)), end_(range.to.time) {}
  bool Off() const { return off_; }
  // Writes every gap boundary at or before `t`; `now` is the last time written.
  void Through(double t, double origin, int64_t& now, std::string& out, const std::vector<int>& channels,
               const std::string* codes, const uint8_t* level) {
    while (next_ < gaps_.size()) {
      const double at = off_ ? gaps_[next_].end : gaps_[next_].start;
      if (at > t || (off_ && at >= end_)) return;
      const int64_t ms = MsFrom(origin, at);
      if (ms > now) {
        now = ms;
        out += '#';
        AppendNumber(out, now);
        out += '\n';
      }
      out += off_ ? "$dumpon\n" : "$dumpoff\n";
      for (int ch : channels) {
        out += off_ ? static_cast<char>('0' + level[ch - 1]) : 'x';
        out += codes[ch - 1];
        out += '\n';
      }
      out += "$end\n";
      if (off_) ++next_;
      off_ = !off_;
    }
  }

 private:
  std::vector<GapSpan> gaps_;
  double end_;
  size_t next_ = 0;
  bool off_ = false;
};

}  // namespace

FileResult WriteVcdFile(const std::string& path, const CaptureData& data, const TraceList& traces,
                        const ExportRange& range, const std::vector<int>& channels) {
  ExportWriter writer(path);
  if (!writer.Open()) return writer.OpenError();
  std::string& out = writer.Text();
  AppendHeader(out, data, traces, channels);

  // Per channel: its wire code (empty when not exported) and its level.
  std::string codes[kChannelCount];
  uint8_t level[kChannelCount];
  for (int c = 0; c < kChannelCount; ++c) level[c] = range.from.states[c] != 0 ? 1 : 0;
  for (size_t n = 0; n < channels.size(); ++n) codes[channels[n] - 1] = WireCode(static_cast<int>(n));

  const double origin = data.CaptureStart.time;
  // Times never go back in a dump: anything before the range start (only in
  // a damaged capture) is held to the last time written.
  int64_t now = MsFrom(origin, range.from.time);
  if (now < 0) now = 0;
  out += '#';
  AppendNumber(out, now);
  out += "\n$dumpvars\n";
  for (int ch : channels) {
    out += static_cast<char>('0' + level[ch - 1]);
    out += codes[ch - 1];
    out += '\n';
  }
  out += "$end\n";

  const EventRecord* events = data.Store.Data();
  GapSections gaps(data.Gaps.Spans(), range);
  for (uint32_t i = range.from.index; i < range.to.index; ++i) {
    const EventRecord& e = events[i];
    const unsigned c = e.channel - 1u;
    if (c >= static_cast<unsigned>(kChannelCount) || codes[c].empty()) continue;
    const uint8_t state = e.state != 0 ? 1 : 0;
    if (state == level[c]) continue;
    gaps.Through(e.time, origin, now, out, channels, codes, level);
    level[c] = state;
    if (gaps.Off()) continue;  // told by the $dumpon at the gap's end
    const int64_t t = MsFrom(origin, e.time);
    if (t > now) {
      now = t;
      out += '#';
      AppendNumber(out, now);
      out += '\n';
    }
    out += static_cast<char>('0' + state);
    out += codes[c];
    out += '\n';
    writer.MaybeFlush();
  }
  gaps.Through(range.to.time, origin, now, out, channels, codes, level);
  const int64_t end = MsFrom(origin, range.to.time);
  if (end > now) {
    out += '#';
    AppendNumber(out, end);
    out += '\n';
  }
  return writer.Finish();
}

}  // namespace korvalog
