// korvalog-cli sequence FILE: where the Sequencer staircase over the whole
// capture changes or marks a violation, one line per event, then the number
// of steps and of violations. Exit status 1 when there was a violation.
#include <ostream>

#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"
#include "base/byte_text.h"
#include "base/time_text.h"
#include "chart/strip_walk.h"
#include "core/capture_data.h"

namespace korvalog::cli {

int RunSequence(const CommandArgs& args, CliContext& ctx) {
  static const CommandOptions kOptions{"sequence FILE",
                                       "The Sequencer's findings over the whole capture of FILE.",
                                       {}};
  ParsedArgs parsed;
  if (const int status = ReadOneCapture(args, kOptions, parsed, ctx); status >= 0) return status;
  constexpr int kExitViolations = 1;
  const CaptureData& data = ctx.data;

  uint32_t violations = 0;
  if (data.DataPresent.load() != 0) {
    std::string line;
    WalkStrip(data, ctx.view, data.CaptureStart, data.CaptureEnd, [&](const StripStep& step) {
      if (step.levelBefore == step.levelAfter && !step.violation) return;
      line = FormatTimeStamp(step.event.time);
      line += '\t';
      line += IntToText(step.levelAfter);
      line += step.violation ? "\tviolation\n" : "\tok\n";
      ctx.out << line;
      violations += step.violation ? 1 : 0;
    });
  }
  ctx.out << "steps=" << IntToText(CountSequenceSteps(ctx.view.Sequence)) << " violations=" << UIntToText(violations)
          << "\n";
  if (!FinishOutput(ctx)) return kExitUsage;
  return violations > 0 ? kExitViolations : kExitOk;
}

}  // namespace korvalog::cli
