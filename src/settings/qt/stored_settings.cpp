#include "settings/qt/stored_settings.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <string>
#include <utility>

#include "base/byte_text.h"

namespace korvalog {
namespace {

constexpr char kPartsFolderKey[] = "PartsFolder";

// The stored text of a value; empty when missing. A text with commas comes
// back from the store as a list, which is joined again.
QString StoredText(const QSettings& store, const char* name) {
  const QVariant value = store.value(QLatin1String(name));
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QLatin1Char(','));
  return value.toString();
}

// The continuous-capture choice is written once it was made: a store that
// never had it keeps only the five logger settings.
void WriteChoiceInt(QSettings& store, const char* name, int32_t value, int32_t fallback) {
  if (StoredText(store, name).isEmpty() && value == fallback) return;
  WriteSettingInt(store, name, value);
}

// The fleet store's connection fields, with their keys; written once set.
const std::pair<const char*, std::string FleetConnection::*> kFleetKeys[] = {
    {"FleetHost", &FleetConnection::host},
    {"FleetDatabase", &FleetConnection::database},
    {"FleetUser", &FleetConnection::user},
    {"FleetSslMode", &FleetConnection::sslmode}};

void WriteChoiceText(QSettings& store, const char* name, const std::string& value) {
  const QString text = QString::fromStdString(value);
  if (StoredText(store, name) != text) store.setValue(QLatin1String(name), text);
}

}  // namespace

int32_t ReadSettingInt(const QSettings& store, const char* name, int32_t fallback) {
  const QString text = StoredText(store, name);
  if (text.isEmpty()) return fallback;
  return TextToInt(text.toLatin1().toStdString());
}

void WriteSettingInt(QSettings& store, const char* name, int32_t value) {
  const QString text = QString::fromStdString(IntToText(value));
  if (StoredText(store, name) == text) return;
  store.setValue(QLatin1String(name), text);
}

void LoadStoredSettings(QSettings& store, LoggerSettings& settings) {
  const LoggerSettings defaults;
  settings.Port = static_cast<uint8_t>(ReadSettingInt(store, "Port", defaults.Port));
  settings.LoggerType = static_cast<uint8_t>(ReadSettingInt(store, "LoggerType", defaults.LoggerType));
  settings.Debounce = static_cast<uint16_t>(ReadSettingInt(store, "Debounce", defaults.Debounce));
  settings.ACSignals = (ReadSettingInt(store, "ACSignals", defaults.ACSignals ? 1 : 0) & 1) != 0;
  settings.ColourMode = static_cast<uint8_t>(ReadSettingInt(store, "ColourMode", defaults.ColourMode));
  settings.WhenFull.goOn = (ReadSettingInt(store, "WhenFull", 0) & 1) != 0;
  settings.WhenFull.folder = StoredText(store, kPartsFolderKey).toStdString();
  settings.WhenFull.keep = std::max(0, ReadSettingInt(store, "PartsToKeep", defaults.WhenFull.keep));
  for (const auto& [key, field] : kFleetKeys) settings.Fleet.*field = StoredText(store, key).toStdString();
}

bool StoreSettings(QSettings& store, const LoggerSettings& settings) {
  WriteSettingInt(store, "Port", settings.Port);
  WriteSettingInt(store, "LoggerType", settings.LoggerType.load());
  WriteSettingInt(store, "Debounce", settings.Debounce);
  WriteSettingInt(store, "ACSignals", settings.ACSignals ? 1 : 0);
  WriteSettingInt(store, "ColourMode", settings.ColourMode);
  const FullStoreChoice defaults;
  WriteChoiceInt(store, "WhenFull", settings.WhenFull.goOn ? 1 : 0, defaults.goOn ? 1 : 0);
  const QString folder = QString::fromStdString(settings.WhenFull.folder);
  if (StoredText(store, kPartsFolderKey) != folder) store.setValue(QLatin1String(kPartsFolderKey), folder);
  WriteChoiceInt(store, "PartsToKeep", settings.WhenFull.keep, defaults.keep);
  for (const auto& [key, field] : kFleetKeys) WriteChoiceText(store, key, settings.Fleet.*field);
  store.sync();
  return store.status() == QSettings::NoError;
}

void LoadStoredSettings(LoggerSettings& settings) {
  QSettings store{QString::fromLatin1(kSettingsOrganisation), QString::fromLatin1(kSettingsApplication)};
  LoadStoredSettings(store, settings);
}

bool StoreSettings(const LoggerSettings& settings) {
  QSettings store{QString::fromLatin1(kSettingsOrganisation), QString::fromLatin1(kSettingsApplication)};
  return StoreSettings(store, settings);
}

}  // namespace korvalog
