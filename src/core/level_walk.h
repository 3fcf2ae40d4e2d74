#pragma once
// Moving a level snapshot forward over the captured records: the one rule by
// which the chart, the live chart, the search walker and the export range
// learn the inputs' levels at a point of a capture.
#include <cstdint>

#include "core/records.h"

namespace korvalog {

// One record's level put into s (records naming no channel 1..128, only from
// a damaged file, change nothing).
inline void SetLevel(PositionSnapshot& s, const EventRecord& e) {
  const unsigned c = e.channel - 1u;
  if (c < static_cast<unsigned>(kChannelCount)) s.states[c] = e.state != 0 ? 1 : 0;
}

// Moves s over the records before time t, never past record `end`, calling
// step(s) with s.index on each record; s.time becomes t. Returns the records
// passed.
template <class Step>
uint32_t WalkRecords(PositionSnapshot& s, const EventRecord* events, uint32_t end, double t, Step&& step) {
  const uint32_t from = s.index;
  for (; s.index < end && events[s.index].time < t; ++s.index) step(s);
  s.time = t;
  return s.index - from;
}

// Moves s's levels forward over the records before time t, never past
// record `end`; s.time becomes t. Returns the records passed.
uint32_t AdvanceLevels(PositionSnapshot& s, const EventRecord* events, uint32_t end, double t);

// Moves s's levels over every record up to record `end`, whatever its time
// (s.time is left as it is).
void AdvanceLevelsTo(PositionSnapshot& s, const EventRecord* events, uint32_t end);

// A snapshot's levels held to 0/1 (a loaded file may hold other bytes).
void NormaliseStates(PositionSnapshot& s);

}  // namespace korvalog
