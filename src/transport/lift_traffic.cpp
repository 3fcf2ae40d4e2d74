#include "transport/lift_traffic.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvalog::sim {
namespace {

constexpr int64_t kNever = std::numeric_limits<int64_t>::max();
constexpr int kHallBase = 1, kCarBase = 7;
constexpr int64_t kLevelHalfZoneMs = 300;
constexpr int64_t kEdgePulseMs = 300;
constexpr int64_t kCancelMs = 100;
constexpr int64_t kAnswerMs = 300;  // a call pressed where the door stands open

}  // namespace

LiftTraffic::LiftTraffic(const LiftTrafficParameters& p) : p_(p), random_(p.seed) {
  p_.floors = std::clamp(p_.floors, 2, 6);
  // The car stands at the ground floor, in the level zone, door closed.
  Emit(0, LiftChannels::kLevel, 1);
  Emit(0, LiftChannels::kDoorClosedLimit, 1);
  if (p_.outOfServiceFromMs >= 0 && p_.outOfServiceToMs > p_.outOfServiceFromMs) {
    Emit(p_.outOfServiceFromMs, LiftChannels::kOutOfService, 1);
    Emit(p_.outOfServiceToMs, LiftChannels::kOutOfService, 0);
    Record("out_of_service", p_.outOfServiceFromMs, p_.outOfServiceToMs - p_.outOfServiceFromMs,
           LiftChannels::kOutOfService);
  } else {
    p_.outOfServiceFromMs = p_.outOfServiceToMs = -1;
  }
  if (p_.stuckChannel > 0 && p_.stuckFromMs >= 0) Emit(p_.stuckFromMs, p_.stuckChannel, 1);
  nextChatterAt_ = p_.chatterChannel > 0 && p_.chatterEveryMs > 0 ? p_.chatterEveryMs / 2 : kNever;
  nextCallAt_ = std::max<int64_t>(1000, p_.callIntervalMs / 2);
}

int64_t LiftTraffic::Scaled(int64_t ms) const {
  return p_.timeScale == 1.0 ? ms : static_cast<int64_t>(std::llround(static_cast<double>(ms) * p_.timeScale));
}

void LiftTraffic::Emit(int64_t at, int channel, int level) { pending_.push({at, order_++, channel, level}); }

void LiftTraffic::Record(const char* kind, int64_t start, int64_t duration, int channel, int floor, const char* detail) {
  truth_.push_back({kind, start, duration, channel, floor, detail});
}

bool LiftTraffic::Next(SimTransition& out) {
  for (;;) {
    const int64_t horizon = std::min(nextCallAt_, nextChatterAt_);
    if (!pending_.empty() && pending_.top().at <= horizon) {
      const Pending e = pending_.top();
      pending_.pop();
      out = {Scaled(e.at), e.channel, e.level};
      return true;
    }
    if (nextChatterAt_ <= nextCallAt_) {
      PlanChatter();
    } else {
      PlanNextCall();
    }
  }
}

void LiftTraffic::PlanChatter() {
  const int64_t at = nextChatterAt_;
  nextChatterAt_ += p_.chatterEveryMs;
  Emit(at, p_.chatterChannel, 1);
  Emit(at + p_.chatterPulseMs, p_.chatterChannel, 0);
  Record("chatter", at, p_.chatterPulseMs, p_.chatterChannel);
}

// The door commands are held: the open relay from the opening until the
// close command, the close relay from then until the next opening. The
// command that ends goes first, so no moment has both or neither changed
// out of order.
void LiftTraffic::OpenDoor(int64_t at) {
  Emit(at, LiftChannels::kDoorOpenRelay, 1);
  if (closeRelayOn_) Emit(at, LiftChannels::kDoorCloseRelay, 0);
  closeRelayOn_ = false;
  Emit(at, LiftChannels::kDoorClosedLimit, 0);
  Emit(at + p_.doorOpenMs, LiftChannels::kDoorOpenLimit, 1);
  Record("door_open", at, p_.doorOpenMs, LiftChannels::kDoorOpenRelay);
}

