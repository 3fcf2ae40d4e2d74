#pragma once
// What the capture session tests share: the session's notes kept as lines,
// the parts in a folder, and the events of a project read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/clock.h"
#include "project/load_sinks.h"
#include "project/project_file.h"
#include "session/continuous_parts.h"
#include "session/session_notes.h"

namespace korvalog::testing {

struct NoteList final : SessionNotes {
  std::vector<std::string> lines;
  void Note(NoteKind, const std::string& line) override { lines.push_back(line); }
  bool Has(const std::string& part) const {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(part) != std::string::npos; });
  }
  std::string All() const {
    std::string all;
    for (const std::string& l : lines) all += l + "\n";
    return all;
  }
};

inline std::vector<std::string> PartsIn(const std::string& folder) {
  std::vector<std::string> parts;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    if (IsContinuousPartName(e.path().filename().string())) parts.push_back(e.path().string());
  }
  std::sort(parts.begin(), parts.end());
  return parts;
}

// Channel and level of every event of a project, in order.
inline std::vector<std::pair<int, int>> EventsOf(const std::string& path) {
  ManualClock clock;
  CaptureData back(clock);
  CaptureView view;
  LoadSinks sinks;
  EXPECT_TRUE(LoadCaptureFile(path, back, view, sinks).ok) << path;
  std::vector<std::pair<int, int>> events;
  for (uint32_t i = 0; i < back.Store.Count(); ++i) events.emplace_back(back.Store[i].channel, back.Store[i].state);
  return events;
}

}  // namespace korvalog::testing
