#include "transport/memory_hid.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace korvalog {

class MemoryHidHandle final : public HidHandle {
 public:
  explicit MemoryHidHandle(std::shared_ptr<MemoryHidDevice> d) : device_(std::move(d)) {}
  ~MemoryHidHandle() override {
    std::lock_guard<std::mutex> hold(device_->lock_);
    --device_->openHandles_;
  }

  int Read(uint8_t* buffer, size_t size, int timeoutMs) override {
    MemoryHidDevice& d = *device_;
    std::unique_lock<std::mutex> hold(d.lock_);
    const uint64_t cancels = d.cancels_;
    d.arrived_.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                        [&] { return !d.input_.empty() || !d.plugged_ || d.cancels_ != cancels; });
    if (!d.plugged_) return kHidReadFailed;
    if (d.input_.empty()) return kHidReadTimeout;
    std::vector<uint8_t> report = std::move(d.input_.front());
    d.input_.pop_front();
    const size_t n = std::min(size, report.size());
    std::memcpy(buffer, report.data(), n);
    return static_cast<int>(n);
  }

  bool Write(const uint8_t* report, size_t size) override {
    std::lock_guard<std::mutex> hold(device_->lock_);
    if (!device_->plugged_ || device_->failWrites_) return false;
    device_->written_.emplace_back(report, report + size);
    return true;
  }

  void CancelIo() override {
    std::lock_guard<std::mutex> hold(device_->lock_);
    ++device_->cancels_;
    device_->arrived_.notify_all();
  }

 private:
  std::shared_ptr<MemoryHidDevice> device_;
};

void MemoryHidDevice::PushInput(std::vector<uint8_t> report) {
  std::lock_guard<std::mutex> hold(lock_);
  input_.push_back(std::move(report));
  arrived_.notify_all();
}

std::vector<std::vector<uint8_t>> MemoryHidDevice::Written() const {
  std::lock_guard<std::mutex> hold(lock_);
  return written_;
}

int MemoryHidDevice::OpenHandles() const {
  std::lock_guard<std::mutex> hold(lock_);
  return openHandles_;
}

size_t MemoryHidDevice::PendingInput() const {
  std::lock_guard<std::mutex> hold(lock_);
  return input_.size();
}

bool MemoryHidDevice::Plugged() const {
  std::lock_guard<std::mutex> hold(lock_);
  return plugged_;
}

void MemoryHidDevice::FailWrites(bool fail) {
  std::lock_guard<std::mutex> hold(lock_);
  failWrites_ = fail;
}

void MemoryHidDevice::FailOpenAfter(int opens) {
  std::lock_guard<std::mutex> hold(lock_);
  opensLeft_ = opens;
}

std::shared_ptr<MemoryHidDevice> MemoryHidBackend::Plug(const std::string& path, uint16_t vendorId,
                                                        uint16_t productId) {
  auto d = std::make_shared<MemoryHidDevice>(HidDeviceInfo{path, vendorId, productId});
  std::lock_guard<std::mutex> hold(lock_);
  devices_.push_back(d);
  return d;
}

void MemoryHidBackend::Unplug(const std::shared_ptr<MemoryHidDevice>& device) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    devices_.erase(std::remove(devices_.begin(), devices_.end(), device), devices_.end());
  }
  std::lock_guard<std::mutex> hold(device->lock_);
  device->plugged_ = false;
  device->arrived_.notify_all();
}

std::vector<HidDeviceInfo> MemoryHidBackend::Enumerate() {
  std::lock_guard<std::mutex> hold(lock_);
  std::vector<HidDeviceInfo> out;
  for (const auto& d : devices_) out.push_back(d->Info());
  return out;
}

std::unique_ptr<HidHandle> MemoryHidBackend::Open(const std::string& path) {
  std::shared_ptr<MemoryHidDevice> device;
  {
    std::lock_guard<std::mutex> hold(lock_);
    for (const auto& d : devices_) {
      if (d->Info().path == path) device = d;
    }
  }
  if (!device) return nullptr;
  std::lock_guard<std::mutex> hold(device->lock_);
  if (!device->plugged_ || device->opensLeft_ == 0) return nullptr;
  if (device->opensLeft_ > 0) --device->opensLeft_;
  ++device->openHandles_;
  return std::make_unique<MemoryHidHandle>(device);
}

}  // namespace korvalog
