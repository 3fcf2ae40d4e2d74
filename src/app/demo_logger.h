#pragma once
// The built-in demonstration logger: a USB logger that lives in memory and,
// once the program has started it, reports a lift serving calls. It goes
// through the same HID reader threads, link supervisor and event store as a
// real logger, so a machine with no logger shows a live capture.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/clock.h"
#include "transport/hid_devices.h"
#include "transport/memory_hid.h"
#include "transport/usb_loggers.h"

namespace korvalog {

// Names the channels the lift drives (hall and car calls, door relays, motor,
// floor sensor), the out-of-service input 18, the door limits and safety
// edge 19..21 and two more inputs 22, 23, in the channel table.
inline constexpr int kLiftOutOfService = 18;
void NameLiftChannels(ChannelTable& channels);
// The roles of those channels (as proposed from their names).
ChannelRoles LiftRoles(const ChannelTable& channels);
// The same names in a view's traces.
void NameLiftChannels(TraceList& traces);
// Names and roles in a view's traces: how the demonstration shows its lift.
void NameLiftInputs(TraceList& traces);

class DemoLogger {
 public:
  static constexpr double kEventsPerSecond = 8.0;
  // About how many changes a second the demonstration lift makes at its
  // real timings; its clock runs faster to reach the rate asked for.
  static constexpr double kLiftEventsPerSecond = 1.3;

  // Plugs the logger in; its reports begin after the first start report.
  DemoLogger(CaptureData& data, const Clock& clock, double eventsPerSecond = kEventsPerSecond,
             uint32_t seed = 1);
  ~DemoLogger();  // stops the reports, then closes the readers
  DemoLogger(const DemoLogger&) = delete;
  DemoLogger& operator=(const DemoLogger&) = delete;

  // The USB loggers the link supervisor works with: this one.
  UsbLoggers& Loggers() { return devices_; }
  // Input reports sent so far.
  uint64_t ReportsSent() const { return sent_.load(std::memory_order_relaxed); }

 private:
  void Run(double eventsPerSecond, uint32_t seed);
  bool StartReceived() const;
  // Waits up to `ms`; false when the logger is being shut down.
  bool Wait(int64_t ms);

  MemoryHidBackend backend_;
  std::shared_ptr<MemoryHidDevice> device_;
  HidDevices devices_;
  std::mutex lock_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::atomic<uint64_t> sent_{0};
  std::thread feeder_;
};

}  // namespace korvalog
