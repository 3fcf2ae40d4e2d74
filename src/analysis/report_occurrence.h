#pragma once
// One measured occurrence of the lift report: what, when (a date-time, so
// the chart can zoom to it), how long, on which channel and floor.
#include <cstdint>
#include <string_view>
#include <vector>

namespace korvalog {

enum class OccurrenceKind : uint8_t {
  DoorOpen,
  DoorClose,
  Dwell,
  Reopen,
  Trip,
  HallWait,
  CarService,
  OutOfService,
  Chatter,
  Stuck,
  SequenceRun,
  // Added later: an older script sees new words only where these occur.
  StartDelay,   // door closed to motor run
  Flight,       // a trip that left its floor, with the floors it travelled
  FireService,  // spells of the service states, like OutOfService
  Inspection,
  Alarm,
};
inline constexpr int kOccurrenceKinds = 16;

// The CSV word of a kind ("door_open").
std::string_view OccurrenceKey(OccurrenceKind kind);

enum class OccurrenceDetail : uint8_t { None, Up, Down, Cancelled, Low };
// The CSV detail word ("up", "down", "cancelled", "low"; "" for None).
std::string_view DetailKey(OccurrenceDetail detail);

inline constexpr int16_t kNoFloor = INT16_MIN;

struct Occurrence {
  OccurrenceKind kind{};
  OccurrenceDetail detail = OccurrenceDetail::None;
  uint8_t channel = 0;       // 0 = none
  uint8_t floorsTravelled = 0;  // trips and flights: level zones passed into
  int16_t floor = kNoFloor;
  uint32_t run = 0;          // sequence runs: index into the trend's runs
  double start = 0.0;        // date-time
  double seconds = 0.0;      // duration
};

using Occurrences = std::vector<Occurrence>;

}  // namespace korvalog
