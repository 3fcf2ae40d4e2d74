#pragma once
// Loading a file for a command exactly as the window's Open does (project or
// logger log by its name), with warnings on stderr and one clear line when
// it fails. Shared by every command that reads a capture.
#include <string>
#include <string_view>

#include "app/cli/cli_context.h"
#include "project/load_sinks.h"

namespace korvalog::cli {

// Writes each warning of a load to `err` as "korvalog-cli: FILE: text" and
// keeps the notes of a logger log.
class StreamLoadSinks final : public LoadSinks {
 public:
  StreamLoadSinks(std::ostream& err, std::string path) : err_(err), path_(std::move(path)) {}
  void Warning(std::string_view text) override;
  void LogImportStarted() override { isLog_ = true; }
  void LogNotes(const std::string& notesText) override { notes_ = notesText; }

  bool IsLog() const { return isLog_; }
  const std::string& Notes() const { return notes_; }

 private:
  std::ostream& err_;
  std::string path_;
  bool isLog_ = false;
  std::string notes_;
};

// Loads `path` into ctx.data. On failure writes "korvalog-cli: FILE: reason"
// to ctx.err and returns false; the command then exits with kExitUsage.
bool LoadForCommand(const std::string& path, CliContext& ctx, StreamLoadSinks& sinks);
// The same for a command that needs nothing of the load but the capture.
bool LoadForCommand(const std::string& path, CliContext& ctx);

// Writes one line "korvalog-cli: message (usage: korvalog-cli USAGE)" to
// ctx.err and returns kExitUsage.
int UsageError(CliContext& ctx, const std::string& message, std::string_view usage);

// Flushes ctx.out; false (with one line on ctx.err) when the output could not
// be written, for instance to a full disk or a closed pipe.
bool FinishOutput(CliContext& ctx);

}  // namespace korvalog::cli
