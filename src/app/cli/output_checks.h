#pragma once
// A command's output checked before it reads or writes anything.
#include <ostream>
#include <string>
#include <vector>

#include "app/cli/cli_context.h"
#include "project/output_target.h"

namespace korvalog::cli {

// Tells the problem with `out` on ctx.err; false when there is one (the
// command then exits with kExitUsage).
inline bool OutputAllowed(const std::string& out, const std::vector<std::string>& others, CliContext& ctx) {
  const std::string problem = OutputProblem(out, others);
  if (problem.empty()) return true;
  ctx.err << "korvalog-cli: " << problem << "\n";
  return false;
}

}  // namespace korvalog::cli
