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
  CommandFunction run = report ? RunReport : compare ? RunCompare : RunExport;
#ifdef KORVALOG_FLEET_STORE
  if (fleet) run = RunFleet;
#endif
  return RunCommand(run, argc, argv);
}
