// korvalog-cli search FILE [--high CH,...] [--low CH,...]: the match
// statistics of the search over the whole capture, as the line above the
// chart's strip shows them.
#include <ostream>

#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"
#include "chart/search_strip_plan.h"

namespace korvalog::cli {

int RunSearch(const CommandArgs& args, CliContext& ctx) {
  static constexpr char kUsage[] = "search FILE [--high CH,...] [--low CH,...]";
  static const CommandOptions kOptions{
      kUsage,
      "The match statistics of the search over the whole capture, as the line above the chart's strip shows them.",
      {{"--high", "CH,...", "channels searched for high (the file's search is replaced)"},
       {"--low", "CH,...", "channels searched for low"}}};
  ParsedArgs parsed;
  if (const int status = ReadFileArguments(args, kOptions, 1, "one file", parsed, ctx); status >= 0) return status;
  std::string error;
  std::vector<int> high, low;
  for (const auto& [name, value] : parsed.options) {
    if (!ParseChannelList(value, name == "--high" ? high : low, error)) return UsageError(ctx, error, kUsage);
  }
  for (int ch : high) {
    for (int other : low) {
      if (ch == other) return UsageError(ctx, "channel " + std::to_string(ch) + " is both --high and --low", kUsage);
    }
  }

  const std::string& path = parsed.positional[0];
  if (!LoadForCommand(path, ctx)) return kExitUsage;
  CaptureData& data = ctx.data;
  if (!parsed.options.empty()) {
    // The options replace the file's search: channels not named are not searched.
    TraceList& traces = ctx.view.Traces;
    for (int ch = 1; ch <= kChannelCount; ++ch) traces.SetSearch(ch, kSearchIgnore);
    for (int ch : high) traces.SetSearch(ch, kSearchHigh);
    for (int ch : low) traces.SetSearch(ch, kSearchLow);
  }
  // The zoom window is the whole capture; the width only shapes the trace.
  StripPlan plan;
  RenderSearchStrip(data, ctx.view, data.CaptureStart, data.CaptureEnd, kStripSearch, 1000, StripGeometry{}, plan);
  ctx.out << MatchStatisticsLine(plan.stats) << "\n";
  return FinishOutput(ctx) ? kExitOk : kExitUsage;
}

}  // namespace korvalog::cli
