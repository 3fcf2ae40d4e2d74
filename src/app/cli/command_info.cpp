// korvalog-cli info FILE: what a capture file holds: events, span, the
// channels that changed, and the description of a logger log.
#include <algorithm>
#include <ostream>

#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"
#include "base/byte_text.h"
#include "base/time_text.h"
#include "core/capture_data.h"
#include "project/vcd_import.h"

namespace korvalog::cli {
namespace {

// Mark-up as plain text: "\t" a tab, "\n" a new line, other codes dropped.
std::string MarkupToPlain(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
    } else if (i + 1 < text.size()) {
      const char code = UpCaseLetter(text[++i]);
      if (code == 'T') out += '\t';
      if (code == 'N') out += '\n';
    }
  }
  return out;
}

}  // namespace

int RunInfo(const CommandArgs& args, CliContext& ctx) {
  static const CommandOptions kOptions{"info FILE",
                                       "What FILE holds: its kind, times, events and channels.",
                                       {}};
  ParsedArgs parsed;
  if (const int status = ReadFileArguments(args, kOptions, 1, "one file", parsed, ctx); status >= 0) return status;
  const CommandArgs& files = parsed.positional;
  StreamLoadSinks sinks(ctx.err, files[0]);
  if (!LoadForCommand(files[0], ctx, sinks)) return kExitUsage;
  const CaptureData& data = ctx.data;
  const uint32_t count = data.Store.Count();
  std::ostream& out = ctx.out;
  out << "file\t" << files[0] << "\n";
  out << "kind\t" << (IsVcdPath(files[0]) ? "value change dump" : (sinks.IsLog() ? "logger log" : "project")) << "\n";
  out << "events\t" << UIntToText(count) << "\n";
  if (count > 0) {
    out << "start\t" << FormatTimeStamp(data.CaptureStart.time) << "\n";
    out << "end\t" << FormatTimeStamp(data.CaptureEnd.time) << "\n";
    double span = data.CaptureEnd.time - data.CaptureStart.time;
    if (span < 0) {
      // Stamped by a clock set back: the span the capture's times cover.
      double first = data.CaptureEnd.time, last = data.CaptureStart.time;
      for (uint32_t i = 0; i < count; ++i) {
        const double time = data.Store[i].time;
        first = std::min(first, time);
        last = std::max(last, time);
      }
      span = last - first;
      sinks.Warning("the capture's clock goes back: it ends before it starts");
    }
    out << "duration\t" << FormatDuration(span) << "\n";
  }
  // Where the link to the logger was lost: only when it was, so that the
  // output of a capture without gaps stays as it was.
  if (!data.Gaps.Empty()) {
    const std::vector<GapSpan>& gaps = data.Gaps.Spans();
    out << "link gaps\t" << UIntToText(static_cast<uint32_t>(gaps.size())) << "\t"
        << FormatDuration(GapDaysWithin(gaps, data.CaptureStart.time, data.CaptureEnd.time)) << "\n";
    for (const GapSpan& g : gaps) {
      out << "  " << FormatTimeStamp(g.start) << "\t" << FormatTimeStamp(g.end) << "\t"
          << FormatDuration(g.end - g.start) << "\n";
    }
  }
  uint32_t transitions[kChannelCount] = {};
  for (uint32_t i = 0; i < count; ++i) {
    const unsigned c = data.Store[i].channel - 1u;
    if (c < static_cast<unsigned>(kChannelCount)) ++transitions[c];
  }
  int active = 0;
  for (uint32_t n : transitions) active += n > 0 ? 1 : 0;
  out << "channels with transitions\t" << IntToText(active) << "\n";
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    if (transitions[ch - 1] == 0) continue;
    out << "  " << IntToText(ch) << "\t" << ctx.view.Traces.Name(ch) << "\t"
        << UIntToText(transitions[ch - 1]) << (transitions[ch - 1] == 1 ? " transition\n" : " transitions\n");
  }
  if (sinks.IsLog()) {
    out << "notes\n";
    const std::string plain = MarkupToPlain(sinks.Notes());
    size_t pos = 0;
    while (pos < plain.size()) {
      const size_t end = plain.find('\n', pos);
      out << "  " << plain.substr(pos, end - pos) << "\n";
      if (end == std::string::npos) break;
      pos = end + 1;
    }
  }
  return FinishOutput(ctx) ? kExitOk : kExitUsage;
}

}  // namespace korvalog::cli
