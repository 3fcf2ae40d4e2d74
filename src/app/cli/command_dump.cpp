// korvalog-cli dump FILE: the dump lines of FILE on standard output, byte for
// byte as the dump file would hold them.
#include <ostream>

#include "app/cli/cli_load.h"
#include "project/dump_file.h"

namespace korvalog::cli {

int RunDump(const CommandArgs& args, CliContext& ctx) {
  static constexpr char kUsage[] = "dump FILE";
  if (args.size() != 1) return UsageError(ctx, "dump takes one file", kUsage);
  StreamLoadSinks sinks(ctx.err, args[0]);
  if (!LoadForCommand(args[0], ctx, sinks)) return kExitUsage;
  WriteDumpLines(ctx.data.Store, [&](const std::string& block) {
    ctx.out.write(block.data(), static_cast<std::streamsize>(block.size()));
    return ctx.out.good();
  });
  return FinishOutput(ctx) ? kExitOk : kExitUsage;
}

}  // namespace korvalog::cli
