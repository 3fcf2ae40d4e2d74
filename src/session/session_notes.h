#pragma once
// What a capture session has to tell its user, one line at a time, and what
// it needs from the project files above it. The tool prints each line after
// "korvalog-cli: "; the window shows news in its status bar and problems in
// a message box.
#include <string>
#include <vector>

#include "core/journal_reader.h"
#include "core/records.h"

namespace korvalog {

class CaptureData;
class CaptureView;

enum class NoteKind { News, Problem };

class SessionNotes {
 public:
  virtual ~SessionNotes() = default;
  virtual void Note(NoteKind kind, const std::string& line) = 0;
};

// Writing projects belongs to the layer above the session; both programs
// hand it the same writer (see app/session_files.h).
class SessionFiles {
 public:
  virtual ~SessionFiles() = default;
  // Writes the events from..to of `data`, shown as `view` shows them, as a
  // project at `path`. False with `error` (one line naming the file) when it
  // could not be written.
  virtual bool WriteProject(const std::string& path, CaptureData& data, const CaptureView& view,
                            const PositionSnapshot& from,
                            const PositionSnapshot& to, std::string& error) = 0;
  // Why `out` may not be written (not a regular file, one of `others`);
  // empty when it may.
  virtual std::string OutputProblem(const std::string& out, const std::vector<std::string>& others) = 0;
  // True when the project at `path` holds the capture `journal` holds (its
  // start levels and every event, the journal's events first): a journal
  // left behind after its capture was saved, dropped rather than saved twice.
  virtual bool HoldsJournal(const std::string& /*path*/, const JournalContents& /*journal*/) { return false; }
};

}  // namespace korvalog
