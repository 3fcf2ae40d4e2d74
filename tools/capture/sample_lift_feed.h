#pragma once
// Turns the generated lift's input changes into the shipped sample's: adds
// the main contactor (closed while the motor runs either way), takes the
// lift out of service for whole trips, and builds in a few faults a service
// engineer looks for, each of which the sample's Sequencer pattern catches.
#include <cstdint>
#include <vector>

#include "core/records.h"
#include "transport/transition_source.h"

namespace korvalog::sample {

inline constexpr int kMainContactor = 19;

// What goes wrong on one trip, and how much later the affected change comes.
enum class FaultKind : uint8_t {
  SlowDoorClose,  // the door close relay pulls late after the open relay dropped
  LateMotor,      // the motor starts late after the door closed
  LateDoorOpen,   // the door opens late after the car stopped
};

struct Fault {
  FaultKind kind;
  int64_t fromMs;  // the first trip whose call comes at or after this time
  int64_t delayMs;
};

// The faults of the sample: a slow door, a motor that starts late, a door
// that opens late.
std::vector<Fault> SampleFaults(int64_t recordingMs);

// The pattern of a normal trip: the door open relay drops, the door close
// relay pulls within 4 s, the main contactor closes within 3 s, runs at least
// 2 s and at most 30 s, the door close relay drops within 2 s and the door
// open relay pulls within 5 s.
void NormalTripPattern(SequenceTable& table);

class SampleLiftFeed {
 public:
  // Out of service from the first trip end at or after `oosFromMs` until the
  // first trip end at or after `oosToMs` (the trips between are dropped).
  SampleLiftFeed(std::vector<Fault> faults, int64_t oosFromMs, int64_t oosToMs, int outOfServiceChannel);

  // The changes to record for one generated change, in order, with their
  // times moved by the faults so far.
  void Feed(const sim::SimTransition& in, std::vector<sim::SimTransition>& out);

 private:
  bool FaultHits(FaultKind kind, const sim::SimTransition& t) const;

  std::vector<Fault> faults_;
  int64_t oosFromMs_, oosToMs_;
  int oosChannel_;
  int64_t shiftMs_ = 0;      // the delays of the faults so far
  int64_t lastMs_ = 0;       // the last change recorded
  int armed_ = -1;           // the fault of the current trip
  size_t nextFault_ = 0;
  bool tripEnded_ = true;    // the last change was the door opening at a floor
  enum class Service { Before, Out, After } service_ = Service::Before;
};

}  // namespace korvalog::sample
