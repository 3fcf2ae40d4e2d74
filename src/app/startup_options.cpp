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

namespace korvalog {

std::string StartupHelpText() {
  return std::string("Usage: korvalog [") + kDemoOption + " | " + kDemoSpeedOption + "N] [FILE]\n"
         "Captures the inputs of a lift signal data logger and charts them; opens projects (.kv),\n"
         "logger logs and value change dumps.\n"
         "\n"
         "Options:\n"
         "  FILE              open this project, logger log or value change dump at the start\n"
         "  " + kDemoOption + "            capture from the built-in demonstration logger, a lift\n"
         "                    in memory, instead of the loggers plugged in\n"
         "  " + kDemoSpeedOption + "N    the demonstration lift N times faster than real time\n"
         "                    (1 to 1000); implies " + kDemoOption + "\n"
         "  " + kHelpOption + "            print this help and quit\n"
         "  " + kVersionOption + "         print the version and quit\n"
         "\n"
         "The toolkit's own options are understood too, such as -platform offscreen.\n"
         "The user guide (F1) is Korvalog.pdf; korvalog-cli does the same work without a window.\n";
}

std::optional<std::string> StartupTextInsteadOfWindow(const std::vector<std::string>& args) {
  for (const std::string& a : args) {
    if (a == kHelpOption) return StartupHelpText();
    if (a == kVersionOption) return std::string("korvalog ") + KORVALOG_VERSION_TEXT + "\n";
  }
  return std::nullopt;
}

}  // namespace korvalog
