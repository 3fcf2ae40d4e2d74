#include "transport/hidapi/hidapi_backend.h"

#include <hidapi/hidapi.h>

#include "transport/system_hid.h"

#include <algorithm>
#include <cstring>

namespace korvalog {
namespace {

class HidapiHandle final : public HidHandle {
 public:
  explicit HidapiHandle(hid_device* d) : device_(d) {}
  ~HidapiHandle() override { hid_close(device_); }

  // The logger's reports carry no numbered report ID, so hidraw hands over
  // the data bytes alone; report ID 0 goes back in front so every reader sees
  // the same 9-byte report.
  int Read(uint8_t* buffer, size_t size, int timeoutMs) override {
    if (size < 2) return kHidReadFailed;
    const int n = hid_read_timeout(device_, buffer + 1, size - 1, timeoutMs);
    if (n < 0) return kHidReadFailed;
    if (n == 0) return kHidReadTimeout;
    buffer[0] = 0;
    return n + 1;
  }

  bool Write(const uint8_t* report, size_t size) override {
    return hid_write(device_, report, size) == static_cast<int>(size);
  }

 private:
  hid_device* device_;
};

}  // namespace

HidapiBackend::HidapiBackend() : ready_(hid_init() == 0) {}

HidapiBackend::~HidapiBackend() {
  if (ready_) hid_exit();
}

std::vector<HidDeviceInfo> HidapiBackend::Enumerate() {
  std::vector<HidDeviceInfo> out;
  if (!ready_) return out;  // no HID library: no device
  hid_device_info* list = hid_enumerate(0, 0);
  for (hid_device_info* d = list; d != nullptr; d = d->next) {
    out.push_back(HidDeviceInfo{d->path ? d->path : "", d->vendor_id, d->product_id});
  }
  hid_free_enumeration(list);
  return out;
}

std::unique_ptr<HidHandle> HidapiBackend::Open(const std::string& path) {
  if (!ready_) return nullptr;
  hid_device* d = hid_open_path(path.c_str());
  if (d == nullptr) return nullptr;
  return std::make_unique<HidapiHandle>(d);
}

std::unique_ptr<HidBackend> MakeSystemHidBackend() { return std::make_unique<HidapiBackend>(); }

}  // namespace korvalog
