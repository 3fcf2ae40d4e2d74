#pragma once
// Decoding of the USB logger's 9-byte input report: byte 0 the report ID (0),
// byte 1 the transition byte (bit 7 level, bits 0-6 channel - 1).
#include <cstddef>
#include <cstdint>

namespace korvalog {

constexpr size_t kHidReportSize = 9;

struct UsbTransition {
  uint8_t channel;  // 1..128
  uint8_t level;    // 0/1
};

// False for a read of the wrong length or a report ID other than 0.
// 0xFF in byte 1 is channel 128 going high: USB has no sign-of-life byte.
inline bool DecodeInputReport(const uint8_t* report, size_t length, UsbTransition& out) {
  if (length != kHidReportSize || report[0] != 0) return false;
  out.channel = static_cast<uint8_t>((report[1] & 0x7F) + 1);
  out.level = report[1] >> 7;
  return true;
}

}  // namespace korvalog
