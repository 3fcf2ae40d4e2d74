#include "transport/hid_devices.h"

#include <chrono>
#include <mutex>

#include "transport/usb_report.h"

namespace korvalog {
namespace {

// A reader looks at its stop request at least this often.
constexpr int kReadPollMs = 50;
// How soon a reader with transitions waiting tries the lock again.
constexpr int kRetryLockMs = 1;
// Asked of drivers that let the queue be set (the Linux hidraw queue is fixed
// at 64 reports; the reader's own buffer covers it).
constexpr int kInputBuffers = 128;

}  // namespace

THIDThread::THIDThread(std::unique_ptr<HidHandle> readHandle, CaptureData& data, const Clock& clock,
                       std::atomic<uint8_t>& deviceLost)
    : read_(std::move(readHandle)), data_(data), clock_(clock), deviceLost_(deviceLost) {}

THIDThread::~THIDThread() {
  RequestStop();
  Join();
}

void THIDThread::Start() { thread_ = std::thread([this] { Run(); }); }

void THIDThread::RequestStop() {
  stop_.store(true, std::memory_order_release);
  std::lock_guard<std::mutex> hold(handleLock_);
  if (read_) read_->CancelIo();
}

void THIDThread::Join() {
  if (thread_.joinable()) thread_.join();
}

void THIDThread::Run() {
  uint8_t report[64];
  while (!stop_.load(std::memory_order_acquire)) {
    // While transitions wait for the lock, come back to it every millisecond.
    const int n = read_->Read(report, sizeof report, pendingCount_ > 0 ? kRetryLockMs : kReadPollMs);
    if (n == kHidReadFailed) {
      Flush(true);
      // The logger went away: close our handle and let the tick rescan.
      {
        std::lock_guard<std::mutex> hold(handleLock_);
        read_.reset();
      }
      deviceLost_.store(1, std::memory_order_release);
      break;
    }
    if (n > 0) Keep(report, n);
    Flush(pendingCount_ == kBufferedReports);
  }
  Flush(true);
  finished_.store(true, std::memory_order_release);
}

void THIDThread::Keep(const uint8_t* report, int length) {
  UsbTransition t{};
  if (!DecodeInputReport(report, static_cast<size_t>(length), t)) return;
  // Each report its own time, as soon as it is read.
  pending_[pendingCount_++] = Pending{clock_.Now(), t.channel, t.level};
}

void THIDThread::Flush(bool wait) {
  if (pendingCount_ == 0) return;
  TransitionMutex& lock = data_.TransitionLock();
  if (!lock.try_lock()) {
    if (!wait) return;
    slowLocks_.fetch_add(1, std::memory_order_relaxed);
    lock.lock();
  }
  for (int i = 0; i < pendingCount_; ++i) data_.ApplyTransition(pending_[i].time, pending_[i].channel, pending_[i].level);
  lock.unlock();
  pendingCount_ = 0;
}

HidDevices::HidDevices(HidBackend& backend, CaptureData& data, const Clock& clock)
    : backend_(backend), data_(data), clock_(clock) {}

HidDevices::~HidDevices() { CloseHidDevices(); }

void HidDevices::CloseHidDevices() {
  // Ask every reader to end first so they all wind down together, then wait.
  for (Entry& e : list_) e.reader->RequestStop();
  for (Entry& e : list_) e.reader->Join();
  list_.clear();
}

void HidDevices::ScanHidDevices() {
  CloseHidDevices();
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  for (const HidDeviceInfo& info : backend_.Enumerate()) {
    if (!IsLoggerDevice(info)) continue;
    std::unique_ptr<HidHandle> read = backend_.Open(info.path);
    std::unique_ptr<HidHandle> write = backend_.Open(info.path);
    if (!read || !write) continue;  // cannot be opened twice: left out
    read->SetNumInputBuffers(kInputBuffers);
    const HidReport index = DeviceIndexReport(HidDeviceCount());
    write->Write(index.data(), index.size());
    const HidReport clockReport = SetClockReport(clock_.Now());
    write->Write(clockReport.data(), clockReport.size());
    Entry e{std::make_unique<THIDThread>(std::move(read), data_, clock_, DeviceLost), std::move(write)};
    e.reader->Start();
    list_.push_back(std::move(e));
  }
}

bool HidDevices::TakeDeviceLost() { return DeviceLost.exchange(0, std::memory_order_acq_rel) != 0; }

void HidDevices::WriteReport(const HidReport& report, int target) {
  if (target == kAllDevices) {
    for (Entry& e : list_) e.write->Write(report.data(), report.size());
  } else if (target >= 0 && target < HidDeviceCount()) {
    list_[static_cast<size_t>(target)].write->Write(report.data(), report.size());
  }
}

void HidDevices::SendConfigReport(uint16_t debounce, bool acSignals) {
  WriteReport(ConfigReport(debounce, acSignals), kAllDevices);
}

void HidDevices::SendStartReport() { WriteReport(StartReport(), kAllDevices); }

}  // namespace korvalog
