#pragma once
// The open USB loggers: found by a scan, each read by its own THIDThread, and
// sent output reports through a second handle of its own.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/capture_data.h"
#include "core/clock.h"
#include "transport/hid_backend.h"
#include "transport/hid_reports.h"
#include "transport/usb_loggers.h"

namespace korvalog {

// Reads one logger's input reports into the capture until its read fails
// (unplugged: closes the handle and raises DeviceLost) or it is told to stop
// when the list is closed (ends quietly).
//
// The driver keeps only a few dozen reports per open handle (64 on Linux)
// and drops new ones when they are not read, so the reader never stops
// reading to wait for the transition lock: each report is stamped as it is
// read and kept in the reader's own buffer, and the buffer is applied in one
// batch whenever the lock is free. Only a full buffer waits for the lock.
class THIDThread {
 public:
  THIDThread(std::unique_ptr<HidHandle> readHandle, CaptureData& data, const Clock& clock,
             std::atomic<uint8_t>& deviceLost);
  ~THIDThread();  // stops and joins
  THIDThread(const THIDThread&) = delete;
  THIDThread& operator=(const THIDThread&) = delete;

  void Start();
  void RequestStop();
  void Join();
  bool Finished() const { return finished_.load(std::memory_order_acquire); }
  // Times the buffer filled while the lock was held, so the reader waited.
  uint64_t SlowLockCount() const { return slowLocks_.load(std::memory_order_relaxed); }

  // Reports the reader holds while the lock is taken by others.
  static constexpr int kBufferedReports = 256;

 private:
  struct Pending {
    double time;
    uint8_t channel;
    uint8_t level;
  };

  void Run();
  void Keep(const uint8_t* report, int length);
  // Applies the buffer when the lock is free, or (wait) once it is.
  void Flush(bool wait);

  std::mutex handleLock_;  // between the reader closing read_ and RequestStop waking it
  std::unique_ptr<HidHandle> read_;
  CaptureData& data_;
  const Clock& clock_;
  std::atomic<uint8_t>& deviceLost_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::atomic<uint64_t> slowLocks_{0};
  Pending pending_[kBufferedReports];
  int pendingCount_ = 0;
  std::thread thread_;
};

class HidDevices final : public UsbLoggers {
 public:
  HidDevices(HidBackend& backend, CaptureData& data, const Clock& clock);
  ~HidDevices() override;  // CloseHidDevices: every reader has ended on return
  HidDevices(const HidDevices&) = delete;
  HidDevices& operator=(const HidDevices&) = delete;

  void ScanHidDevices() override;
  void CloseHidDevices();
  int HidDeviceCount() const override { return static_cast<int>(list_.size()); }
  bool TakeDeviceLost() override;
  void SendConfigReport(uint16_t debounce, bool acSignals) override;
  void SendStartReport() override;

  // To one listed device (position 0..count-1), or to all when target is -1,
  // in list order; a failed write is skipped.
  static constexpr int kAllDevices = -1;
  void WriteReport(const HidReport& report, int target);

  // Set by a reader that ended because its logger went away.
  std::atomic<uint8_t> DeviceLost{0};

 private:
  struct Entry {
    std::unique_ptr<THIDThread> reader;  // owns the read handle
    std::unique_ptr<HidHandle> write;
  };

  HidBackend& backend_;
  CaptureData& data_;
  const Clock& clock_;
  std::vector<Entry> list_;  // HidDeviceList
};

}  // namespace korvalog
