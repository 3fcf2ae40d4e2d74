#pragma once
// The capture journal's bytes. A journal is a header followed by frames:
//
//   header  "KVJOURN2", u32 size of one copy, u64 capture id, the start
//           snapshot (144 bytes), the channel table, the Sequencer table, the
//           display order, u16 length + the file the capture is meant for,
//           u32 CRC-32 of everything before it in the copy; written twice,
//           so that damage to one copy loses nothing;
//   event   the 10-byte record, u32 CRC-32 of (capture id, u32 record index,
//           record);
//   gap     where the link to the logger was lost or came back: a 10-byte
//           mark {time, channel 0, 0xA1 lost / 0xA2 back}, u32 CRC-32 as
//           above with the index's top bit set (index = the events before
//           it), so that it can never pass for an event;
//   end     a 10-byte mark {stop time, channel 0, 0xEE} with its CRC-32 as
//           above (index = the event count), the 128 levels at the stop and
//           a CRC-32 of (capture id, index, levels).
//
// The index inside each checksum ties every frame to its place and the
// capture id to its capture, so a frame written twice, out of place, cut
// short or left from another capture is recognised and dropped with
// everything after it. Numbers are little-endian. Journals of the earlier
// layout ("KVJOURN1": one header copy without an id, checksums without it)
// are still read.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/records.h"

namespace korvalog {

constexpr char kJournalMagic[8] = {'K', 'V', 'J', 'O', 'U', 'R', 'N', '2'};
constexpr char kJournalMagicV1[8] = {'K', 'V', 'J', 'O', 'U', 'R', 'N', '1'};
constexpr size_t kJournalFrameSize = 14;
constexpr uint8_t kJournalEndMark = 0xEE;
constexpr size_t kJournalEndSize = kJournalFrameSize + kChannelCount + 4;
constexpr uint8_t kJournalGapLost = 0xA1;
constexpr uint8_t kJournalGapBack = 0xA2;
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
  uint64_t captureId = 0;  // drawn when the journal is created
  int version = 2;         // 1: a journal of the earlier layout
};

// What every frame's checksum of this journal starts from.
uint32_t JournalCheckSeed(const JournalHeader& header);
// A fresh capture id, different for every journal created.
uint64_t NewCaptureId();
// True when `bytes` (a file's beginning) has a journal header's mark where
// one may be: a file that holds none is not a journal.
bool HasJournalMagic(std::string_view bytes);

// Appends the header (both copies).
void AppendJournalHeader(const JournalHeader& header, std::vector<char>& out);
// Reads a header from the front of `bytes`, from either copy; where the
// first frame starts, or 0 when no intact copy is there.
size_t ParseJournalHeader(std::string_view bytes, JournalHeader& header);

// `seed` is JournalCheckSeed of the journal's header (0: the earlier layout).
// One event frame for the record at `index`; writes 14 bytes to `out`.
void EncodeEventFrame(const EventRecord& record, uint32_t index, char* out, uint32_t seed = 0);
void AppendEndFrame(double stopTime, uint32_t count, const uint8_t levels[kChannelCount],
                    std::vector<char>& out, uint32_t seed = 0);
// Checks a 14-byte frame against its place.
bool FrameIntact(const char* frame, uint32_t index, uint32_t seed = 0);
// A link gap's start (`back` false) or end, after `index` events.
void AppendGapFrame(double time, bool back, uint32_t index, std::vector<char>& out, uint32_t seed);
// True when the frame is an intact gap mark at that place; `back` tells which.
bool GapFrameIntact(const char* frame, uint32_t index, uint32_t seed, double& time, bool& back);
// Checks the levels and checksum that follow an end mark for `count` events.
bool EndLevelsIntact(const char* levelsAndCrc, uint32_t count, uint32_t seed = 0);

}  // namespace korvalog
