// korvalog-cli COMMAND [ARGS...]: the headless tool over the same model as the
// window program.
#include <cstring>
#include <iostream>
#include <iterator>

#include "app/cli/cli_context.h"
#include "core/capture_data.h"
#include "core/process_setup.h"

namespace korvalog::cli {
namespace {

const CliCommand kCommands[] = {
    {"version", "version", RunVersion},
    {"dump", "dump FILE", RunDump},
    {"info", "info FILE", RunInfo},
    {"convert", "convert IN OUT.kv", RunConvert},
    {"search", "search FILE [--high CH,...] [--low CH,...]", RunSearch},
    {"sequence", "sequence FILE", RunSequence},
    {"stats", "stats FILE [--type T] [--interval I] [--format F] [--active low|high]", RunStats},
    {"export",
     "export FILE --format vcd|csv|png|svg|pdf [--from TIME --to TIME] [--channels CH,...]\n"
     "                      [--all-channels] [--wide] [--width PX] --out OUT",
     RunExport},
    {"capture",
     "capture --logger 96|128|usb (--port N | --device PATH) [--debounce MS] [--ac]\n"
     "                      [--seconds S] --out FILE.kv [--journal PATH]\n"
     "  korvalog-cli capture ... --rotate --out DIR/ [--max-files N] [--journal PATH]\n"
     "  korvalog-cli capture ... [--publish CONNINFO --site S --lift L]",
     RunCapture},
    {"recover", "recover JOURNAL --out FILE.kv", RunRecover},
    {"report",
     "report FILE [--roles ROLES] [--targets TARGETS] [--site TEXT] [--lift TEXT]\n"
     "                      [--engineer TEXT] [--visit TEXT] [--format html|pdf|csv] --out OUT",
     RunReport},
    {"compare",
     "compare BEFORE AFTER [--roles ROLES] [--targets TARGETS] [--site TEXT] [--lift TEXT]\n"
     "                      [--format html|pdf|csv] --out OUT",
     RunCompare},
    {"fleet-init", "fleet-init --db CONNINFO [--roles yes]", RunFleetInit},
    {"publish", "publish FILE... --db CONNINFO [--site S] [--lift L]", RunPublish},
    {"fetch", "fetch --db CONNINFO --lift L [--site S] --from T --to T --out FILE.kv", RunFetch},
    {"fleet", "fleet --db CONNINFO [--from DATE] [--to DATE] [--site S] --format html|pdf|csv --out OUT", RunFleet},
};

void PrintUsage(std::ostream& os) {
  os << "usage: korvalog-cli COMMAND [ARGS...]\ncommands:\n";
  for (const CliCommand& c : kCommands) os << "  korvalog-cli " << c.usage << "\n";
}

}  // namespace
}  // namespace korvalog::cli

int main(int argc, char** argv) {
  using namespace korvalog;
  using namespace korvalog::cli;
  SetUpProcess();
  if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
    PrintUsage(argc < 2 ? std::cerr : std::cout);
    return argc < 2 ? kExitUsage : kExitOk;
  }
  // "--version", as tools that read a program's version (help2man) ask.
  if (std::strcmp(argv[1], "--version") == 0) return RunCommand(RunVersion, argc, argv);
  for (const CliCommand& c : kCommands) {
    if (std::strcmp(argv[1], c.name) == 0) return RunCommand(c.run, argc, argv);
  }
  std::cerr << "korvalog-cli: unknown command '" << argv[1] << "'\n";
  PrintUsage(std::cerr);
  return kExitUsage;
}
