#pragma once
// What every command of korvalog-cli is handed: the program-wide model state
// (one instance, made in main) and the output streams.
#include <iostream>
#include <string>
#include <vector>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/clock.h"
#include "core/records.h"

namespace korvalog::cli {

struct CliContext {
  const Clock& clock;
  CaptureData& data;
  CaptureView& view;  // the names, rows and pattern loaded with the capture
  LoggerSettings& settings;
  std::ostream& out;
  std::ostream& err;
};

// Exit statuses shared by the commands.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

using CommandArgs = std::vector<std::string>;
using CommandFunction = int (*)(const CommandArgs& args, CliContext& ctx);

struct CliCommand {
  const char* name;
  const char* usage;  // shown by "korvalog-cli help"
  CommandFunction run;
};

// Runs a command over argv[2..] with the program-wide model made fresh and
// the standard streams, as both programs' main do.
inline int RunCommand(CommandFunction run, int argc, char** argv) {
  SystemClock clock;
  CaptureData data(clock);
  CaptureView view;
  LoggerSettings settings;
  SetStartupDefaults(data, view);
  CliContext ctx{clock, data, view, settings, std::cout, std::cerr};
  return run(CommandArgs(argv + 2, argv + argc), ctx);
}

int RunVersion(const CommandArgs& args, CliContext& ctx);
int RunDump(const CommandArgs& args, CliContext& ctx);
int RunInfo(const CommandArgs& args, CliContext& ctx);
int RunConvert(const CommandArgs& args, CliContext& ctx);
int RunSearch(const CommandArgs& args, CliContext& ctx);
int RunSequence(const CommandArgs& args, CliContext& ctx);
int RunStats(const CommandArgs& args, CliContext& ctx);
int RunCapture(const CommandArgs& args, CliContext& ctx);
int RunExport(const CommandArgs& args, CliContext& ctx);
int RunRecover(const CommandArgs& args, CliContext& ctx);
int RunReport(const CommandArgs& args, CliContext& ctx);
int RunCompare(const CommandArgs& args, CliContext& ctx);
int RunFleetInit(const CommandArgs& args, CliContext& ctx);
int RunPublish(const CommandArgs& args, CliContext& ctx);
int RunFetch(const CommandArgs& args, CliContext& ctx);
int RunFleet(const CommandArgs& args, CliContext& ctx);

}  // namespace korvalog::cli
