#include "core/level_walk.h"

namespace korvalog {

uint32_t AdvanceLevels(PositionSnapshot& s, const EventRecord* events, uint32_t end, double t) {
  return WalkRecords(s, events, end, t, [events](PositionSnapshot& at) { SetLevel(at, events[at.index]); });
}

void AdvanceLevelsTo(PositionSnapshot& s, const EventRecord* events, uint32_t end) {
  for (; s.index < end; ++s.index) SetLevel(s, events[s.index]);
}

void NormaliseStates(PositionSnapshot& s) {
  for (uint8_t& level : s.states) level = level != 0 ? 1 : 0;
}

}  // namespace korvalog
