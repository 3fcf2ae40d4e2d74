#include "sample_lift_feed.h"

#include <algorithm>

namespace korvalog::sample {
namespace {
using sim::LiftPattern;

bool IsCall(int channel) { return channel >= 1 && channel <= 2 * LiftPattern::kFloors; }
bool IsMotor(int channel) { return channel == LiftPattern::kMotorUp || channel == LiftPattern::kMotorDown; }
}  // namespace

std::vector<Fault> SampleFaults(int64_t recordingMs) {
  return {
      {FaultKind::SlowDoorClose, recordingMs * 20 / 100, 6000},
      {FaultKind::LateMotor, recordingMs * 40 / 100, 5000},
      {FaultKind::LateDoorOpen, recordingMs * 75 / 100, 5000},
  };
}

void NormalTripPattern(SequenceTable& table) {
  // A row's limits govern the time from its change to the next row's.
  const SequenceRow rows[] = {
      {LiftPattern::kDoorOpen, 0, 0, 4},
      {LiftPattern::kDoorClosed, 1, 0, 3},
      {kMainContactor, 1, 2, 30},
      {kMainContactor, 0, 0, 2},
      {LiftPattern::kDoorClosed, 0, 0, 5},
      {LiftPattern::kDoorOpen, 1, 0, 0},
  };
  table = SequenceTable{};
  std::copy(std::begin(rows), std::end(rows), table.begin());
}

SampleLiftFeed::SampleLiftFeed(std::vector<Fault> faults, int64_t oosFromMs, int64_t oosToMs,
                               int outOfServiceChannel)
    : faults_(std::move(faults)), oosFromMs_(oosFromMs), oosToMs_(oosToMs), oosChannel_(outOfServiceChannel) {}

bool SampleLiftFeed::FaultHits(FaultKind kind, const sim::SimTransition& t) const {
  if (t.level != 1) return false;
  switch (kind) {
    case FaultKind::SlowDoorClose:
      return t.channel == LiftPattern::kDoorClosed;
    case FaultKind::LateMotor:
      return IsMotor(t.channel);
    case FaultKind::LateDoorOpen:
      return t.channel == LiftPattern::kDoorOpen;
  }
  return false;
}

void SampleLiftFeed::Feed(const sim::SimTransition& in, std::vector<sim::SimTransition>& out) {
  sim::SimTransition t = in;
  t.atMs += shiftMs_;
  // Every trip starts with its call and ends with the door open at the
  // floor, so whole trips leave the lift's inputs as they found them.
  const bool tripStarts = IsCall(in.channel) && in.level == 1;
  if (service_ == Service::Before && tripStarts && t.atMs >= oosFromMs_) {
    service_ = Service::Out;
    lastMs_ = std::min(t.atMs, std::max(lastMs_ + 1000, oosFromMs_));
    out.push_back({lastMs_, oosChannel_, 1});
  }
  if (service_ == Service::Out) {
    if (!tripStarts || t.atMs < oosToMs_) return;  // no trips meanwhile
    service_ = Service::After;
    lastMs_ = std::max(lastMs_, std::min(oosToMs_, t.atMs));
    out.push_back({lastMs_, oosChannel_, 0});
  }
  if (tripStarts && nextFault_ < faults_.size() && t.atMs >= faults_[nextFault_].fromMs) {
    armed_ = static_cast<int>(nextFault_++);
  }
  if (armed_ >= 0 && FaultHits(faults_[armed_].kind, in)) {
    shiftMs_ += faults_[armed_].delayMs;
    t.atMs += faults_[armed_].delayMs;
    armed_ = -1;
  }
  out.push_back(t);
  if (IsMotor(in.channel)) out.push_back({t.atMs, kMainContactor, in.level});
  lastMs_ = t.atMs;
}

}  // namespace korvalog::sample
