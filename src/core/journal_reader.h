#pragma once
// Finding, reading and restoring a capture journal left behind by a capture
// that did not end cleanly (a crash, a killed process, a power cut).
#include <cstdint>
#include <string>
#include <vector>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/journal_format.h"

namespace korvalog {

struct JournalContents {
  JournalHeader header;
  std::vector<EventRecord> events;  // every intact record, in order
  bool ended = false;               // the capture's stop was written
  PositionSnapshot end;             // the stop, or rebuilt from the events
  uint32_t lost = 0;                // records cut short or damaged after the last intact one
  std::vector<GapSpan> gaps;        // losses of the link; the last may still be open
};

// Reads a journal. False with `error` ("PATH: reason") when it cannot be
// read or holds no intact header; a damaged or cut tail is not an error: the
// intact records before it are kept and `lost` counts what followed.
bool ReadJournal(const std::string& path, JournalContents& out, std::string& error);

// Puts a read journal into `data` as a capture that has just stopped:
// events, start and end snapshots; and into `view` its channel table,
// Sequencer table and display order (and the gaps into `data`) (an order that is no permutation shows
// the channels in number order); DataPresent and DataModified set;
// CaptureStopped raised. Must not be called while a capture runs (refused).
bool RestoreJournal(const JournalContents& journal, CaptureData& data, CaptureView& view);

// "N events" and, when something was lost, "; the journal was damaged: M
// records after event N could not be read".
std::string DescribeRecovery(const JournalContents& journal);

// True while a running capture holds the journal at `path`.
bool JournalInUse(const std::string& path);

// Journals ("*.journal", "*.journal.previous") in `folder` that no running
// capture holds, oldest name first.
std::vector<std::string> FindLeftJournals(const std::string& folder);

// Moves a journal that could not be recovered whole out of the way, to
// "PATH.damaged" (or "PATH.damaged-2"...), so that nothing of it is lost and
// the name is free for the next capture. `movedTo` gets the new name.
bool MoveJournalAside(const std::string& path, std::string& movedTo, std::string& error);

// An exclusive hold on a journal left behind, for its recovery: a running
// capture or another recovery holding it makes Take fail with "PATH: in
// use", so that nothing is restored twice.
class JournalHold {
 public:
  JournalHold() = default;
  ~JournalHold();
  JournalHold(const JournalHold&) = delete;
  JournalHold& operator=(const JournalHold&) = delete;
  // False with `error` when the journal is missing, not a regular file or held.
  bool Take(const std::string& path, std::string& error);
  void Release();

 private:
  int fd_ = -1;
};

// Removes a journal once its capture was saved, restored elsewhere or
// deliberately discarded. A missing file counts as removed.
bool RemoveJournalFile(const std::string& path, std::string& error);

}  // namespace korvalog
