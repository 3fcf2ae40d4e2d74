#include "app/cli/cli_load.h"

#include <ostream>

#include "project/project_file.h"

namespace korvalog::cli {

void StreamLoadSinks::Warning(std::string_view text) { err_ << "korvalog-cli: " << path_ << ": " << text << "\n"; }

bool LoadForCommand(const std::string& path, CliContext& ctx, StreamLoadSinks& sinks) {
  const FileResult result = LoadCaptureFile(path, ctx.data, ctx.view, sinks);
  if (result.ok) return true;
  ctx.err << "korvalog-cli: " << result.error << "\n";
  return false;
}

bool LoadForCommand(const std::string& path, CliContext& ctx) {
  StreamLoadSinks sinks(ctx.err, path);
  return LoadForCommand(path, ctx, sinks);
}

int UsageError(CliContext& ctx, const std::string& message, std::string_view usage) {
  // One line, so scripts can show it as it stands.
  ctx.err << "korvalog-cli: " << message << " (usage: korvalog-cli " << usage << ")\n";
  return kExitUsage;
}

bool FinishOutput(CliContext& ctx) {
  ctx.out.flush();
  if (ctx.out.good()) return true;
  ctx.err << "korvalog-cli: standard output: cannot write\n";
  return false;
}

}  // namespace korvalog::cli
