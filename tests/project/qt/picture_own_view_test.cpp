// A picture of some channels draws a view of its own: the window's rows,
// names, search conditions and roles stay as they were while it lives and
// after, and the window's chart draws the same pixels before and after.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "chart/qt/chart_panel.h"
#include "common/capture_builder.h"
#include "project/export_range.h"
#include "project/qt/chart_picture.h"
#include "project/temp_dir.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;
using testing_support::TempDir;

constexpr int kWidth = 640;

// Channels 2, 7 and 40 change; the window shows channel 40 on top, then 7,
// with names, a search condition and a role of its own.
class PictureOwnViewTest : public ::testing::Test {
 protected:
  PictureOwnViewTest() {
    b.StartLevel(5, 1).Event(1.0, 2, 1).Event(2.0, 40, 1).Event(3.0, 7, 1).Finish(4.0);
    TraceList& t = b.view.Traces;
    t.MoveRow(40, 1);
    t.MoveRow(8, 2);  // channel 7, one row down since 40 went up
    t.SetName(2, "Door open");
    t.SetName(7, "Motor up");
    t.SetName(40, "Hall call 3");
    t.SetSearch(7, kSearchHigh);
    t.Roles().Set(2, ChannelRole::DoorOpenRelay);
    settings.ColourMode = 1;
  }

  QImage WindowChart() {
    panel.resize(700, 400);
    return panel.grab().toImage();
  }

  CaptureBuilder b;
  LoggerSettings settings;
  ChartPanel panel{b.data, b.view, settings};
  TempDir dir;
};

TEST_F(PictureOwnViewTest, WindowViewUntouchedWhileAndAfterThePictureLives) {
  ASSERT_EQ(b.view.Traces.ChannelAt(1), 40);
  ASSERT_EQ(b.view.Traces.ChannelAt(2), 7);
  const TraceList before = b.view.Traces;
  const QImage chartBefore = WindowChart();

  // The picture's subsets, each in a different place of the window's order.
  const std::vector<std::vector<int>> subsets = {{2}, {2, 7}, {5, 2}, {128}, {}, {2, 7, 40}};
  for (const std::vector<int>& channels : subsets) {
    SCOPED_TRACE(channels.size());
    const ExportRange range = WholeCaptureRange(b.data);
    const ChartPicture picture(b.data, b.view, range, channels, kWidth, settings.ColourMode);
    // The picture's own rows: its channels on top, in the window's order;
    // the others are not drawn.
    std::vector<int> expected = channels;
    std::sort(expected.begin(), expected.end(), [&](int x, int y) { return before.RowOf(x) < before.RowOf(y); });
    int lastTop = -1;
    for (int ch : expected) {
      EXPECT_GT(picture.RowTop(ch), lastTop) << ch;
      lastTop = picture.RowTop(ch);
    }
    for (int ch : {2, 5, 7, 40, 128}) {
      if (std::find(channels.begin(), channels.end(), ch) == channels.end()) {
        EXPECT_EQ(picture.RowTop(ch), -1) << ch;
      }
    }
    QImage image(picture.Size(), QImage::Format_RGB32);
    QPainter p(&image);
    picture.Paint(p);
    p.end();
    EXPECT_TRUE(b.view.Traces == before);  // while it lives
  }
  EXPECT_TRUE(b.view.Traces == before);
  EXPECT_EQ(b.view.Traces.Order(), before.Order());
  EXPECT_EQ(b.view.Traces.Name(2), "Door open");
  EXPECT_EQ(b.view.Traces.Search(7), kSearchHigh);
  EXPECT_EQ(b.view.Traces.Role(2).role, ChannelRole::DoorOpenRelay);
  // Names and colours as the window draws them.
  EXPECT_EQ(WindowChart(), chartBefore);
}

TEST_F(PictureOwnViewTest, WrittenPictureLeavesTheWindowAlone) {
  const TraceList before = b.view.Traces;
  const QImage chartBefore = WindowChart();
  ExportRequest r;
  r.format = ExportFormat::Png;
  r.width = kWidth;
  r.path = dir / "subset.png";
  r.channels = {2};
  ASSERT_TRUE(WriteChartPicture(b.data, b.view, settings, r).ok);
  const QImage png(QString::fromStdString(dir / "subset.png"));
  ASSERT_FALSE(png.isNull());
  EXPECT_TRUE(b.view.Traces == before);
  EXPECT_EQ(WindowChart(), chartBefore);
}

}  // namespace
}  // namespace korvalog
