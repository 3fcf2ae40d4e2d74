// korvalog-cli convert IN OUT.kv: loads IN (project or logger log) and saves
// everything as a project.
#include <ostream>

#include "app/cli/cli_load.h"
#include "app/cli/output_checks.h"
#include "project/project_file.h"

namespace korvalog::cli {

int RunConvert(const CommandArgs& args, CliContext& ctx) {
  static constexpr char kUsage[] = "convert IN OUT.kv";
  if (args.size() != 2) return UsageError(ctx, "convert takes an input and an output file", kUsage);
  // A name without ".kv" would be opened again as a logger log.
  if (!ReopensAsProject(args[1])) {
    return UsageError(ctx, args[1] + ": a project name must contain .kv and not end in .vcd", kUsage);
  }
  if (!OutputAllowed(args[1], {args[0]}, ctx)) return kExitUsage;
  StreamLoadSinks sinks(ctx.err, args[0]);
  if (!LoadForCommand(args[0], ctx, sinks)) return kExitUsage;
  const FileResult saved = WriteProjectFile(args[1], ctx.data, ctx.view, ctx.data.CaptureStart, ctx.data.CaptureEnd);
  if (!saved.ok) {
    ctx.err << "korvalog-cli: " << saved.error << "\n";
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace korvalog::cli
