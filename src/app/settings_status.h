#pragma once
// The settings text of the status bar and the names of the logger types.
#include <array>
#include <string>

#include "core/records.h"

namespace korvalog {

// Indexed by LoggerType.
inline constexpr std::array<const char*, 3> kLoggerTypeNames = {"96 channels", "128 channels",
                                                                "Ventrix*"};

// "COM3, 128 channels, 50mS debounce, AC signals"; the USB logger has no
// port: "Ventrix*, 50mS debounce".
std::string SettingsStatusText(const LoggerSettings& settings);

// The same, marked as the built-in demonstration logger.
std::string DemoSettingsStatusText(const LoggerSettings& settings);

}  // namespace korvalog
