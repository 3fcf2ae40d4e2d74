#pragma once
// korvalog-cli's side of the capture session: the options that keep an
// unattended capture safe (--journal PATH, --rotate, --max-files), the
// session's notes on stderr, and the recovery of a journal.
#include <ostream>
#include <string>

#include "app/cli/cli_context.h"
#include "app/cli/cli_options.h"
#include "app/session_files.h"
#include "session/capture_session.h"

namespace korvalog::cli {

struct CaptureSafetyOptions {
  std::string journal;  // empty: beside the output
  bool rotate = false;
  int maxFiles = 0;     // 0: keep every file
  // The store size that counts as full; only tests make it smaller
  // (--store-events, not listed in the usage).
  uint32_t storeEvents = kEventCapacity;
};

// Reads --journal, --rotate, --max-files and --store-events from the
// capture's options, in the order given; false with `error` set for the
// first that is wrong.
bool ReadSafetyOptions(const ParsedArgs& parsed, CaptureSafetyOptions& o, std::string& error);

// The journal's path: as given, or "OUT.journal" beside the project, or
// "korvalog-capture.journal" in the parts' folder.
std::string JournalPathFor(const CaptureSafetyOptions& o, const std::string& out);

// Each note on its own line after "korvalog-cli: ".
class CliNotes final : public SessionNotes {
 public:
  explicit CliNotes(std::ostream& err) : err_(err) {}
  void Note(NoteKind, const std::string& line) override { err_ << "korvalog-cli: " << line << "\n"; }

 private:
  std::ostream& err_;
};

// Reads `journal`, writes what it holds as the project `out` and removes the
// journal; tells what was recovered and lost on ctx.err. `into` receives the
// capture. Gives kExitOk or kExitUsage.
int RecoverJournalTo(const std::string& journal, const std::string& out, CliContext& ctx, CaptureData& into,
                     CaptureView& view);

}  // namespace korvalog::cli
