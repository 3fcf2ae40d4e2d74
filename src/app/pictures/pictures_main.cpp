// korvalog-pictures export FILE --format png|svg|pdf ...: the export command
// with the chart's painting code. korvalog-cli starts it for pictures, so
// that its other commands start without Qt.
#include <cstring>
#include <iostream>

#include "app/cli/cli_context.h"
#include "ui/common_helpers.h"

int main(int argc, char** argv) {
  using namespace korvalog;
  using namespace korvalog::cli;
  if (argc < 2 || std::strcmp(argv[1], "export") != 0) {
    std::cerr << "usage: korvalog-pictures export FILE --format png|svg|pdf ... (as korvalog-cli export)\n";
    return kExitUsage;
  }
  SystemClock clock;
  CaptureData data(clock);
  LoggerSettings settings;
  SetStartupDefaults(data);
  CliContext ctx{clock, data, settings, std::cout, std::cerr};
  return RunExport(CommandArgs(argv + 2, argv + argc), ctx);
}
