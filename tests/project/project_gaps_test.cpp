// Link gaps in projects: a line kind of their own after every other line,
// so that a project without gaps is written as before and a reader that
// does not know the kind (an older Korvalog) opens the rest.
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

class ProjectGapsTest : public testing_support::SmallProjectTest {
 protected:
  CollectingLoadSinks sinks;
  CaptureData loaded{clock};
  CaptureView loadedView;
};

TEST_F(ProjectGapsTest, GapLinesFollowTheUnchangedProjectAndComeBackWhole) {
  const std::string plain = ReadBytes(Save("plain.kv", data.CaptureStart, data.CaptureEnd));
  data.Gaps.Lost(45658.45);
  data.Gaps.Back(45658.5);
  data.Gaps.Lost(45658.55);  // still lost when the capture stopped: ends with it
  const std::string path = Save("gaps.kv", data.CaptureStart, data.CaptureEnd);
  const std::string gapped = ReadBytes(path);
  ASSERT_EQ(gapped.substr(0, plain.size()), plain);
  EXPECT_EQ(gapped.substr(plain.size()),
            "G666666664E4BE64000000000504BE640\r\nG9A999999514BE64033333333534BE640\r\n");

  ASSERT_TRUE(LoadCaptureFile(path, loaded, loadedView, sinks).ok);
  EXPECT_TRUE(sinks.warnings.empty());
  EXPECT_EQ(loaded.Gaps.Spans(), (std::vector<GapSpan>{{45658.45, 45658.5}, {45658.55, 45658.6}}));
  ASSERT_TRUE(WriteProjectFile(dir / "again.kv", loaded, loadedView, loaded.CaptureStart, loaded.CaptureEnd).ok);
  EXPECT_EQ(ReadBytes(dir / "again.kv"), gapped);
  // Another load, and a capture's start, leave no gap of this one behind.
  ASSERT_TRUE(LoadCaptureFile(dir / "plain.kv", loaded, loadedView, sinks).ok);
  EXPECT_TRUE(loaded.Gaps.Empty());
  ASSERT_TRUE(LoadCaptureFile(path, loaded, loadedView, sinks).ok);
  loaded.StartCapture();
  loaded.StopCapture();
  EXPECT_TRUE(loaded.Gaps.Empty());
}

TEST_F(ProjectGapsTest, SavedSelectionKeepsTheGapsInsideItCut) {
  data.Gaps.Add(45658.3, 45658.4);  // before the selection
  data.Gaps.Add(45658.42, 45658.47);
  data.Gaps.Add(45658.5, 45658.6);
  PositionSnapshot from = data.CaptureStart, to = data.CaptureEnd;
  from.time = 45658.45;
  to.time = 45658.55;
  ASSERT_TRUE(LoadCaptureFile(Save("sel.kv", from, to), loaded, loadedView, sinks).ok);
  EXPECT_EQ(loaded.Gaps.Spans(), (std::vector<GapSpan>{{45658.45, 45658.47}, {45658.5, 45658.55}}));
}

// What an older Korvalog does with the new lines is what this one does with
// a kind it does not know: it passes over them, says how many, and loads the
// rest. Damaged gap lines are passed over the same way.
TEST_F(ProjectGapsTest, OlderReadersAndDamagedGapLinesPassThemOver) {
  data.Gaps.Add(45658.45, 45658.5);
  data.Gaps.Add(45658.55, 45658.6);
  const std::string path = Save("a.kv", data.CaptureStart, data.CaptureEnd);
  const std::string text = ReadBytes(path);
  std::string older = text;
  for (size_t at = older.find("\r\nG"); at != std::string::npos; at = older.find("\r\nG", at)) older[at + 2] = 'Y';
  const std::string damaged[] = {
      "G666666664E4BE64000000000504BE6\r\n",     // short
      "G666666664E4BE64000000000504BE640FF\r\n", // long
      "G666666664E4BE64000000000504BE6X0\r\n",   // not hex
      "G00000000504BE640666666664E4BE640\r\n",   // runs back
      "G000000000000F87F00000000504BE640\r\n",   // starts at NaN
      "G00000000504BE640000000000000F07F\r\n",   // ends at infinity
  };
  std::string bad = text.substr(0, text.find("\r\nG") + 2);
  for (const std::string& line : damaged) bad += line;
  struct Case {
    const char* what;
    std::string bytes;
    const char* warning;
  } const cases[] = {{"older reader", older, "2 lines ignored"}, {"damaged", bad, "6 lines ignored"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(path, c.bytes);
    sinks.warnings.clear();
    ASSERT_TRUE(LoadCaptureFile(path, loaded, loadedView, sinks).ok);
    EXPECT_EQ(loaded.Store.Count(), 20u);
    EXPECT_EQ(loaded.CaptureEnd.time, 45658.6);
    EXPECT_TRUE(loaded.Gaps.Empty());
    EXPECT_EQ(sinks.warnings, std::vector<std::string>{c.warning});
  }
}

}  // namespace
}  // namespace korvalog
