#pragma once
// The USB logger's identity and the 9-byte output reports sent to it:
// byte 0 report ID 0, byte 1 the command, the rest its arguments or 0.
#include <array>
#include <cstdint>

#include "transport/hid_backend.h"

namespace korvalog {

using HidReport = std::array<uint8_t, 9>;

constexpr uint16_t kLoggerVendorId = 0x6B2D;
constexpr uint16_t kLoggerProductId = 0xFF00;

// By the identifiers the HID library reports, or by "VID_6B2D" and "PID_FF00"
// anywhere in a Windows-style interface path (case ignored).
bool IsLoggerDevice(const HidDeviceInfo& info);

// Local date and time: hundredths, seconds, minutes, hours, day, month, year mod 100.
HidReport SetClockReport(double now);
// Debounce in milliseconds (units of 10 ms times 10) little-endian, then AC flag.
HidReport ConfigReport(uint16_t debounce, bool acSignals);
HidReport StartReport();
HidReport DeviceIndexReport(int position);

}  // namespace korvalog
