#pragma once
// The USB loggers through hidapi (hidraw backend on Linux).
#include "transport/hid_backend.h"

namespace korvalog {

class HidapiBackend final : public HidBackend {
 public:
  HidapiBackend();   // initialises the library once
  ~HidapiBackend() override;
  std::vector<HidDeviceInfo> Enumerate() override;
  std::unique_ptr<HidHandle> Open(const std::string& path) override;

 private:
  bool ready_ = false;
};

}  // namespace korvalog
