// korvalog-cli convert IN OUT.kv: loads IN (project or logger log) and saves
// everything as a project.
#include <ostream>

#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"
#include "app/cli/output_checks.h"
#include "project/project_file.h"

namespace korvalog::cli {

int RunConvert(const CommandArgs& args, CliContext& ctx) {
  static const CommandOptions kOptions{"convert IN OUT.kv",
                                       "IN (a project, logger log or value change dump) written as the project OUT.kv.",
                                       {}};
  ParsedArgs parsed;
  if (const int status = ReadFileArguments(args, kOptions, 2, "an input and an output file", parsed, ctx);
      status >= 0) {
    return status;
  }
  const CommandArgs& files = parsed.positional;
  // A name without ".kv" would be opened again as a logger log.
  if (!ReopensAsProject(files[1])) {
    return UsageError(ctx, files[1] + ": a project name must contain .kv and not end in .vcd", kOptions.usage);
  }
  if (!OutputAllowed(files[1], {files[0]}, ctx)) return kExitUsage;
  if (!LoadForCommand(files[0], ctx)) return kExitUsage;
  const FileResult saved = WriteProjectFile(files[1], ctx.data, ctx.view, ctx.data.CaptureStart, ctx.data.CaptureEnd);
  if (!saved.ok) {
    ctx.err << "korvalog-cli: " << saved.error << "\n";
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace korvalog::cli
