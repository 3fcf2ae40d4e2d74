#include "project/output_target.h"

#include "core/file_identity.h"

namespace korvalog {

std::string OutputProblem(const std::string& out, const std::vector<std::string>& others) {
  if (KindOfPath(out) == PathKind::Other) return out + ": is not a regular file";
  for (const std::string& other : others) {
    if (!other.empty() && SameFile(out, other)) return out + ": is the same file as " + other;
  }
  if (ReadOnlyFile(out)) return out + ": cannot be written";
  return {};
}

}  // namespace korvalog
