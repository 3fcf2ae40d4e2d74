#include "settings/qt/stored_settings.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

#include "base/byte_text.h"

namespace korvalog {
namespace {

// The stored text of a value; empty when missing. A text with commas comes
// back from the store as a list, which is joined again.
QString StoredText(const QSettings& store, const char* name) {
  const QVariant value = store.value(QLatin1String(name));
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QLatin1Char(','));
  return value.toString();
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
}

bool StoreSettings(QSettings& store, const LoggerSettings& settings) {
  WriteSettingInt(store, "Port", settings.Port);
  WriteSettingInt(store, "LoggerType", settings.LoggerType.load());
  WriteSettingInt(store, "Debounce", settings.Debounce);
  WriteSettingInt(store, "ACSignals", settings.ACSignals ? 1 : 0);
  WriteSettingInt(store, "ColourMode", settings.ColourMode);
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
