#pragma once
// A capture that could not be written where it was meant to go is written to
// the temporary folder instead, as korvalog-capture-<process id><tail>, so
// that it is not lost. The single capture and every continuous part use it.
#include <functional>
#include <string>

namespace korvalog {

struct RescueResult {
  bool ok = false;
  std::string path;   // where the copy was written (or tried)
  std::string error;  // why it was not, when !ok
};

// Writes through write(path, error) to the rescue file named by `tail`
// (".kv" for a single capture, "-" and the part's own name for a part).
RescueResult WriteRescueFile(const std::string& tail,
                             const std::function<bool(const std::string& path, std::string& error)>& write);

}  // namespace korvalog
