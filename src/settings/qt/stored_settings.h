#pragma once
// The five logger settings in the per-user store, as decimal texts named
// "Port", "LoggerType", "Debounce", "ACSignals" and "ColourMode" under the
// organisation "Quendrix" and the application "Korvalog"; beside them, once
// chosen, what a full store does: "WhenFull" (0 stop, 1 go on),
// "PartsFolder" and "PartsToKeep" (0: every file).
#include <cstdint>

#include "core/records.h"

class QSettings;

namespace korvalog {

inline constexpr char kSettingsOrganisation[] = "Quendrix";
inline constexpr char kSettingsApplication[] = "Korvalog";

// The stored text read with TextToInt; `fallback` when the value is missing
// or empty.
int32_t ReadSettingInt(const QSettings& store, const char* name, int32_t fallback);
// Stores the decimal text of `value`, only when it differs from what is
// stored.
void WriteSettingInt(QSettings& store, const char* name, int32_t value);

// Reads every field, with the defaults where nothing is stored. ACSignals
// keeps bit 0 of what is read, Debounce the low 16 bits, the rest the low 8.
void LoadStoredSettings(QSettings& store, LoggerSettings& settings);
// Writes every field that differs from the store; false when the store
// could not be written (the caller need not tell the user).
bool StoreSettings(QSettings& store, const LoggerSettings& settings);

// The same on the user's own store.
void LoadStoredSettings(LoggerSettings& settings);
bool StoreSettings(const LoggerSettings& settings);

}  // namespace korvalog
