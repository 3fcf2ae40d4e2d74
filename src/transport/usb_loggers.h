#pragma once
// What the link supervisor needs of the USB loggers. The HID transport
// implements it; NoUsbLoggers stands in where no USB support is wanted.
#include <cstdint>

namespace korvalog {

class UsbLoggers {
 public:
  virtual ~UsbLoggers() = default;
  // Closes the current list and opens every logger found, each with its reader.
  virtual void ScanHidDevices() = 0;
  // Loggers in the current list.
  virtual int HidDeviceCount() const = 0;
  // True once after a reader ended because its logger went away; clears the flag.
  virtual bool TakeDeviceLost() = 0;
  // Output reports to every logger in the list.
  virtual void SendConfigReport(uint16_t debounce, bool acSignals) = 0;
  virtual void SendStartReport() = 0;
};

class NoUsbLoggers final : public UsbLoggers {
 public:
  void ScanHidDevices() override {}
  int HidDeviceCount() const override { return 0; }
  bool TakeDeviceLost() override { return false; }
  void SendConfigReport(uint16_t, bool) override {}
  void SendStartReport() override {}
};

}  // namespace korvalog