int64_t LiftTraffic::CloseDoor(int64_t at) {
  const int64_t closeAt = at + p_.dwellMs;
  Record("dwell", at, p_.dwellMs, LiftChannels::kDoorOpenLimit);
  Emit(closeAt, LiftChannels::kDoorOpenRelay, 0);
  Emit(closeAt, LiftChannels::kDoorCloseRelay, 1);
  Emit(closeAt, LiftChannels::kDoorOpenLimit, 0);
  closeRelayOn_ = true;
  ++closings_;
  if (p_.reopenEvery > 0 && (closings_ + p_.faultPhase) % p_.reopenEvery == 0) {
    // The safety edge stops the closing half-way; the door opens again from
    // there and dwells once more.
    const int64_t edge = closeAt + p_.doorCloseMs / 2;
    Emit(edge, LiftChannels::kSafetyEdge, 1);
    Emit(edge + kEdgePulseMs, LiftChannels::kSafetyEdge, 0);
    Record("reopen", edge, 0, LiftChannels::kSafetyEdge);
    Emit(edge, LiftChannels::kDoorOpenRelay, 1);
    Emit(edge, LiftChannels::kDoorCloseRelay, 0);
    closeRelayOn_ = false;
    const int64_t open = edge + p_.doorOpenMs / 2;
    Emit(open, LiftChannels::kDoorOpenLimit, 1);
    Record("door_open", edge, p_.doorOpenMs / 2, LiftChannels::kDoorOpenRelay);
    return CloseDoor(open);
  }
  ++fullClosings_;
  const bool slow = p_.slowCloseEvery > 0 && p_.slowCloseMs > 0 && (fullClosings_ + p_.faultPhase) % p_.slowCloseEvery == 0;
  const int64_t closing = slow ? p_.slowCloseMs : p_.doorCloseMs;
  const int64_t closed = closeAt + closing;
  Emit(closed, LiftChannels::kDoorClosedLimit, 1);
  Record("door_close", closeAt, closing, LiftChannels::kDoorCloseRelay);
  return closed;
}

