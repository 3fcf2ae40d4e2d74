#include "app/startup_options.h"

#include <cstdlib>

namespace korvalog {

StartupOptions ParseStartupArguments(const std::vector<std::string>& args) {
  StartupOptions options;
  std::vector<std::string> files;
  for (const std::string& a : args) {
    if (a == kDemoOption) {
      options.demo = true;
    } else if (a.rfind(kDemoSpeedOption, 0) == 0) {
      // A speed that cannot be read leaves the lift at real time.
      char* end = nullptr;
      const std::string value = a.substr(sizeof kDemoSpeedOption - 1);
      const double speed = std::strtod(value.c_str(), &end);
      options.demo = true;
      if (!value.empty() && *end == '\0' && speed >= 1.0 && speed <= 1000.0) options.demoSpeed = speed;
    } else {
      files.push_back(a);
    }
  }
  if (files.size() == 1) options.loadPath = files.front();
  return options;
}

}  // namespace korvalog
