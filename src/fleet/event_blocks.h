#pragma once
// A capture's events as the store keeps them: blocks of up to 65,536 compact
// records with each block's time span, so that a stretch of time reads a few
// blocks. One byte holds channel and level, then the step of the time's bit
// pattern from the event before as a zigzag varint: a few bytes an event,
// every time back exactly as it was.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/records.h"

namespace korvalog {

constexpr uint32_t kEventsPerBlock = 65536;

struct EventBlock {
  double firstTime = 0, lastTime = 0;  // the earliest and the latest time in it
  uint32_t events = 0;
  std::string data;
};

// Only records with a channel 1..128 and a level 0 or 1 can be encoded;
// false for any other (the caller keeps such a file another way).
bool EncodeEventBlocks(const EventRecord* events, size_t count, std::vector<EventBlock>& blocks);
// Appends the block's records to `out`; false for damaged bytes.
bool DecodeEventBlock(std::string_view data, std::vector<EventRecord>& out);

// A project's text split around its event lines: everything before the first
// "E" line, the events, everything after the last. False when the events
// are not one run of lines written as this program writes them ("E", 20
// upper-case hex digits, CR LF), so that joining them again would not give
// the same bytes.
struct ProjectParts {
  std::string head, tail;
  std::vector<EventRecord> events;
};
bool SplitProjectText(std::string_view text, ProjectParts& parts);
// The project's bytes again: head, one "E" line per event, tail.
std::string JoinProjectText(const std::string& head, const std::vector<EventRecord>& events, const std::string& tail);

}  // namespace korvalog
