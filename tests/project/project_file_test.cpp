// Writing projects: the exact line forms, and save-load-save round trips.
#include "project/project_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "temp_dir.h"

namespace korvalog {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) {
      lines.push_back("<unterminated>" + text.substr(pos));
      break;
    }
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

// A finished capture of `n` events on channels 1..n, alternating levels.
void FillCapture(CaptureData& data, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) {
    data.Store.Append(45658.5 + i / 86400.0, static_cast<uint8_t>(1 + i % 128), static_cast<uint8_t>((i / 128 + 1) % 2));
  }
  data.CaptureStart.time = 45658.4;
  data.CaptureEnd.index = n;
  data.CaptureEnd.time = 45658.9;
  data.CaptureEnd.states[4] = 1;
  data.DataPresent = 1;
  data.DataModified = 1;
}

class ProjectWriteTest : public ::testing::Test {
 protected:
  ManualClock clock{45000.0};
  CaptureData data{clock};
  CaptureView view;
  NullLoadSinks sinks;
  TempDir dir;
};

TEST_F(ProjectWriteTest, WithoutDataWritesEveryTableButNoEvents) {
  const std::string path = dir / "empty.kv";
  ASSERT_TRUE(WriteProjectFile(path, data, view, data.CaptureStart, data.CaptureEnd).ok);
  const std::vector<std::string> lines = SplitCrLf(ReadBytes(path));
  ASSERT_EQ(lines.size(), 128u + 15u + 3u);
  EXPECT_EQ(lines[0], "S01" "02" "2331" + std::string(60, '0') + "02");
  EXPECT_EQ(lines[127].substr(0, 3), "S80");
  EXPECT_EQ(lines[128], "Q01000100000000");
  EXPECT_EQ(lines[142].substr(0, 3), "Q0F");
  for (int i = 0; i < 128; ++i) EXPECT_EQ(lines[i].size(), 71u);
  for (int i = 128; i < 143; ++i) EXPECT_EQ(lines[i].size(), 15u);
  EXPECT_EQ(lines[143].substr(0, 2), "L1");
  EXPECT_EQ(lines[143].size(), 290u);
  EXPECT_EQ(lines[144].substr(0, 2), "L2");
  EXPECT_EQ(lines[144].size(), 290u);
  EXPECT_EQ(lines[145].substr(0, 7), "O010203");
  EXPECT_EQ(lines[145].size(), 257u);

  CaptureData loaded(clock);
  CaptureView loadedView;

  ASSERT_TRUE(LoadCaptureFile(path, loaded, loadedView, sinks).ok);
  EXPECT_EQ(loaded.Store.Count(), 0u);
  EXPECT_EQ(loaded.DataPresent, 0);
}

TEST_F(ProjectWriteTest, EventAndSequencerRowComeOutExactly) {
  data.Store.Append(45658.5, 5, 1);
  data.CaptureEnd.index = 1;
  data.DataPresent = 1;
  view.Sequence[0] = SequenceRow{5, 1, 2, 30};
  view.Traces.SetName(10, "Door Open");
  const std::string path = dir / "one.kv";
  ASSERT_TRUE(WriteProjectFile(path, data, view, data.CaptureStart, data.CaptureEnd).ok);
  const std::string text = ReadBytes(path);
  EXPECT_NE(text.find("\r\nE00000000504BE6400501\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nQ01050102001E00\r\n"), std::string::npos);
  // Upper-case hex only: "Door Open" is 44 6F 6F 72 20 4F 70 65 6E.
  EXPECT_NE(text.find("S0A09446F6F72204F70656E"), std::string::npos);
  EXPECT_EQ(text.find_first_of("abcdef"), std::string::npos);
}

