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
#include "transport/lift_traffic.h"
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

// The demonstration lift: six floors at ordinary timings (doors 2.8 s open
// and 3.2 s closing, 5 s dwell, trips of 6 to 14 s, a call about a minute)
// with faults that show in the first minutes: a chattering landing door
// contact from 20 s, the car fan stuck on from 15 s, a reopen by the safety
// edge at the first closing and every fifth after, a sticking door (7.5 s)
// at the first full closing and every eighth after, a re-levelling run now
// and then and an out-of-service spell from 9 to 10 min.
sim::LiftTrafficParameters DemoLiftParameters(uint32_t seed);

class DemoLogger {
 public:
  // How much faster than the lift's own clock the reports come (1: real time).
  static constexpr double kRealTime = 1.0;
  static constexpr double kMaxSpeed = 1000.0;

  // Plugs the logger in; its reports begin after the first start report.
  DemoLogger(CaptureData& data, const Clock& clock, double speed = kRealTime, uint32_t seed = 1);
  ~DemoLogger();  // stops the reports, then closes the readers
  DemoLogger(const DemoLogger&) = delete;
  DemoLogger& operator=(const DemoLogger&) = delete;

  // The USB loggers the link supervisor works with: this one.
  UsbLoggers& Loggers() { return devices_; }
  // Input reports sent so far.
  uint64_t ReportsSent() const { return sent_.load(std::memory_order_relaxed); }

 private:
  void Run(double speed, uint32_t seed);
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
