#pragma once
// The dump: every stored event as a readable line "channel TAB state TAB
// time stamp" ended by CR LF, for inspection outside the program.
#include <string>

#include "core/capture_data.h"
#include "project/project_file.h"

namespace korvalog {

constexpr char kDumpFileName[] = "Korvalog.dmp";

// Appends the dump lines of events [first, last) to `out`. Channels below 100
// take two digits (05); channels 100 to 128 are written with all three.
void AppendDumpLines(const EventStore& store, uint32_t first, uint32_t last, std::string& out);

// Writes the dump lines of the whole store to `write`, a block at a time;
// `write` returns false to stop. False when a write failed.
template <typename WriteBlock>
bool WriteDumpLines(const EventStore& store, WriteBlock&& write) {
  constexpr uint32_t kEventsPerBlock = 32768;
  const uint32_t count = store.Count();
  std::string block;
  for (uint32_t i = 0; i < count; i += kEventsPerBlock) {
    block.clear();
    AppendDumpLines(store, i, count - i < kEventsPerBlock ? count : i + kEventsPerBlock, block);
    if (!write(block)) return false;
  }
  return true;
}

// Writes the dump file at `path` (normally kDumpFileName in the current
// directory), replacing one of that name only once every line was written.
// With an empty store nothing is created or changed. A failure to create or
// write is reported and leaves an existing file as it was; a target that is
// not a regular file (a device, a FIFO) is refused.
FileResult WriteDumpFile(const std::string& path, const CaptureData& data);

}  // namespace korvalog
