#include "app/cli/cli_session.h"

#include "app/cli/cli_options.h"
#include "core/file_names.h"
#include "session/journal_recovery.h"

namespace korvalog::cli {

bool ExtractKeeperOptions(CommandArgs& args, KeeperOptions& o, std::string& error) {
  CommandArgs rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--rotate") {
      o.rotate = true;
      continue;
    }
    if (a != "--journal" && a != "--max-files" && a != "--store-events") {
      rest.push_back(a);
      continue;
    }
    if (i + 1 >= args.size()) {
      error = a + " needs a value";
      return false;
    }
    const std::string& v = args[++i];
    long n = 0;
    if (a == "--journal") {
      if (v.empty()) {
        error = "--journal needs a file name";
        return false;
      }
      o.journal = v;
    } else if (a == "--max-files") {
      if (!WholeNumber(v, 1, 1000000, n)) {
        error = "--max-files must be a whole number of files, at least 1";
        return false;
      }
      o.maxFiles = static_cast<int>(n);
    } else {
      if (!WholeNumber(v, 1, kEventCapacity, n)) {
        error = "--store-events must be 1..1048576";
        return false;
      }
      o.storeEvents = static_cast<uint32_t>(n);
    }
  }
  if (o.maxFiles > 0 && !o.rotate) {
    error = "--max-files is for --rotate";
    return false;
  }
  args.swap(rest);
  return true;
}

std::string JournalPathFor(const KeeperOptions& o, const std::string& out) {
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
