#pragma once
// The journal of the window program's capture, kept in a folder beside the
// settings: started with each capture, finished at its stop, and removed
// once the capture was saved or deliberately discarded (a new capture, or
// declining to save at exit). A journal still there at the next start-up
// belongs to a capture that did not end cleanly (see journal_reader.h).
#include <memory>
#include <string>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/journal_writer.h"

namespace korvalog {

class CaptureJournal {
 public:
  CaptureJournal(CaptureData& data, const CaptureView& view, std::string folder);
  ~CaptureJournal();
  CaptureJournal(const CaptureJournal&) = delete;
  CaptureJournal& operator=(const CaptureJournal&) = delete;

  // "capture.journal" in the folder, or "capture-2.journal"... when that one
  // exists (another running program holds it, or it was left behind and not
  // restored yet).
  std::string FreeJournalPath() const;

  // After StartCapture: the previous capture's journal goes (the new
  // capture discarded its records) and a new one starts. False (the capture
  // goes on without a journal) when it cannot be created.
  bool CaptureStarted(std::string& error);
  // After the stop (also one made by a full store): the rest and the stop
  // are written; the file stays until the capture is saved or discarded.
  void CaptureStopped();
  // The capture was saved, or deliberately discarded: its journal goes.
  void Release();
  // A capture restored from the journal at `path` is now this program's
  // unsaved capture: its journal is held and removed as if written here.
  bool Adopt(const std::string& path);

  // The first failure to write, once (for a warning to the user).
  bool TakeProblem(std::string& text);

 private:
  CaptureData& data_;
  const CaptureView& view_;
  std::string folder_;
  std::unique_ptr<JournalWriter> writer_;
  std::string adoptedPath_;
  int adoptedFd_ = -1;
};

}  // namespace korvalog
