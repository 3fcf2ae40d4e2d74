#include "app/session_files.h"

#include "project/output_target.h"
#include "project/project_file.h"

namespace korvalog {

bool ProjectSessionFiles::WriteProject(const std::string& path, CaptureData& data, const CaptureView& view,
                                       const PositionSnapshot& from,
                                       const PositionSnapshot& to, std::string& error) {
  const FileResult saved = WriteProjectFile(path, data, view, from, to);
  if (!saved.ok) error = saved.error;
  return saved.ok;
}

std::string ProjectSessionFiles::OutputProblem(const std::string& out, const std::vector<std::string>& others) {
  return korvalog::OutputProblem(out, others);
}

}  // namespace korvalog
