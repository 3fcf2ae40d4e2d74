#include "app/session_files.h"

#include <cstring>
#include <filesystem>
#include <memory>

#include "core/file_names.h"
#include "project/load_sinks.h"

#include "project/output_target.h"
#include "project/project_file.h"

namespace korvalog {

bool ProjectSessionFiles::WriteProject(const std::string& path, CaptureData& data, const CaptureView& view,
                                       const PositionSnapshot& from,
                                       const PositionSnapshot& to, std::string& error) {
  const FileResult saved = WriteProjectFile(path, data, view, from, to);
  if (!saved.ok) error = saved.error;
  return saved.ok;
}

std::string ProjectSessionFiles::OutputProblem(const std::string& out, const std::vector<std::string>& others) {
  return korvalog::OutputProblem(out, others);
}

bool ProjectSessionFiles::HoldsJournal(const std::string& path, const JournalContents& journal) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(PathFromUtf8(path), ec)) return false;
  ManualClock clock;
  const auto saved = std::make_unique<CaptureData>(clock);
  CaptureView view;
  LoadSinks sinks;
  if (!LoadCaptureFile(path, *saved, view, sinks).ok) return false;
  // A journal cut short by the crash holds the first of the saved events.
  const size_t n = journal.events.size();
  if (saved->Store.Count() < n ||
      std::memcmp(saved->CaptureStart.states, journal.header.start.states, sizeof saved->CaptureStart.states) != 0) {
    return false;
  }
  return n == 0 || std::memcmp(saved->Store.Data(), journal.events.data(), n * sizeof(EventRecord)) == 0;
}

}  // namespace korvalog
