#pragma once
// The USB loggers on Windows: the HID device interfaces SetupAPI lists, each
// opened for overlapped reads and writes through hid.dll.
#include "transport/hid_backend.h"

namespace korvalog {

class WindowsHidBackend final : public HidBackend {
 public:
  std::vector<HidDeviceInfo> Enumerate() override;
  std::unique_ptr<HidHandle> Open(const std::string& path) override;
};

// The vendor and product numbers a device interface path names
// ("\\?\hid#vid_6b2d&pid_ff00#..."), in any case; false when it names none.
bool IdsFromInterfacePath(const std::string& path, uint16_t& vendorId, uint16_t& productId);

}  // namespace korvalog
