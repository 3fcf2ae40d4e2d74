#pragma once
// The events a load passes over, counted by reason and reported as one
// warning at the end, so that a load (and a convert) never loses events
// without a word.
#include <cstdint>
#include <string>

namespace korvalog {

struct SkippedEvents {
  uint64_t channel = 0;  // channel 0 or above 128
  uint64_t level = 0;    // a level other than 0 or 1
  uint64_t time = 0;     // a time that is not a finite number
  uint64_t order = 0;    // a time before the event stored last, where order is kept
  uint64_t late = 0;     // a time beyond the latest the reader allows
  uint64_t full = 0;     // beyond the capacity of the store

  uint64_t Total() const { return channel + level + time + order + late + full; }
  // "3 events skipped: 2 with a channel outside 1..128, 1 with a time that is
  // not a finite number"; empty when nothing was skipped.
  std::string Warning() const;
};

}  // namespace korvalog
