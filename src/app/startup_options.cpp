#include "app/startup_options.h"

namespace korvalog {

StartupOptions ParseStartupArguments(const std::vector<std::string>& args) {
  StartupOptions options;
  std::vector<std::string> files;
  for (const std::string& a : args) {
    if (a == kDemoOption) {
      options.demo = true;
    } else {
      files.push_back(a);
    }
  }
  if (files.size() == 1) options.loadPath = files.front();
  return options;
}

}  // namespace korvalog
