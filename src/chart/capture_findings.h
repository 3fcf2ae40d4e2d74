#pragma once
// Every search match and every Sequencer violation of the whole capture,
// found in one walk, so the chart can step from one to the next and the
// Violations list can show them all.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/records.h"

namespace korvalog {

enum class ViolationKind : uint8_t {
  TooSoon,    // the step came before its minimum time
  TooLate,    // the step came after its maximum time
  OutOfTurn,  // an involved channel changed when another step was due
};

struct SequenceViolation {
  uint32_t index = 0;    // the event's store position
  double time = 0.0;
  int step = 0;          // the row (1-based) that was due
  ViolationKind kind = ViolationKind::OutOfTurn;
  int limitSeconds = 0;  // the limit broken (TooSoon, TooLate)
  double took = 0.0;     // days since the previous step (0 for row 1)
  int channel = 0;       // the channel that changed
};

// A place the chart can step to: an event's position and time.
struct CapturePlace {
  uint32_t index = 0;
  double time = 0.0;
};

struct CaptureFindings {
  std::vector<CapturePlace> matchStarts;  // where the search begins to hold
  std::vector<SequenceViolation> violations;
};

// One walk over the whole capture (nothing without data).
CaptureFindings FindInCapture(const CaptureData& data, const CaptureView& view);

// What the findings depend on besides the events: the search conditions and
// the Sequencer table.
struct FindingsKey {
  uint32_t count = 0;
  uint8_t conditions[kChannelCount] = {};
  SequenceTable sequence{};
  bool operator==(const FindingsKey& other) const;
};
FindingsKey FindingsKeyOf(const CaptureData& data, const CaptureView& view);

// "Too soon", "Too late", "Out of turn"; the limit as "min 3 s" or "max 40 s"
// (empty when none).
std::string ViolationKindText(ViolationKind kind);
std::string ViolationLimitText(const SequenceViolation& v);

// Forward: the first place at store position `index` or later; backward:
// the last place before it. -1 when none.
template <class Place>
long NextPlace(const std::vector<Place>& places, uint32_t index, bool forward) {
  if (forward) {
    const auto at = std::lower_bound(places.begin(), places.end(), index,
                                     [](const Place& p, uint32_t i) { return p.index < i; });
    return at == places.end() ? -1 : static_cast<long>(at - places.begin());
  }
  const auto at = std::lower_bound(places.begin(), places.end(), index,
                                   [](const Place& p, uint32_t i) { return p.index < i; });
  return static_cast<long>(at - places.begin()) - 1;
}

}  // namespace korvalog
