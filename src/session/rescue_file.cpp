#include "session/rescue_file.h"

#include <filesystem>
#include <system_error>

#include "core/file_names.h"
#include "core/process_setup.h"

namespace korvalog {

RescueResult WriteRescueFile(const std::string& tail,
                             const std::function<bool(const std::string& path, std::string& error)>& write) {
  RescueResult r;
  std::error_code ec;
  r.path = Utf8FromPath(std::filesystem::temp_directory_path(ec) /
                        PathFromUtf8("korvalog-capture-" + std::to_string(CurrentProcessId()) + tail));
  r.ok = write(r.path, r.error);
  return r;
}

}  // namespace korvalog
