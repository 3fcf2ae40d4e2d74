// korvalog-pictures export FILE --format png|svg|pdf ...: the export command
// with the chart's painting code; korvalog-pictures report ...: the report's
// page and PDF with the plots' painting code. korvalog-cli starts it for pictures, so
// that its other commands start without Qt.
#include <cstring>
#include <iostream>

#include "app/cli/cli_context.h"
#include "core/capture_data.h"

int main(int argc, char** argv) {
  using namespace korvalog;
  using namespace korvalog::cli;
  const bool report = argc >= 2 && std::strcmp(argv[1], "report") == 0;
  const bool compare = argc >= 2 && std::strcmp(argv[1], "compare") == 0;
  if (argc < 2 || (std::strcmp(argv[1], "export") != 0 && !report && !compare)) {
    std::cerr << "usage: korvalog-pictures export FILE --format png|svg|pdf ... (as korvalog-cli export)\n"
                 "       korvalog-pictures report FILE --format html|pdf ... (as korvalog-cli report)\n"
                 "       korvalog-pictures compare BEFORE AFTER --format html|pdf ... (as korvalog-cli compare)\n";
    return kExitUsage;
  }
  SystemClock clock;
  CaptureData data(clock);
  CaptureView view;
  LoggerSettings settings;
  SetStartupDefaults(data, view);
  CliContext ctx{clock, data, view, settings, std::cout, std::cerr};
  if (report) return RunReport(CommandArgs(argv + 2, argv + argc), ctx);
  if (compare) return RunCompare(CommandArgs(argv + 2, argv + argc), ctx);
  return RunExport(CommandArgs(argv + 2, argv + argc), ctx);
}
