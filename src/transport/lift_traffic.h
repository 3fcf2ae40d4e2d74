#pragma once
// A lift serving calls with door limits, a safety edge, re-levelling and the
// faults a service engineer looks for, on chosen timings, and the truth of
// what it did: every door time, trip, call wait and spell it produced, so
// the report's figures can be checked against it. Feeds the demonstration
// logger and the sample capture.
#include <cstdint>
#include <queue>
#include <random>
#include <string>
#include <vector>

#include "core/capture_data.h"
#include "core/clock.h"
#include "transport/transition_source.h"

namespace korvalog::sim {

// Channel layout: hall calls 1..floors, car calls floors+1..2*floors (six
// floors: 1..12), then the fixed inputs below.
struct LiftChannels {
  static constexpr int kDoorOpenRelay = 13, kDoorCloseRelay = 14, kMotorUp = 15, kMotorDown = 16,
                       kLevel = 17, kOutOfService = 18, kDoorOpenLimit = 19, kDoorClosedLimit = 20,
                       kSafetyEdge = 21, kDoorContact = 22, kCarFan = 23;
};

// Times in milliseconds from the start of the capture.
struct LiftTrafficParameters {
  uint32_t seed = 1;
  int floors = 6;               // at most 6 (the call channels)
  int64_t doorOpenMs = 2500;    // open relay on to open limit
  int64_t doorCloseMs = 3000;   // close relay on to closed limit
  int64_t dwellMs = 4000;       // open limit to close relay
  int64_t motorStartMs = 500;   // closed limit (or call) to motor run
  int64_t floorTravelMs = 2500; // per floor travelled
  int64_t runExtraMs = 0;       // once a trip: speeding up and slowing into the floor
  int64_t callIntervalMs = 25000;  // mean time between calls
  int carCallPercent = 40;      // the rest are hall calls
  int reopenEvery = 0;          // every Nth closing is stopped by the safety edge
  int relevelEvery = 0;         // every Nth arrival is followed by a short run
  int64_t relevelMs = 700;
  int64_t outOfServiceFromMs = -1, outOfServiceToMs = -1;  // a spell, or none
  int slowCloseEvery = 0;       // every Nth full closing takes slowCloseMs (a sticking door)
  int64_t slowCloseMs = 0;
  int faultPhase = 0;           // reopens and sticking closings counted from this many on
  int chatterChannel = 0;       // pulses of chatterPulseMs every chatterEveryMs
  int64_t chatterEveryMs = 60000, chatterPulseMs = 15;
  int stuckChannel = 0;         // goes on at stuckFromMs and stays on
  int64_t stuckFromMs = -1;
  double timeScale = 1.0;       // every time is multiplied by it (the demo runs faster)
};

// One thing the lift did, in the report's terms (kind as in its CSV).
struct LiftTruth {
  std::string kind;  // door_open, door_close, dwell, reopen, trip, hall_wait, car_service,
                     // out_of_service, chatter, stuck
  int64_t startMs = 0;
  int64_t durationMs = 0;
  int channel = 0;
  int floor = 0;
  std::string detail;  // trip: up/down; hall_wait: cancelled when the door did not open
};

class LiftTraffic final : public TransitionSource {
 public:
  explicit LiftTraffic(const LiftTrafficParameters& p);
  bool Next(SimTransition& out) override;

  // Everything that began before `ms` and completed: what a capture ending
  // at `ms` must report (ongoing stuck inputs end at `ms`).
  std::vector<LiftTruth> TruthUntil(int64_t ms) const;

 private:
  struct Pending {
    int64_t at;
    uint64_t order;
    int channel;
    int level;
    bool operator>(const Pending& o) const { return at != o.at ? at > o.at : order > o.order; }
  };
  void Emit(int64_t at, int channel, int level);
  void Record(const char* kind, int64_t start, int64_t duration, int channel, int floor = 0, const char* detail = "");
  void PlanNextCall();
  void PlanChatter();
  void OpenDoor(int64_t at);
  int64_t CloseDoor(int64_t at);  // returns the time the closed limit comes on
  bool InSpell(int64_t at) const { return at >= p_.outOfServiceFromMs && at < p_.outOfServiceToMs; }
  int64_t Scaled(int64_t ms) const;

  LiftTrafficParameters p_;
  std::mt19937 random_;
  std::priority_queue<Pending, std::vector<Pending>, std::greater<>> pending_;
  uint64_t order_ = 0;
  std::vector<LiftTruth> truth_;
  int floor_ = 0;           // 0-based floor the car stands at
  bool doorOpen_ = false;
  int64_t freeAt_ = 0;      // when the lift may take the next call
  int64_t nextCallAt_ = 0;
  int64_t nextChatterAt_ = 0;
  int closings_ = 0, fullClosings_ = 0, arrivals_ = 0;
  int lastDirection_ = 0;
  bool closeRelayOn_ = false;            // motor channel of the latest trip
  int64_t openLimitAt_ = -1, closeCmdAt_ = -1;  // the latest dwell
  int64_t callOffAt_[13] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
};

// Plays the traffic into `data` as a capture from `start` (a date-time) for
// `ms` milliseconds, through ApplyTransition, and stops the capture there.
void RecordLiftTraffic(LiftTraffic& lift, CaptureData& data, ManualClock& clock, double start, int64_t ms);

}  // namespace korvalog::sim
