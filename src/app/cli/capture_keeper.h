#pragma once
// What keeps an unattended korvalog-cli capture safe: the capture journal
// (--journal PATH), the recovery of a journal an earlier run left behind,
// and continuous capture into numbered projects (--rotate, --max-files).
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/cli_context.h"
#include "core/journal_writer.h"
#include "core/store_rotation.h"

namespace korvalog::cli {

struct KeeperOptions {
  std::string journal;  // empty: beside the output
  bool rotate = false;
  int maxFiles = 0;     // 0: keep every file
  // The store size that counts as full; only tests make it smaller
  // (--store-events, not listed in the usage).
  uint32_t storeEvents = kEventCapacity;
};

// Takes --journal, --rotate, --max-files and --store-events out of `args`.
bool ExtractKeeperOptions(CommandArgs& args, KeeperOptions& o, std::string& error);

// Reads `journal`, writes what it holds as the project `out` and removes the
// journal; tells what was recovered and lost on ctx.err. `into` receives the
// capture and `view` its names, rows and pattern. Gives kExitOk or kExitUsage.
int RecoverJournalTo(const std::string& journal, const std::string& out, CliContext& ctx, CaptureData& into,
                     CaptureView& view);

class CaptureKeeper {
 public:
  // `out` is the project file, or the folder of the numbered files with
  // --rotate.
  CaptureKeeper(const KeeperOptions& o, std::string out, CliContext& ctx);
  ~CaptureKeeper();

  // Before anything is opened: checks the journal's and the output folder,
  // and recovers a journal left at the journal path by a run that did not
  // end. False (told on ctx.err) refuses the capture.
  bool Prepare();
  // Right after the capture started.
  void CaptureStarted();
  // Often (every few milliseconds): tells a journal problem once, saves a
  // full part as soon as it was moved aside.
  void Tick();
  // After the capture stopped. `saveSingle` writes the one project of a
  // capture without --rotate and gives its exit status. The journal is
  // removed once everything was written.
  template <typename SaveSingle>
  int Finish(SaveSingle saveSingle) {
    StopJournal();
    const int status = options_.rotate ? SaveRemainingParts() : saveSingle();
    return Settle(status);
  }
  // A continuous capture stopped because a store filled while the part
  // before it was still unsaved: Finish then gives kExitStoppedEarly.
  void StoppedByFullStore() { stoppedEarly_ = options_.rotate; }

 private:
  void StopJournal();
  int SaveRemainingParts();
  int Settle(int status);
  bool SaveWaitingPart();
  // Writes a part to its name, or else to a rescue file in the temporary
  // folder; false when neither could be written (told once).
  bool WritePart(CaptureData& part, const PositionSnapshot& from, const PositionSnapshot& to);
  std::string PartName(uint32_t number) const;
  void ChooseFirstPartNumber();
  void PruneParts();

  KeeperOptions options_;
  std::string out_;
  CliContext& ctx_;
  std::string journalPath_;
  std::unique_ptr<StoreRotation> rotation_;
  std::unique_ptr<JournalWriter> journal_;
  std::unique_ptr<ManualClock> partClock_;
  std::unique_ptr<CaptureData> part_;  // a full part being saved
  std::string prefix_;                 // start time of the capture, for the part names
  uint32_t firstNumber_ = 1;           // after any part of that name already there
  uint32_t partsSaved_ = 0;
  std::vector<std::string> ownParts_;  // parts this run wrote in DIR, oldest first
  std::vector<std::string> written_;   // every file this run wrote a part to
  bool notWritten_ = false;            // a part went to a rescue file instead
  bool rescueFailed_ = false;          // told once
  bool unsaved_ = false;               // a part is left in a journal only
  bool stoppedEarly_ = false;
  bool partSaved_ = false;
  bool partFailed_ = false;
  std::chrono::steady_clock::time_point retryAt_;  // of a part that failed
};

}  // namespace korvalog::cli
