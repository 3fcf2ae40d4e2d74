#pragma once
// One capture from start to end, the same for the tool and the window
// program: the link to the logger and its supervisor, the journal, the
// recovery of a journal an earlier run left at the journal's path, and
// continuous capture: when the store fills, the capture goes on in the
// emptied store while the full part is saved as the next numbered project
// in a folder, keeping at most a given number of them. At the end it says
// what was written where.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/capture_data.h"
#include "core/clock.h"
#include "core/store_rotation.h"
#include "session/link_supervisor.h"
#include "session/part_claims.h"
#include "session/session_journal.h"
#include "session/session_notes.h"
#include "transport/usb_loggers.h"

namespace korvalog {

struct SessionOptions {
  bool rotate = false;  // go on into numbered projects when the store is full
  // The project the capture is meant for (kept in the journal), or with
  // `rotate` the folder of the numbered projects.
  std::string out;
  int maxFiles = 0;  // with `rotate`: at most this many parts in the folder; 0 keeps every one
  // The store size that counts as full; only tests make it smaller. 0
  // leaves the store's limit as it is.
  uint32_t storeEvents = 0;
};

// How a capture ended, as korvalog-cli capture's exit status.
constexpr int kSessionWritten = 0;
// A part (or the capture) could not be written where asked: it went to a
// rescue file in the temporary folder, or its journal keeps it.
constexpr int kSessionPartNotWritten = 3;
// A continuous capture stopped before it was asked to: a store filled while
// the part before it was still unsaved.
constexpr int kSessionStoppedEarly = 4;
// What a single capture's save gives when neither its file nor a rescue
// file could be written; Finish turns it into kSessionPartNotWritten.
constexpr int kSessionWrittenNowhere = -3;

// What was written where.
struct SessionSummary {
  std::vector<std::string> written;   // every file a part went to, in order
  std::vector<std::string> journals;  // journals still holding what could not be written
  std::vector<std::string> recovered;  // captures of earlier runs saved before this one began
  int status = kSessionWritten;
};

// "3 files written to DIR (first.kv ... last.kv)" for the window's status bar.
std::string SummaryText(const SessionSummary& summary, const std::string& folder);

class CaptureSession {
 public:
  // `view`: how the capture's channels are shown; every part and the journal
  // carry it (the interface thread's, read only while a part is written).
  CaptureSession(CaptureData& data, const CaptureView& view, const LoggerSettings& settings, UsbLoggers& usb,
                 const Clock& clock, SessionFiles& files, SessionNotes& notes);
  ~CaptureSession();
  CaptureSession(const CaptureSession&) = delete;
  CaptureSession& operator=(const CaptureSession&) = delete;

  LinkSupervisor& Link() { return *link_; }
  SessionJournal& Journal() { return journal_; }

  // For the next capture, while none runs: where it goes and whether it
  // goes on when the store is full.
  void Configure(const SessionOptions& options);
  // Parts for which `stillNeeded` says true (waiting for the fleet store)
  // are kept when --max-files would remove them, until it says false.
  void SparePartsWhile(std::function<bool(const std::string&)> stillNeeded) {
    stillNeeded_ = std::move(stillNeeded);
  }
  bool Rotating() const { return rotation_ != nullptr; }
  // A full part waits to be saved.
  bool PartWaiting() const { return rotation_ && rotation_->SpareWaiting(); }
  const SessionOptions& Options() const { return options_; }

  // Why the parts' folder cannot take the parts; empty when it can.
  std::string PartsFolderProblem() const;
  // The tool, before anything is opened: checks the output's and the
  // journal's folders and recovers a journal left at the journal's path.
  // False (told) refuses the capture.
  bool Prepare();

  // Right after the capture started. False with `error` when the capture
  // goes on without a journal.
  bool CaptureStarted(std::string& error);
  // Often (every few milliseconds to every tick): saves a full part as soon
  // as it was moved aside, retrying a part that could not be written once a
  // second.
  void Tick();
  // The first failure to write the journal, once.
  bool TakeProblem(std::string& text) { return journal_.TakeProblem(text); }
  // A continuous capture was stopped by a full store while the part before
  // it was unsaved.
  void StoppedByFullStore() { stoppedEarly_ = Rotating(); }
  // After the stop: the journal gets the rest and the stop.
  void CaptureStopped() { journal_.CaptureStopped(); }

  // After the capture stopped. A continuous capture saves its last parts;
  // otherwise `saveSingle` writes the one project and gives its status
  // (kSessionWritten, kSessionPartNotWritten when it went to a rescue file,
  // kSessionWrittenNowhere). The journals go once everything was written
  // somewhere; otherwise the summary names those that hold something.
  template <typename SaveSingle>
  int Finish(SaveSingle saveSingle) {
    CaptureStopped();
    if (rotation_ && rotation_->Refused()) stoppedEarly_ = true;
    const int status = Rotating() ? SaveRemainingParts() : saveSingle();
    return Settle(status);
  }
  const SessionSummary& Summary() const { return summary_; }

 private:
  int SaveRemainingParts();
  int Settle(int status);
  bool SaveWaitingPart();
  // Writes a part to its name, or else to a rescue file in the temporary
  // folder; false when neither could be written (told once).
  bool WritePart(CaptureData& part, const PositionSnapshot& from, const PositionSnapshot& to);
  std::string PartName(uint32_t number);
  void Disarm();
  // The journals that really hold what was not written, each told with
  // what it holds; a journal that holds nothing goes.
  void KeepJournalsHoldingTheRest();

  CaptureData& data_;
  const CaptureView& view_;
  SessionFiles& files_;
  SessionNotes& notes_;
  std::unique_ptr<LinkSupervisor> link_;
  SessionJournal journal_;
  SessionOptions options_;
  std::unique_ptr<StoreRotation> rotation_;
  ManualClock partClock_;
  std::unique_ptr<CaptureData> part_;  // a full part being saved, or a journal being recovered
  bool limitSet_ = false;
  std::string prefix_;  // start time of the capture, for the part names
  PartClaims claims_;
  uint32_t partsSaved_ = 0;
  std::vector<std::string> ownParts_;  // parts this capture wrote in the folder, oldest first
  std::function<bool(const std::string&)> stillNeeded_;
  SessionSummary summary_;
  bool notWritten_ = false;    // a part went to a rescue file instead
  bool rescueFailed_ = false;  // told once
  bool unsaved_ = false;       // a part is left in a journal only
  bool lastUnsaved_ = false;   // the part in the store at the end, too
  bool stoppedEarly_ = false;
  bool partSaved_ = false;
  bool partFailed_ = false;
  std::chrono::steady_clock::time_point retryAt_;  // of a part that failed
};

}  // namespace korvalog
