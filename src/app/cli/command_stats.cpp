// korvalog-cli stats FILE [--type T] [--interval I] [--format F]
// [--active low|high]: the statistics table exactly as Copy All puts it on
// the clipboard (TAB between cells, CR LF between rows, no end of line).
#include <iterator>
#include <ostream>

#include "analysis/statistics_accumulator.h"
#include "analysis/statistics_table.h"
#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"

namespace korvalog::cli {
namespace {

// Index of `value` among `names`, or -1.
template <size_t N>
int Choice(const std::string& value, const char* const (&names)[N]) {
  for (size_t i = 0; i < N; ++i) {
    if (value == names[i]) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

int RunStats(const CommandArgs& args, CliContext& ctx) {
  static constexpr char kUsage[] =
      "stats FILE [--type Count|Average|Shortest|Longest|\"Total On Time\"] "
      "[--interval \"15 mins\"|\"30 mins\"|\"1 Hour\"|\"6 Hours\"|\"12 Hours\"|\"1 Day\"] "
      "[--format \"HH:MM:SS.SS\"|\"S..S.SS\"] [--active low|high]";
  static constexpr const char* kActive[] = {"low", "high"};
  static const CommandOptions kOptions{
      kUsage,
      "The statistics table exactly as Copy All puts it on the clipboard (TAB between cells, CR LF between rows).",
      {{"--type", "T", "what each cell counts: Count, Average, Shortest, Longest or \"Total On Time\""},
       {"--interval", "I", "the rows' interval: \"15 mins\" ... \"1 Day\""},
       {"--format", "F", "how times are written: \"HH:MM:SS.SS\" or \"S..S.SS\""},
       {"--active", "low|high", "the level that counts as on"}}};
  ParsedArgs parsed;
  if (const int status = ReadFileArguments(args, kOptions, 1, "one file", parsed, ctx); status >= 0) return status;
  StatisticsSettings settings;
  for (const auto& [name, value] : parsed.options) {
    int i = -1;
    if (name == "--type" && (i = Choice(value, kStatisticTypeNames)) >= 0) {
      settings.type = static_cast<StatisticType>(i);
    } else if (name == "--interval" && (i = Choice(value, kIntervalNames)) >= 0) {
      settings.interval = i;
    } else if (name == "--format" && (i = Choice(value, kDurationFormatNames)) >= 0) {
      settings.format = static_cast<DurationFormat>(i);
    } else if (name == "--active" && (i = Choice(value, kActive)) >= 0) {
      settings.activeLevel = static_cast<uint8_t>(i);
    } else {
      return UsageError(ctx, "unknown value '" + value + "' for " + name, kUsage);
    }
  }

  const std::string& path = parsed.positional[0];
  if (!LoadForCommand(path, ctx)) return kExitUsage;
  StatisticsAccumulator cells;
  cells.Reset(kIntervalsPerDay[settings.interval]);
  cells.Accumulate(ctx.data, settings.activeLevel);
  if (cells.Truncated()) {
    ctx.err << "korvalog-cli: " << path << ": periods ending more than " << kMaxIntervalColumns
            << " intervals after the capture start are left out\n";
  }
  const StatisticsTable table(cells, settings, ctx.view.Traces);
  ctx.out << CopyAllText(table);
  return FinishOutput(ctx) ? kExitOk : kExitUsage;
}

}  // namespace korvalog::cli