void LiftTraffic::PlanNextCall() {
  const int64_t a = nextCallAt_;
  const double mean = static_cast<double>(std::max<int64_t>(p_.callIntervalMs, 1000));
  nextCallAt_ += std::max<int64_t>(1000, static_cast<int64_t>(std::exponential_distribution<double>(1.0 / mean)(random_)));
  const bool car = std::uniform_int_distribution<int>(0, 99)(random_) < p_.carCallPercent;
  int f = std::uniform_int_distribution<int>(0, p_.floors - (car ? 2 : 1))(random_);
  if (car && f >= floor_) ++f;  // a passenger presses another floor
  if (InSpell(a)) return;       // the controller takes no calls meanwhile
  const int ch = (car ? kCarBase : kHallBase) + f;
  static_assert(kCarBase - kHallBase == 6);
  if (a <= callOffAt_[ch]) return;  // still registered: the press changes nothing
  Emit(a, ch, 1);
  // Pressed where the door stands open, well before it closes: cancelled at
  // once. Nearer the closing the door opens again for it.
  const auto margin = static_cast<int64_t>(2500.0 / (p_.timeScale > 0 ? p_.timeScale : 1.0));
  if (!car && f == floor_ && a >= openLimitAt_ && a + margin < closeCmdAt_) {
    Emit(a + kCancelMs, ch, 0);
    callOffAt_[ch] = a + kCancelMs;
    Record("hall_wait", a, kCancelMs, ch, f, "cancelled");
    return;
  }
  // The controller takes a moment to answer even an idle car's call.
  int64_t start = std::max(a + kAnswerMs, freeAt_);
  // A call at the floor where the door is just closing opens it again once
  // it has closed, a moment later.
  if (f == floor_ && a < freeAt_) start = freeAt_ + 1000;
  if (InSpell(start)) start = p_.outOfServiceToMs;
  int64_t arrive = start;
  if (f != floor_) {
    const int64_t run = start + p_.motorStartMs;
    const bool up = f > floor_;
    const int motor = up ? LiftChannels::kMotorUp : LiftChannels::kMotorDown;
    const int64_t floors = std::abs(f - floor_);
    Emit(run, motor, 1);
    Emit(run + kLevelHalfZoneMs, LiftChannels::kLevel, 0);
    // The car passes the floors between at full speed, half its speeding up
    // after the start.
    const int64_t passing = run + std::max<int64_t>(p_.runExtraMs, 0) / 2;
    for (int64_t k = 1; k < floors; ++k) {
      Emit(passing + k * p_.floorTravelMs - kLevelHalfZoneMs, LiftChannels::kLevel, 1);
      Emit(passing + k * p_.floorTravelMs + kLevelHalfZoneMs, LiftChannels::kLevel, 0);
    }
    arrive = run + std::max<int64_t>(p_.runExtraMs, 0) + floors * p_.floorTravelMs;
    Emit(arrive - kLevelHalfZoneMs, LiftChannels::kLevel, 1);
    Emit(arrive, motor, 0);
    Record("trip", run, arrive - run, motor, 0, up ? "up" : "down");
    floor_ = f;
    lastDirection_ = motor;
  }
  Emit(arrive, ch, 0);
  callOffAt_[ch] = arrive;
  Record(car ? "car_service" : "hall_wait", a, arrive - a, ch, f);
  OpenDoor(arrive);
  openLimitAt_ = arrive + p_.doorOpenMs;
  ++arrivals_;
  if (p_.relevelEvery > 0 && arrivals_ % p_.relevelEvery == 0 && lastDirection_ != 0) {
    // The car sinks under load: a short run with the door open brings it
    // back to the floor.
    const int64_t relevel = openLimitAt_ + p_.dwellMs / 2;
    Emit(relevel, lastDirection_, 1);
    Emit(relevel + p_.relevelMs, lastDirection_, 0);
    Record("trip", relevel, p_.relevelMs, lastDirection_, 0, lastDirection_ == LiftChannels::kMotorUp ? "up" : "down");
  }
  closeCmdAt_ = openLimitAt_ + p_.dwellMs;
  freeAt_ = CloseDoor(openLimitAt_);
}

std::vector<LiftTruth> LiftTraffic::TruthUntil(int64_t ms) const {
  std::vector<LiftTruth> out;
  for (const LiftTruth& t : truth_) {
    LiftTruth s = t;
    s.startMs = Scaled(t.startMs);
    s.durationMs = Scaled(t.startMs + t.durationMs) - s.startMs;
    if (s.startMs + s.durationMs < ms) out.push_back(s);
  }
  if (p_.stuckChannel > 0 && p_.stuckFromMs >= 0 && Scaled(p_.stuckFromMs) < ms) {
    out.push_back({"stuck", Scaled(p_.stuckFromMs), ms - Scaled(p_.stuckFromMs), p_.stuckChannel, 0, ""});
  }
  std::stable_sort(out.begin(), out.end(), [](const LiftTruth& x, const LiftTruth& y) { return x.startMs < y.startMs; });
  return out;
}

void RecordLiftTraffic(LiftTraffic& lift, CaptureData& data, ManualClock& clock, double start, int64_t ms) {
  constexpr double kMsPerDay = 86400000.0;
  clock.Set(start);
  data.SetCapture(true);
  SimTransition t{};
  while (lift.Next(t) && t.atMs < ms) {
    data.ApplyTransition(start + static_cast<double>(t.atMs) / kMsPerDay, static_cast<uint8_t>(t.channel),
                         static_cast<uint8_t>(t.level));
  }
  clock.Set(start + static_cast<double>(ms) / kMsPerDay);
  data.SetCapture(false);
  data.DeliverPendingNotifications();
}

}  // namespace korvalog::sim
