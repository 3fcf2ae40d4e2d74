#pragma once
// The capture journal's bytes. A journal is a header followed by frames:
//
//   header  "KVJOURN1", u32 size of the whole header, the start snapshot
//           (144 bytes), the channel table, the Sequencer table, the display
//           order, u16 length + the file the capture is meant for, u32 CRC-32
//           of everything before it;
//   event   the 10-byte record, u32 CRC-32 of (u32 record index, record);
//   end     a 10-byte mark {stop time, channel 0, 0xEE} with its CRC-32 as
//           above (index = the event count), the 128 levels at the stop and
//           a CRC-32 of (index, levels).
//
// The index inside each checksum ties every frame to its place, so a frame
// written twice, out of place or cut short is recognised and dropped with
// everything after it. Numbers are little-endian.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/records.h"

namespace korvalog {

constexpr char kJournalMagic[8] = {'K', 'V', 'J', 'O', 'U', 'R', 'N', '1'};
constexpr size_t kJournalFrameSize = 14;
constexpr uint8_t kJournalEndMark = 0xEE;
constexpr size_t kJournalEndSize = kJournalFrameSize + kChannelCount + 4;
// Names of journals live beside the settings end in this.
constexpr char kJournalSuffix[] = ".journal";

uint32_t Crc32(const void* bytes, size_t size, uint32_t crc = 0);

// What a journal's header holds: the capture as it started.
struct JournalHeader {
  PositionSnapshot start;
  ChannelTable channels;
  SequenceTable sequence;
  DisplayOrder order;
  std::string target;  // the project file the capture is meant for, or empty
};

void AppendJournalHeader(const JournalHeader& header, std::vector<char>& out);
// Reads a header from the front of `bytes`; its size, or 0 when it is
// missing, cut short or damaged.
size_t ParseJournalHeader(std::string_view bytes, JournalHeader& header);

// One event frame for the record at `index`; writes 14 bytes to `out`.
void EncodeEventFrame(const EventRecord& record, uint32_t index, char* out);
void AppendEndFrame(double stopTime, uint32_t count, const uint8_t levels[kChannelCount],
                    std::vector<char>& out);
// Checks a 14-byte frame against its place.
bool FrameIntact(const char* frame, uint32_t index);
// Checks the levels and checksum that follow an end mark for `count` events.
bool EndLevelsIntact(const char* levelsAndCrc, uint32_t count);

}  // namespace korvalog