TEST_F(ProjectWriteTest, SaveLoadSaveGivesIdenticalBytes) {
  FillCapture(data, 1000);
  view.Sequence[3] = SequenceRow{17, 0, 65535, 7};
  view.Traces.SetSearch(1, kSearchHigh);
  view.Traces.SetName(128, std::string(40, 'x'));
  DisplayOrder order = view.Traces.Order();
  std::swap(order[0], order[127]);
  ASSERT_TRUE(view.Traces.SetOrder(order));
  data.CaptureStart.reserved[2] = 0x5A;  // kept as read
  const std::string first = dir / "a.kv";
  const std::string second = dir / "b.kv";
  ASSERT_TRUE(WriteProjectFile(first, data, view, data.CaptureStart, data.CaptureEnd).ok);
  EXPECT_EQ(data.DataModified, 0);

  CaptureData loaded(clock);
  CaptureView loadedView;

  ASSERT_TRUE(LoadCaptureFile(first, loaded, loadedView, sinks).ok);
  EXPECT_EQ(loaded.Store.Count(), 1000u);
  EXPECT_EQ(loaded.DataPresent, 1);
  EXPECT_EQ(loaded.DataModified, 0);
  EXPECT_EQ(loadedView.Traces.Order()[0], 128);
  EXPECT_EQ(loadedView.Sequence[3].minTime, 65535);
  EXPECT_EQ(loadedView.Traces.Name(127 + 1), std::string(32, 'x'));
  EXPECT_EQ(loaded.CaptureStart.reserved[2], 0x5A);
  EXPECT_EQ(loaded.CaptureEnd.time, 45658.9);  // the file's own span is kept
  ASSERT_TRUE(WriteProjectFile(second, loaded, loadedView, loaded.CaptureStart, loaded.CaptureEnd).ok);
  EXPECT_EQ(ReadBytes(first), ReadBytes(second));
}

TEST_F(ProjectWriteTest, SavedSelectionReopensAsACaptureOfThatRange) {
  FillCapture(data, 10);
  PositionSnapshot from;
  from.index = 3;
  from.time = data.Store[3].time;
  from.states[0] = 1;
  PositionSnapshot to;
  to.index = 7;
  to.time = data.Store[6].time + 1e-6;
  const std::string path = dir / "sel.kv";
  ASSERT_TRUE(WriteProjectFile(path, data, view, from, to).ok);

  CaptureData loaded(clock);
  CaptureView loadedView;

  CollectingLoadSinks seen;
  ASSERT_TRUE(LoadCaptureFile(path, loaded, loadedView, seen).ok);
  ASSERT_EQ(loaded.Store.Count(), 4u);
  EXPECT_EQ(loaded.Store[0].time, data.Store[3].time);
  EXPECT_EQ(loaded.Store[0].channel, data.Store[3].channel);
  EXPECT_EQ(loaded.CaptureStart.index, 0u);
  EXPECT_EQ(loaded.CaptureEnd.index, 4u);
  EXPECT_EQ(loaded.CaptureStart.time, from.time);
  EXPECT_EQ(loaded.CaptureStart.states[0], 1);
  EXPECT_EQ(seen.dataLoaded, 1);
  EXPECT_TRUE(seen.lastHasEvents);
}

TEST_F(ProjectWriteTest, SnapshotIndicesBeyondTheStoreWriteOnlyValidEvents) {
  FillCapture(data, 5);
  PositionSnapshot from;
  from.index = 3;
  PositionSnapshot to;
  to.index = 4000000;
  const std::string path = dir / "clamped.kv";
  ASSERT_TRUE(WriteProjectFile(path, data, view, from, to).ok);
  CaptureData loaded(clock);
  CaptureView loadedView;
  ASSERT_TRUE(LoadCaptureFile(path, loaded, loadedView, sinks).ok);
  EXPECT_EQ(loaded.Store.Count(), 2u);
}

TEST_F(ProjectWriteTest, ReplacesAnExistingFileAndLeavesNoTemporaryBehind) {
  const std::string path = dir / "same.kv";
  testing_support::WriteBytes(path, "old contents");
  ASSERT_TRUE(WriteProjectFile(path, data, view, data.CaptureStart, data.CaptureEnd).ok);
  EXPECT_EQ(ReadBytes(path).substr(0, 3), "S01");
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++files;
  EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace korvalog
