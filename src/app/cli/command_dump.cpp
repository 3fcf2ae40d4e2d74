// korvalog-cli dump FILE: the dump lines of FILE on standard output, byte for
// byte as the dump file would hold them.
#include <ostream>

#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"
#include "project/dump_file.h"

namespace korvalog::cli {

int RunDump(const CommandArgs& args, CliContext& ctx) {
  static const CommandOptions kOptions{"dump FILE",
                                       "The dump lines of FILE on standard output, as the dump file would hold them.",
                                       {}};
  ParsedArgs parsed;
  if (const int status = ReadOneCapture(args, kOptions, parsed, ctx); status >= 0) return status;
  WriteDumpLines(ctx.data.Store, [&](const std::string& block) {
    ctx.out.write(block.data(), static_cast<std::streamsize>(block.size()));
    return ctx.out.good();
  });
  return FinishOutput(ctx) ? kExitOk : kExitUsage;
}

}  // namespace korvalog::cli
