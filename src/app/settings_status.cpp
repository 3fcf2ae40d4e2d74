#include "app/settings_status.h"

#include "base/byte_text.h"

namespace korvalog {

std::string SettingsStatusText(const LoggerSettings& settings) {
  const uint8_t type = settings.LoggerType.load();
  std::string text;
  if (type != kLoggerUsb) text += "COM" + IntToText(settings.Port) + ", ";
  // A stored type outside the table names no logger rather than reading past it.
  text += type < kLoggerTypeNames.size() ? kLoggerTypeNames[type] : "?";
  text += ", " + IntToText(settings.Debounce * 10) + "mS debounce";
  if (settings.ACSignals) text += ", AC signals";
  return text;
}

std::string DemoSettingsStatusText(const LoggerSettings& settings) {
  return "Demonstration logger: " + SettingsStatusText(settings);
}

}  // namespace korvalog
