// The waveform column fills the chart at any size the chart first shows at,
// any later size and any width of the other columns; below its minimum the
// chart scrolls sideways and its end stays reachable.
#include <QScrollBar>
#include <gtest/gtest.h>

#include "chart/grid_fit.h"
#include "chart/qt/chart_panel.h"
#include "chart_rig.h"
#include "ui/qt/kit_look.h"
#include "ui/time_span_fit.h"

namespace korvalog {
namespace {

using testing::CaptureBuilder;

// The waveform column's line and the grid's right frame.
constexpr int kAfterWave = 1 + GridLayout::kFrame;

struct Fitted {
  int wave;       // the waveform column's width
  int waveRight;  // its right edge, in the panel's coordinates
  int stripRight; // the strip's right edge, in the panel's coordinates
  int handleRight;
  bool scrolls;
};

Fitted Measure(ChartPanel& panel) {
  panel.Tick();
  ChannelGrid* grid = panel.Grid();
  const GridLayout& layout = grid->Layout();
  Fitted f;
  f.wave = layout.widths[4];
  f.waveRight = grid->x() + layout.ColumnLeft(4) + layout.widths[4];
  f.stripRight = panel.Summary()->x() + panel.Strip()->geometry().right() + 1;
  f.handleRight = panel.Summary()->x() + panel.RightHandle()->PosX();
  f.scrolls = panel.SideScrollBar()->isVisible();
  return f;
}

// A chart that first shows at `size` (as a window restored at a stored size
// does), with its name column `nameWidth` wide.
std::unique_ptr<ChartPanel> ShownAt(CaptureBuilder& b, const LoggerSettings& s, QSize size, int nameWidth) {
  auto panel = std::make_unique<ChartPanel>(b.data, b.view, s);
  panel->resize(size);
  if (nameWidth != 66) panel->Grid()->SetColumnWidth(1, nameWidth);
  panel->show();
  panel->DataLoaded();
  panel->Tick();
  return panel;
}

TEST(WaveColumn, FillsTheChartAtEverySizeAndColumnWidth) {
  CaptureBuilder b;
  b.Event(10, 1, 1).Event(300, 1, 0).Finish(408);
  LoggerSettings s;
  for (const QSize size : {QSize(569, 490), QSize(900, 600), QSize(420, 450), QSize(1600, 800), QSize(300, 400)}) {
    for (const int name : {66, 200, 400}) {
      auto panel = ShownAt(b, s, size, name);
      const Fitted f = Measure(*panel);
      const int fixed = panel->Grid()->Layout().ContentWidth() - f.wave;
      const int reserve = WaveRightReserve(panel->Grid()->ScrollBar()->sizeHint().width());
      const std::string at = std::to_string(size.width()) + " name " + std::to_string(name);
      EXPECT_EQ(panel->State().WaveWidth, f.wave) << at;
      EXPECT_EQ(f.stripRight, f.waveRight) << at;  // the strip stays over the column
      EXPECT_EQ(f.handleRight, f.waveRight) << at;
      if (size.width() - fixed - reserve >= kMinWaveWidth) {
        // No blank room on the right, nothing past the edge.
        EXPECT_FALSE(f.scrolls) << at;
        EXPECT_EQ(f.waveRight, size.width() - reserve - kAfterWave) << at;
      } else {
        // At its minimum, with a scroll bar that reaches its end.
        EXPECT_EQ(f.wave, kMinWaveWidth) << at;
        ASSERT_TRUE(f.scrolls) << at;
        EXPECT_GT(f.waveRight, size.width()) << at;
        panel->SideScrollBar()->setValue(panel->SideScrollBar()->maximum());
        const Fitted end = Measure(*panel);
        EXPECT_EQ(end.waveRight, size.width() - reserve - kAfterWave) << at;
        EXPECT_EQ(end.handleRight, end.waveRight) << at;
        // The grid's own scroll bar stays in sight.
        QScrollBar* rows = panel->Grid()->ScrollBar();
        EXPECT_LE(panel->Grid()->x() + rows->geometry().right(), size.width()) << at;
        EXPECT_GE(panel->Grid()->x() + rows->geometry().left(), 0) << at;
        EXPECT_EQ(panel->SideScrollBar()->geometry().bottom(), size.height() - 1) << at;
      }
    }
  }
}

TEST(WaveColumn, FollowsLaterResizesAndColumnDrags) {
  CaptureBuilder b;
  b.Event(10, 1, 1).Finish(408);
  LoggerSettings s;
  auto panel = ShownAt(b, s, QSize(569, 490), 66);
  EXPECT_EQ(Measure(*panel).wave, 408);
  panel->resize(1000, 490);
  EXPECT_EQ(Measure(*panel).waveRight, 1000 - kWaveRightReserve - kAfterWave);
  // Widening the name column takes from the waveforms, never past the edge.
  const GridLayout& layout = panel->Grid()->Layout();
  const QPoint line(layout.ColumnLeft(1) + layout.widths[1], 10);
  QTest::mousePress(panel->Grid(), Qt::LeftButton, {}, line);
  QTest::mouseMove(panel->Grid(), line + QPoint(150, 0));
  QTest::mouseRelease(panel->Grid(), Qt::LeftButton, {}, line + QPoint(150, 0));
  EXPECT_EQ(panel->NameColumnWidth(), 216);
  Fitted f = Measure(*panel);
  EXPECT_EQ(f.wave, 408 + 431 - 150);
  EXPECT_EQ(f.stripRight, 1000 - kWaveRightReserve - kAfterWave);
  // Shrinking the window again brings nothing past the edge either.
  panel->resize(700, 490);
  f = Measure(*panel);
  EXPECT_EQ(f.waveRight, 700 - kWaveRightReserve - kAfterWave);
  EXPECT_EQ(f.handleRight, f.waveRight);
  // The waveform column's own line cannot be dragged: it follows the window.
  const QPoint end(layout.ColumnLeft(4) + layout.widths[4], 10);
  QTest::mousePress(panel->Grid(), Qt::LeftButton, {}, end);
  QTest::mouseMove(panel->Grid(), end + QPoint(-100, 0));
  QTest::mouseRelease(panel->Grid(), Qt::LeftButton, {}, end + QPoint(-100, 0));
  EXPECT_EQ(Measure(*panel).waveRight, 700 - kWaveRightReserve - kAfterWave);
}

TEST(WaveColumn, NarrowStripTimeLabelsDoNotOverlap) {
  CaptureBuilder b;
  b.Event(10, 1, 1).Finish(408);
  LoggerSettings s;
  auto panel = ShownAt(b, s, QSize(569, 490), 66);
  Measure(*panel);
  const QFontMetrics metrics(panel->font());
  const TimeSpanTexts& span = panel->State().Strip().span;
  const int startWidth = metrics.horizontalAdvance(QString::fromStdString(span.start));
  const int endWidth = metrics.horizontalAdvance(QString::fromStdString(span.end));
  ASSERT_GT(startWidth, 20);
  // Room for start and end but not for the duration between them.
  const int fixed = panel->Grid()->Layout().ContentWidth() - panel->State().WaveWidth;
  const int wave = startWidth + endWidth + 20;
  panel->resize(fixed + WaveRightReserve(panel->Grid()->ScrollBar()->sizeHint().width()) + wave, 490);
  ASSERT_EQ(Measure(*panel).wave, wave);
  const QImage strip = panel->Strip()->grab().toImage();
  const QRgb face = SystemColourOf(SystemColour::ButtonFace, panel->palette()).rgb();
  int middleInk = 0, startInk = 0, endInk = 0;
  for (int y = 0; y < metrics.height(); ++y) {
    for (int x = 0; x < wave; ++x) {
      if (strip.pixel(x, y) == face) continue;
      if (x < startWidth) ++startInk;
      else if (x >= wave - endWidth) ++endInk;
      else ++middleInk;
    }
  }
  EXPECT_GT(startInk, 0);
  EXPECT_GT(endInk, 0);
  EXPECT_EQ(middleInk, 0) << "the duration would run into the stamps at " << wave << " pixels";
}

}  // namespace
}  // namespace korvalog
