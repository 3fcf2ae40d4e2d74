#pragma once
// What the window program's command line asks for: the built-in
// demonstration logger, and the one file to load at the first showing.
#include <optional>
#include <string>
#include <vector>

namespace korvalog {

inline constexpr char kDemoOption[] = "--demo";

struct StartupOptions {
  bool demo = false;
  // Exactly one file argument is loaded; two or more load nothing.
  std::optional<std::string> loadPath;
};

// `args` without the program name (and without the toolkit's own options).
StartupOptions ParseStartupArguments(const std::vector<std::string>& args);

}  // namespace korvalog
