// Markers in projects: their own line kind after every other line, so the
// lines a project had before stay byte for byte as they were, and a reader
// passes over kinds it does not know.
#include <gtest/gtest.h>

#include <string>

#include "project/project_file.h"
#include "small_project_fixture.h"
#include "temp_dir.h"

namespace korvalog {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

class ProjectMarkersTest : public testing_support::SmallProjectTest {
 protected:
  NullLoadSinks sinks;
};

TEST_F(ProjectMarkersTest, MarkerLinesFollowTheUnchangedProject) {
  const std::string plain = ReadBytes(Save("plain.kv", data.CaptureStart, data.CaptureEnd));
  view.Markers.Add(45658.5, "Door");
  view.Markers.Add(45658.45, "");
  const std::string marked = ReadBytes(Save("marked.kv", data.CaptureStart, data.CaptureEnd));
  ASSERT_EQ(marked.substr(0, plain.size()), plain);
  // 45658.45 and 45658.5 as little-endian doubles, then the label's bytes.
  EXPECT_EQ(marked.substr(plain.size()), "M666666664E4BE6404D31\r\nM00000000504BE640446F6F72\r\n");
}

TEST_F(ProjectMarkersTest, MarkersComeBackAndSaveAgainToTheSameBytes) {
  view.Markers.Add(45658.5, "Door stuck");
  view.Markers.Add(45658.55, std::string("\xE9t\xE9", 3));  // 8-bit text as names have it
  const std::string first = Save("a.kv", data.CaptureStart, data.CaptureEnd);
  CaptureData loaded(clock);
  CaptureView loadedView;
  ASSERT_TRUE(LoadCaptureFile(first, loaded, loadedView, sinks).ok);
  EXPECT_EQ(loadedView.Markers.Items(), view.Markers.Items());
  EXPECT_EQ(loaded.DataModified, 0);
  const std::string second = dir / "b.kv";
  ASSERT_TRUE(WriteProjectFile(second, loaded, loadedView, loaded.CaptureStart, loaded.CaptureEnd).ok);
  EXPECT_EQ(ReadBytes(first), ReadBytes(second));
  // A load replaces them; so does the start of a capture.
  ASSERT_TRUE(LoadCaptureFile(first, loaded, loadedView, sinks).ok);
  EXPECT_EQ(loadedView.Markers.Size(), 2u);
  const ViewFollowsCapture follows(loaded, loadedView);
  loaded.StartCapture();
  loaded.StopCapture();
  EXPECT_TRUE(loadedView.Markers.Empty());
}

TEST_F(ProjectMarkersTest, SavedSelectionKeepsTheMarkersInsideIt) {
  view.Markers.Add(45658.3, "before");
  view.Markers.Add(45658.5, "inside");
  view.Markers.Add(45658.7, "after");
  PositionSnapshot from = data.CaptureStart, to = data.CaptureEnd;
  from.time = 45658.45;
  to.time = 45658.55;
  CaptureData loaded(clock);
  CaptureView loadedView;
  ASSERT_TRUE(LoadCaptureFile(Save("sel.kv", from, to), loaded, loadedView, sinks).ok);
  ASSERT_EQ(loadedView.Markers.Size(), 1u);
  EXPECT_EQ(loadedView.Markers[0].label, "inside");
}

// Lines of kinds the reader does not know, and damaged marker lines, are
// passed over; everything else loads as before. An event line's length is
// read on a fast path of its own, so a marker line of that length is tried.
TEST_F(ProjectMarkersTest, UnknownAndDamagedLinesArePassedOver) {
  const std::string path = Save("a.kv", data.CaptureStart, data.CaptureEnd);
  std::string text = ReadBytes(path);
  text += "M00000000504BE640\r\n";      // a marker without a label
  text += "M00000000504BE6404142\r\n";  // 21 characters: an event line's length
  text += "M00\r\n";                       // too short
  text += "M00000000504BE6404\r\n";     // odd
  text += "M00000000504BE640" + std::string(2 * 65, '4') + "\r\n";  // label too long
  text += "Z0123456789ABCDEF\r\n";         // a kind nobody knows
  text += "R0102\r\n";
  WriteBytes(path, text);
  CaptureData loaded(clock);
  CaptureView loadedView;
  ASSERT_TRUE(LoadCaptureFile(path, loaded, loadedView, sinks).ok);
  EXPECT_EQ(loaded.Store.Count(), 20u);
  ASSERT_EQ(loadedView.Markers.Size(), 2u);
  EXPECT_EQ(loadedView.Markers[0].label, "M1");
  EXPECT_EQ(loadedView.Markers[1].label, "AB");
}

// Marker lines that give no marker (a time that is not a number or not hex,
// one marker too many) are told in the load's "lines ignored" warning.
TEST_F(ProjectMarkersTest, MarkersNotTakenAreCountedAsIgnored) {
  std::string many;
  for (size_t i = 0; i <= MarkerList::kMarkersMax; ++i) many += "M00000000504BE640\r\n";
  const struct {
    const char* what;
    std::string lines;
    size_t markers;
    std::vector<std::string> warnings;
  } cases[] = {
      {"a good marker", "M00000000504BE6404142\r\n", 1, {}},
      {"not a number", "M000000000000F87F4142\r\n", 0, {"1 line ignored"}},
      {"infinite", "M000000000000F07F\r\nM000000000000F0FF\r\n", 0, {"2 lines ignored"}},
      {"not hex in the time", "M00000000504BE6G0\r\nM 0000000504BE640\r\n", 0, {"2 lines ignored"}},
      {"past the list's size", many, MarkerList::kMarkersMax, {"1 line ignored"}},
  };
  const std::string plain = ReadBytes(Save("a.kv", data.CaptureStart, data.CaptureEnd));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(dir / "m.kv", plain + c.lines);
    CaptureData loaded(clock);
    CaptureView loadedView;
    CollectingLoadSinks collected;
    ASSERT_TRUE(LoadCaptureFile(dir / "m.kv", loaded, loadedView, collected).ok);
    EXPECT_EQ(loadedView.Markers.Size(), c.markers);
    EXPECT_EQ(collected.warnings, c.warnings);
  }
}

}  // namespace
}  // namespace korvalog
