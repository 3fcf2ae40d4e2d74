#pragma once
// Our small HID layer: enumerate devices, open a device path, read and write
// 9-byte reports. One implementation sits on the platform's HID library, one
// in memory (tests, demonstration). A Windows one slots in the same way.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace korvalog {

struct HidDeviceInfo {
  std::string path;
  uint16_t vendorId = 0;
  uint16_t productId = 0;
};

// Results of HidHandle::Read besides a byte count.
constexpr int kHidReadTimeout = 0;
constexpr int kHidReadFailed = -1;

class HidHandle {
 public:
  virtual ~HidHandle() = default;
  // Waits up to timeoutMs for one input report and copies it, report ID in
  // byte 0, into buffer. Returns its length, kHidReadTimeout, or kHidReadFailed
  // once the device is gone or the handle unusable.
  virtual int Read(uint8_t* buffer, size_t size, int timeoutMs) = 0;
  // Writes one output report (report ID in byte 0); false when it failed.
  virtual bool Write(const uint8_t* report, size_t size) = 0;
  // Wakes a Read waiting on this handle (it then returns kHidReadTimeout).
  virtual void CancelIo() {}
  // Asks the driver to queue this many input reports for the reader.
  virtual void SetNumInputBuffers(int) {}
};

class HidBackend {
 public:
  virtual ~HidBackend() = default;
  virtual std::vector<HidDeviceInfo> Enumerate() = 0;
  // Null when the path cannot be opened.
  virtual std::unique_ptr<HidHandle> Open(const std::string& path) = 0;
};

}  // namespace korvalog
