#pragma once
// The project files a capture session writes, for both programs.
#include "session/session_notes.h"

namespace korvalog {

class ProjectSessionFiles final : public SessionFiles {
 public:
  bool WriteProject(const std::string& path, CaptureData& data, const CaptureView& view, const PositionSnapshot& from,
                    const PositionSnapshot& to, std::string& error) override;
  std::string OutputProblem(const std::string& out, const std::vector<std::string>& others) override;
  bool HoldsJournal(const std::string& path, const JournalContents& journal) override;
};

}  // namespace korvalog
