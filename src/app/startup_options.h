#pragma once
// What the window program's command line asks for: the built-in
// demonstration logger, and the one file to load at the first showing.
#include <optional>
#include <string>
#include <vector>

namespace korvalog {

inline constexpr char kDemoOption[] = "--demo";
// "--demo-speed=N": the demonstration lift N times faster than real time
// (1..1000); implies --demo.
inline constexpr char kDemoSpeedOption[] = "--demo-speed=";
// Print the usage or the version and quit, without a window (and so without
// a display): the manual page is made from these texts.
inline constexpr char kHelpOption[] = "--help";
inline constexpr char kVersionOption[] = "--version";

struct StartupOptions {
  bool demo = false;
  double demoSpeed = 1.0;
  // Exactly one file argument is loaded; two or more load nothing.
  std::optional<std::string> loadPath;
};

// `args` without the program name (and without the toolkit's own options).
StartupOptions ParseStartupArguments(const std::vector<std::string>& args);

// What "korvalog --help" prints.
std::string StartupHelpText();

// The text to print instead of starting the window when `args` (without the
// program name) ask for the help or the version; nothing otherwise.
std::optional<std::string> StartupTextInsteadOfWindow(const std::vector<std::string>& args);

}  // namespace korvalog
