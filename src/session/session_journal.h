#pragma once
// The journal of a capture: started with it, finished at its stop, and
// removed once the capture was saved or deliberately discarded. The tool
// keeps it at a path of its choosing; the window program keeps it in a
// folder beside the settings, under a name no other journal there has. A
// journal still there at the next start belongs to a capture that did not
// end cleanly (see journal_recovery.h).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/journal_writer.h"

namespace korvalog {

class StoreRotation;

class SessionJournal {
 public:
  // `view`: the names, rows and pattern a journal records with the capture.
  SessionJournal(CaptureData& data, const CaptureView& view);
  ~SessionJournal();
  SessionJournal(const SessionJournal&) = delete;
  SessionJournal& operator=(const SessionJournal&) = delete;

  // Where the next capture's journal goes: exactly `path`...
  void UsePath(std::string path);
  // ...or "capture.journal" in `folder`, "capture-2.journal"... when that
  // exists (another running program holds it, or it was left behind and not
  // restored yet).
  void UseFolder(std::string folder);
  // No journal at all (the demonstration's throw-away captures).
  void UseNone();
  bool Kept() const { return !path_.empty() || !folder_.empty(); }
  std::string FreeJournalPath() const;

  // Right after the capture started: the previous capture's journal goes (the
  // new capture discarded its records) and a new one starts, for the project
  // `target`, or with `rotation` for the parts `partName(generation)` names.
  // False (the capture goes on without a journal) when it cannot be created.
  bool CaptureStarted(const std::string& target, StoreRotation* rotation,
                      std::function<std::string(uint32_t)> partName, std::string& error);
  bool CaptureStarted(std::string& error) { return CaptureStarted({}, nullptr, {}, error); }
  // After the stop (also one made by a full store): the rest and the stop
  // are written; the file stays until the capture is saved or discarded.
  void CaptureStopped();
  // The capture was saved, or deliberately discarded: its journal goes.
  // False with `error` when the file could not be removed.
  bool Release(std::string& error);
  void Release() {
    std::string ignored;
    Release(ignored);
  }
  // A capture restored from the journal at `path` is now this program's
  // unsaved capture: its journal is held and removed as if written here.
  bool Adopt(const std::string& path);

  // The first failure to write, once (for a warning to the user).
  bool TakeProblem(std::string& text);

  // Continuous capture: a new part is moved aside (write now), or a part
  // was saved (its journal goes).
  void Wake();
  void DropPrevious();
  bool Running() const { return writer_ != nullptr; }
  // The files that still hold this capture (the current part's and the one
  // before it), for telling the user where it is.
  std::vector<std::string> FilesOnDisk() const;

 private:
  CaptureData& data_;
  const CaptureView& view_;
  std::string path_;
  std::string folder_;
  std::unique_ptr<JournalWriter> writer_;
  bool rotating_ = false;  // parts have journals of their own
  std::string adoptedPath_;
  int adoptedFd_ = -1;
};

}  // namespace korvalog
