#include "app/demo_logger.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "transport/hid_reports.h"
#include "transport/lift_traffic.h"
#include "transport/transition_source.h"
#include "transport/usb_report.h"

namespace korvalog {

void NameLiftChannels(ChannelTable& channels) {
  const char* floors[] = {"G", "1", "2", "3", "4", "5"};
  for (int f = 0; f < sim::LiftPattern::kFloors; ++f) {
    SetChannelName(channels[f], std::string("Hall call ") + floors[f]);
    SetChannelName(channels[sim::LiftPattern::kFloors + f], std::string("Car call ") + floors[f]);
  }
  SetChannelName(channels[sim::LiftPattern::kDoorOpen - 1], "Door open relay");
  SetChannelName(channels[sim::LiftPattern::kDoorClosed - 1], "Door close relay");
  SetChannelName(channels[sim::LiftPattern::kMotorUp - 1], "Motor run up");
  SetChannelName(channels[sim::LiftPattern::kMotorDown - 1], "Motor run down");
  SetChannelName(channels[sim::LiftPattern::kFloorSensor - 1], "Floor level sensor");
  SetChannelName(channels[kLiftOutOfService - 1], "Out of service");
  SetChannelName(channels[sim::LiftChannels::kDoorOpenLimit - 1], "Door open limit");
  SetChannelName(channels[sim::LiftChannels::kDoorClosedLimit - 1], "Door closed limit");
  SetChannelName(channels[sim::LiftChannels::kSafetyEdge - 1], "Safety edge");
  SetChannelName(channels[sim::LiftChannels::kDoorContact - 1], "Landing door contact");
  SetChannelName(channels[sim::LiftChannels::kCarFan - 1], "Car fan");
}

ChannelRoles LiftRoles(const ChannelTable& channels) { return ProposeRoles(channels); }

void NameLiftChannels(TraceList& traces) {
  ChannelTable names = traces.Table();
  NameLiftChannels(names);
  traces.SetTable(names);
}

void NameLiftInputs(TraceList& traces) {
  NameLiftChannels(traces);
  traces.SetRoles(LiftRoles(traces.Table()));
}

sim::LiftTrafficParameters DemoLiftParameters(uint32_t seed) {
  sim::LiftTrafficParameters p;
  p.seed = seed;
  p.doorOpenMs = 2800;
  p.doorCloseMs = 3200;
  p.dwellMs = 5000;
  p.motorStartMs = 600;
  p.floorTravelMs = 2000;
  p.runExtraMs = 4000;  // one floor 6 s, five floors 14 s
  p.callIntervalMs = 60000;
  p.reopenEvery = 5;
  p.slowCloseEvery = 8;
  p.faultPhase = 39;  // the first closing reopens (40 % 5) and then sticks (40 % 8)
  p.slowCloseMs = 7500;
  p.relevelEvery = 10;
  p.relevelMs = 700;
  p.outOfServiceFromMs = 9 * 60000;
  p.outOfServiceToMs = 10 * 60000;
  p.chatterChannel = sim::LiftChannels::kDoorContact;
  p.chatterEveryMs = 40000;  // the first pulse at 20 s
  p.chatterPulseMs = 15;
  p.stuckChannel = sim::LiftChannels::kCarFan;
  p.stuckFromMs = 15000;
  return p;
}

DemoLogger::DemoLogger(CaptureData& data, const Clock& clock, double speed, uint32_t seed)
    : device_(backend_.Plug("demo:0", kLoggerVendorId, kLoggerProductId)),
      devices_(backend_, data, clock) {
  feeder_ = std::thread([this, speed, seed] { Run(speed, seed); });
}

DemoLogger::~DemoLogger() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  wake_.notify_all();
  feeder_.join();
  devices_.CloseHidDevices();
}

bool DemoLogger::StartReceived() const {
  const HidReport start = StartReport();
  for (const std::vector<uint8_t>& r : device_->Written()) {
    if (r.size() >= 2 && r[1] == start[1]) return true;
  }
  return false;
}

bool DemoLogger::Wait(int64_t ms) {
  std::unique_lock<std::mutex> hold(lock_);
  return !wake_.wait_for(hold, std::chrono::milliseconds(ms), [this] { return stop_; });
}

void DemoLogger::Run(double speed, uint32_t seed) {
  // Like a real logger: silent until the program has sent its start report.
  while (!StartReceived()) {
    if (!Wait(50)) return;
  }
  sim::LiftTrafficParameters p = DemoLiftParameters(seed);
  // Faster than real time only when asked (tests, a quick look).
  p.timeScale = 1.0 / (speed >= kRealTime ? std::min(speed, kMaxSpeed) : kRealTime);
  sim::LiftTraffic lift(p);
  const auto started = std::chrono::steady_clock::now();
  sim::SimTransition t{};
  while (lift.Next(t)) {
    const auto due = started + std::chrono::milliseconds(t.atMs);
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
        due - std::chrono::steady_clock::now());
    if (wait.count() > 0 && !Wait(wait.count())) return;
    {
      std::lock_guard<std::mutex> hold(lock_);
      if (stop_) return;
    }
    std::vector<uint8_t> report(kHidReportSize, 0);
    report[1] = static_cast<uint8_t>((t.level << 7) | ((t.channel - 1) & 0x7F));
    device_->PushInput(std::move(report));
    sent_.fetch_add(1, std::memory_order_relaxed);
  }
}

}  // namespace korvalog
