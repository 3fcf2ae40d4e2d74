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
  static constexpr char kUsage[] =
      "usage: korvalog-pictures export FILE --format png|svg|pdf ... (as korvalog-cli export)\n"
      "       korvalog-pictures report FILE --format html|pdf ... (as korvalog-cli report)\n"
      "       korvalog-pictures fleet --db CONNINFO --format pdf ... (as korvalog-cli fleet)\n"
      "korvalog-cli starts this helper for chart pictures and report pages.\n";
  // --help on standard output, as the manual page's maker reads it.
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::cout << kUsage;
    return kExitOk;
  }
  const bool report = argc >= 2 && std::strcmp(argv[1], "report") == 0;
  const bool compare = argc >= 2 && std::strcmp(argv[1], "compare") == 0;
  const bool fleet = argc >= 2 && std::strcmp(argv[1], "fleet") == 0;
  if (argc < 2 || (std::strcmp(argv[1], "export") != 0 && !report && !compare && !fleet)) {
    std::cerr << kUsage;
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
#ifdef KORVALOG_FLEET_STORE
  if (fleet) return RunFleet(CommandArgs(argv + 2, argv + argc), ctx);
#endif
  return RunExport(CommandArgs(argv + 2, argv + argc), ctx);
}
