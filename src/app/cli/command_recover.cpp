// korvalog-cli recover JOURNAL --out FILE.kv: the capture a journal holds,
// written as a project; the journal is removed once the project is written.
#include <ostream>

#include "app/cli/cli_session.h"
#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"
#include "app/cli/output_checks.h"
#include "project/project_file.h"

namespace korvalog::cli {

int RunRecover(const CommandArgs& args, CliContext& ctx) {
  static constexpr char kUsage[] = "recover JOURNAL --out FILE.kv";
  static const CommandOptions kOptions{
      kUsage, "The capture a journal holds, written as a project; the journal is removed once it is written.",
      {{"--out", "FILE.kv", "the project to write"}}};
  ParsedArgs parsed;
  if (const int status = ReadCommandOptions(args, kOptions, parsed, ctx); status >= 0) return status;
  if (parsed.positional.size() != 1) return UsageError(ctx, "name one journal", kUsage);
  if (parsed.options.size() != 1) return UsageError(ctx, "--out FILE.kv is required", kUsage);
  const std::string& out = parsed.options.back().second;
  if (!ReopensAsProject(out)) {
    return UsageError(ctx, out + ": a project name must contain .kv and not end in .vcd", kUsage);
  }
  if (!OutputAllowed(out, {parsed.positional[0]}, ctx)) return kExitUsage;
  return RecoverJournalTo(parsed.positional[0], out, ctx, ctx.data, ctx.view);
}

}  // namespace korvalog::cli
