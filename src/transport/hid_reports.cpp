#include "transport/hid_reports.h"

#include "base/byte_text.h"
#include "base/date_time.h"

namespace korvalog {
namespace {

HidReport Command(uint8_t command) {
  HidReport r{};
  r[1] = command;
  return r;
}

}  // namespace

bool IsLoggerDevice(const HidDeviceInfo& info) {
  if (info.vendorId == kLoggerVendorId && info.productId == kLoggerProductId) return true;
  return FindTextFrom(1, "VID_" + WordToHex(kLoggerVendorId), info.path) != 0 &&
         FindTextFrom(1, "PID_" + WordToHex(kLoggerProductId), info.path) != 0;
}

HidReport SetClockReport(double now) {
  const DateTimeFields f = FieldsFromMs(DateTimeToMs(now));
  HidReport r = Command(0);
  r[2] = static_cast<uint8_t>(f.millisecond / 10);
  r[3] = static_cast<uint8_t>(f.second);
  r[4] = static_cast<uint8_t>(f.minute);
  r[5] = static_cast<uint8_t>(f.hour);
  r[6] = static_cast<uint8_t>(f.day);
  r[7] = static_cast<uint8_t>(f.month);
  r[8] = static_cast<uint8_t>(f.year % 100);
  return r;
}

HidReport ConfigReport(uint16_t debounce, bool acSignals) {
  const uint16_t ms = static_cast<uint16_t>(debounce * 10);
  HidReport r = Command(1);
  r[2] = static_cast<uint8_t>(ms & 0xFF);
  r[3] = static_cast<uint8_t>(ms >> 8);
  r[4] = acSignals ? 1 : 0;
  return r;
}

HidReport StartReport() { return Command(2); }

HidReport DeviceIndexReport(int position) {
  HidReport r = Command(3);
  r[2] = static_cast<uint8_t>(position);
  return r;
}

}  // namespace korvalog
