#include "app/cli/cli_session.h"

#include "core/file_names.h"
#include "session/journal_recovery.h"

namespace korvalog::cli {

bool ReadSafetyOptions(const ParsedArgs& parsed, CaptureSafetyOptions& o, std::string& error) {
  for (const auto& [a, v] : parsed.options) {
    long n = 0;
    if (a == "--rotate") {
      o.rotate = true;
    } else if (a == "--journal") {
      if (v.empty()) {
        error = "--journal needs a file name";
        return false;
      }
      o.journal = v;
    } else if (a == "--max-files") {
      if (!WholeNumberOption(v, 1, 1000000, "--max-files must be a whole number of files, at least 1", n, error)) {
        return false;
      }
      o.maxFiles = static_cast<int>(n);
    } else if (a == "--store-events") {
      if (!WholeNumberOption(v, 1, kEventCapacity, "--store-events must be 1..1048576", n, error)) return false;
      o.storeEvents = static_cast<uint32_t>(n);
    }
  }
  if (o.maxFiles > 0 && !o.rotate) {
    error = "--max-files is for --rotate";
    return false;
  }
  return true;
}

std::string JournalPathFor(const CaptureSafetyOptions& o, const std::string& out) {
  if (!o.journal.empty()) return o.journal;
  return o.rotate ? Utf8FromPath(PathFromUtf8(out) / "korvalog-capture.journal") : out + ".journal";
}

int RecoverJournalTo(const std::string& journal, const std::string& out, CliContext& ctx, CaptureData& into,
                     CaptureView& view) {
  ProjectSessionFiles files;
  CliNotes notes(ctx.err);
  return korvalog::RecoverJournalTo(journal, out, into, view, files, notes) ? kExitOk : kExitUsage;
}

}  // namespace korvalog::cli
