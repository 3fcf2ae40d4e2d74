// The project bytes the store keeps for a loaded file (see fleet_publish.h).
#include <filesystem>
#include <random>
#include <fstream>
#include <sstream>

#include "core/file_names.h"
#include "fleet/event_blocks.h"
#include "fleet/fleet_publish.h"
#include "project/project_file.h"

namespace korvalog {
namespace {

bool ReadWhole(const std::filesystem::path& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream read;
  read << in.rdbuf();
  text = read.str();
  return !in.bad();
}

}  // namespace

bool ProjectTextForStore(const std::string& path, CaptureData& data, const CaptureView& view, std::string& text,
                         std::string& error) {
  ProjectParts parts;
  if (IsProjectPath(path) && ReopensAsProject(path) && ReadWhole(PathFromUtf8(path), text) &&
      SplitProjectText(text, parts)) {
    return true;
  }
  // Saved as a project beside the system's temporary files, read, removed.
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
  const std::string temp =
      Utf8FromPath(folder / ("korvalog-publish-" + std::to_string(std::random_device{}()) + ".kv"));
  const bool modified = data.DataModified.load() != 0;
  const FileResult saved = WriteProjectFile(temp, data, view, data.CaptureStart, data.CaptureEnd);
  data.DataModified.store(modified ? 1 : 0);
  const bool read = saved.ok && ReadWhole(PathFromUtf8(temp), text);
  std::filesystem::remove(PathFromUtf8(temp), ec);
  if (!saved.ok) error = saved.error;
  if (saved.ok && !read) error = temp + ": cannot read the project back";
  return read;
}

}  // namespace korvalog
