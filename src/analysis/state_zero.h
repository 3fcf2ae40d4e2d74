#pragma once
// "State 0": the channel levels that must hold before the Sequencer pattern
// may start, derived from the step table, and its mark-up label text.
#include <array>
#include <cstdint>
#include <string>

#include "core/records.h"

namespace korvalog {

// Per channel (index channel - 1): 2 = not involved, else the level 0/1 the
// channel must have before row 1. The first row naming a channel decides, and
// it asks for the opposite of that row's event. Rows after the first empty
// one take part too.
using StateZeroTable = std::array<uint8_t, kChannelCount>;
StateZeroTable BuildStateZero(const SequenceTable& table);

// The text under "State 0:": per involved channel, in the order of its first
// row, "\9" (HIGH) or "\1" (LOW), the channel name and a space.
std::string StateZeroMarkup(const SequenceTable& table, const ChannelTable& channels);

}  // namespace korvalog
