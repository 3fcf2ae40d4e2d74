// korvalog-cli version (also --version): the program's version, which the
// build takes from the project's one version number.
#include <ostream>

#include "app/cli/cli_context.h"

namespace korvalog::cli {

int RunVersion(const CommandArgs&, CliContext& ctx) {
  ctx.out << "korvalog-cli " << KORVALOG_VERSION_TEXT << "\n";
  return kExitOk;
}

}  // namespace korvalog::cli
