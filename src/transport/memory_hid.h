#pragma once
// USB loggers that live in memory: they can be plugged in and out, fed input
// reports, and they record the output reports written to them. Used by the
// tests and by a demonstration mode that needs no hardware.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "transport/hid_backend.h"

namespace korvalog {

class MemoryHidDevice {
 public:
  explicit MemoryHidDevice(HidDeviceInfo info) : info_(std::move(info)) {}
  const HidDeviceInfo& Info() const { return info_; }

  // Queues an input report as the device would deliver it (report ID first).
  void PushInput(std::vector<uint8_t> report);
  // Every output report written to the device so far, in order.
  std::vector<std::vector<uint8_t>> Written() const;
  int OpenHandles() const;
  size_t PendingInput() const;
  bool Plugged() const;
  // Writes fail from now on (a device that refuses output reports).
  void FailWrites(bool fail);
  // Opening fails after this many more successful opens (-1: never fails).
  void FailOpenAfter(int opens);

 private:
  friend class MemoryHidBackend;
  friend class MemoryHidHandle;
  HidDeviceInfo info_;
  mutable std::mutex lock_;
  std::condition_variable arrived_;
  std::deque<std::vector<uint8_t>> input_;
  std::vector<std::vector<uint8_t>> written_;
  bool plugged_ = true;
  bool failWrites_ = false;
  int opensLeft_ = -1;
  int openHandles_ = 0;
  uint64_t cancels_ = 0;
};

class MemoryHidBackend final : public HidBackend {
 public:
  std::shared_ptr<MemoryHidDevice> Plug(const std::string& path, uint16_t vendorId, uint16_t productId);
  // Pulls the device out: it leaves the enumeration and its handles fail.
  void Unplug(const std::shared_ptr<MemoryHidDevice>& device);

  std::vector<HidDeviceInfo> Enumerate() override;
  std::unique_ptr<HidHandle> Open(const std::string& path) override;

 private:
  std::mutex lock_;
  std::vector<std::shared_ptr<MemoryHidDevice>> devices_;  // enumeration order
};

}  // namespace korvalog
