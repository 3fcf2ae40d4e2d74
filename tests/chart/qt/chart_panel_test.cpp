// The chart panel on screen: layout, the strip's band and trace, the
// waveform pixels, the selection handles' drag, the zoom buttons and the
// images drawn for high-density screens.
#include <gtest/gtest.h>

#include "chart/qt/chart_images.h"
#include "chart/qt/chart_panel.h"
#include "chart_rig.h"
#include "core/channel_colours.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

using test::ChartRig;
using test::kStripLeft;
using testing::At;
using testing::CaptureBuilder;

QRgb Sys(SystemColour c, const QWidget* w) { return SystemColourOf(c, w->palette()).rgb(); }

// Rows y0..y1 of column x all in `colour`.
bool ColumnRun(const QImage& image, int x, int y0, int y1, QRgb colour) {
  for (int y = y0; y <= y1; ++y)
    if (image.pixel(x, y) != colour) return false;
  return true;
}

TEST(ChartPanel, LaysOutAtTheDesignWidths) {
  ChartRig r;
  EXPECT_EQ(r.S().StripLeft, kStripLeft);
  EXPECT_EQ(r.S().WaveWidth, 408);
  EXPECT_EQ(r.panel->Strip()->geometry(), QRect(kStripLeft, kStripTop, 408, kStripHeight));
  EXPECT_EQ(r.panel->Stats()->geometry(), QRect(kStripLeft, kStatsTop, 408, kStripStatsHeight));
  EXPECT_EQ(r.panel->ZoomLabel()->geometry().right() + 1, kStripLeft);
  EXPECT_EQ(r.panel->LeftHandle()->PosX(), kStripLeft);
  EXPECT_EQ(r.panel->RightHandle()->PosX(), kStripLeft + 408);
  EXPECT_EQ(r.panel->LeftHandle()->PosY(), kStripTop + kStripHeight + 2);
  EXPECT_EQ(r.panel->Grid()->Cursor(MeasuringCursor::First)->PosX(), kStripLeft + 10);
  EXPECT_EQ(r.panel->Grid()->Cursor(MeasuringCursor::First)->PosY(), r.panel->Grid()->Layout().headerHeight - 6);
  EXPECT_EQ(r.panel->Grid()->Layout().ColumnLeft(4), kStripLeft);
}

TEST(ChartPanel, DraggingASelectionHandleMovesOnlyTheBandUntilRelease) {
  ChartRig r([](CaptureBuilder& b) {
    for (int i = 1; i < 400; ++i) b.Event(i, 1 + i % 5, (i / 5) % 2);
  });
  const uint64_t read = r.S().EventsRead();
  const int paints = r.panel->Strip()->Paints();
  const double start = r.S().SelectionStart.time;
  r.DragHandle(r.panel->LeftHandle(), kStripLeft + 100, false);
  QApplication::processEvents();
  EXPECT_GT(r.panel->Strip()->Paints(), paints);
  EXPECT_EQ(r.S().EventsRead(), read);  // no event walk while dragging
  EXPECT_EQ(r.S().SelectionStart.time, start);
  // The band runs from the handle to the right handle, over the lower part.
  const QImage strip = r.Strip();
  const QRgb window = Sys(SystemColour::Window, r.panel), face = Sys(SystemColour::ButtonFace, r.panel);
  const int bandTop = kStripHeight - 20 - 2;
  EXPECT_EQ(strip.pixel(99, kStripHeight - 2), face);
  EXPECT_EQ(strip.pixel(100, kStripHeight - 2), window);
  EXPECT_EQ(strip.pixel(300, bandTop), window);
  EXPECT_EQ(strip.pixel(300, bandTop - 1), face);
  THandle* left = r.panel->LeftHandle();
  test::SendMouse(QEvent::MouseButtonRelease, left, r.panel->Summary(), QPoint(left->PosX(), left->PosY()));
  EXPECT_EQ(r.S().SelectionStart.time, r.S().StripXToTime(kStripLeft + 100));
  EXPECT_GT(r.S().EventsRead(), read);
  // Stopped one pixel short of the right handle.
  r.DragHandle(r.panel->LeftHandle(), kStripLeft + 600);
  EXPECT_EQ(r.panel->LeftHandle()->PosX(), kStripLeft + 407);
}

TEST(ChartPanel, WaveformEdgesFlatLinesAndCursorLines) {
  ChartRig r([](CaptureBuilder& b) {
    b.StartLevel(4, 1);
    b.Event(100.5, 2, 1).Event(200.5, 2, 0);
    // A burst inside one column of channel 3.
    for (int i = 0; i < 6; ++i) b.Event(200.6 + 0.1 * i, 3, (i + 1) % 2);
  });
  const QImage grid = r.Grid();
  const Rgb c2 = ChannelColour(2, 0), c3 = ChannelColour(3, 0), c4 = ChannelColour(4, 0);
  const int top2 = r.RowTop(2), top3 = r.RowTop(3), top4 = r.RowTop(4);
  const int x = r.WaveX(100.5);
  EXPECT_TRUE(ColumnRun(grid, x, top2 + 2, top2 + 17, test::Rgb(c2)));  // the edge
  EXPECT_EQ(grid.pixel(x - 5, top2 + 17), test::Rgb(c2));               // LOW before
  EXPECT_EQ(grid.pixel(x + 5, top2 + 2), test::Rgb(c2));                // HIGH after, 3 pixels thick
  EXPECT_EQ(grid.pixel(x + 5, top2 + 4), test::Rgb(c2));
  EXPECT_NE(grid.pixel(x + 5, top2 + 5), test::Rgb(c2));
  // The burst draws exactly one edge.
  int edges = 0;
  for (int gx = kStripLeft; gx < kStripLeft + 408; ++gx) edges += ColumnRun(grid, gx, top3 + 2, top3 + 17, test::Rgb(c3));
  EXPECT_EQ(edges, 1);
  // Channel 4 never moves: flat HIGH; the silver cursor line shows through.
  const QRgb silver = qRgb(192, 192, 192);
  EXPECT_EQ(grid.pixel(kStripLeft + 10, top4 + 10), silver);
  EXPECT_EQ(grid.pixel(kStripLeft + 10, top4 + 2), test::Rgb(c4));
  EXPECT_EQ(grid.pixel(kStripLeft + 300, top4 + 2), test::Rgb(c4));
}

TEST(ChartPanel, OutsideTheSelectionAChannelIsFlatAtItsStartLevel) {
  ChartRig r([](CaptureBuilder& b) { b.Event(10, 5, 1).Event(20, 5, 0).Event(30, 5, 1).Event(350, 5, 0); });
  r.DragHandle(r.panel->LeftHandle(), kStripLeft + 100);
  r.DragHandle(r.panel->RightHandle(), kStripLeft + 300);
  const QImage grid = r.Grid();
  const int top = r.RowTop(5);
  const QRgb ink = test::Rgb(ChannelColour(5, 0));
  for (int gx = kStripLeft; gx < kStripLeft + 408; ++gx) {
    ASSERT_EQ(grid.pixel(gx, top + 2), ink) << gx;
    ASSERT_NE(grid.pixel(gx, top + 17), ink) << gx;
  }
}

TEST(ChartPanel, SequenceStripShowsARedViolationLineAndDigits) {
  // Channel 1 HIGH, then at most 2 s to channel 2 HIGH, which comes 5 s
  // later: a violation at 105.5 s.
  ChartRig r([](CaptureBuilder& b) {
    b.Row(1, 1, 1, 0, 2).Row(2, 2, 1);
    b.Event(100.5, 1, 1).Event(105.5, 2, 1).Event(200.5, 1, 0).Event(201.5, 2, 0);
  });
  r.panel->SequencerButton()->Clicked();
  EXPECT_EQ(r.panel->StripMode(), 1);
  EXPECT_EQ(r.panel->ZoomLabel()->Caption(), "Seq.\\nZoom");
  const QImage strip = r.Strip();
  const int x = TimeToX(At(105.5), r.S().ZoomStart, r.S().ZoomEnd, r.S().WaveWidth);
  const StripPlan& plan = r.S().Strip();
  // The next stair starts in the same column and covers the mark's top.
  EXPECT_TRUE(ColumnRun(strip, x, plan.lines.highY + 1, plan.lines.lowY, qRgb(255, 0, 0)));
  EXPECT_NE(strip.pixel(x - 1, plan.lines.lowY - 3), qRgb(255, 0, 0));
  // The digit 2 of the top stair, below its line.
  const QRgb ink = SystemColourOf(SystemColour::WindowText, r.panel->palette()).rgb();
  EXPECT_EQ(strip.pixel(x + 1 + 1, plan.lines.highY + 2), ink);
  // Back to search mode through the panel's own entry point.
  r.panel->SetStripMode(0);
  r.panel->RunStripPass();
  EXPECT_EQ(r.panel->ZoomLabel()->Caption(), "Search\\nZoom");
  EXPECT_FALSE(ColumnRun(r.Strip(), x, plan.lines.highY + 1, plan.lines.lowY, qRgb(255, 0, 0)));
}

TEST(ChartPanel, StatisticsLineOnlyWithCompleteMatches) {
  ChartRig r([](CaptureBuilder& b) {
    b.Search(1, kSearchHigh);
    b.Event(100, 1, 1).Event(102, 1, 0).Event(200, 1, 1).Event(206, 1, 0);
  });
  const QImage with = r.panel->Stats()->grab().toImage();
  EXPECT_EQ(r.S().Strip().stats.MatchCount, 2);
  EXPECT_NE(test::InkBoundsOf(with, Sys(SystemColour::ButtonFace, r.panel)), QRect());
  r.b.view.Traces.SetSearch(1, kSearchIgnore);
  r.panel->RunStripPass();
  EXPECT_EQ(r.S().Strip().stats.MatchCount, 0);
  EXPECT_EQ(test::InkBoundsOf(r.panel->Stats()->grab().toImage(), Sys(SystemColour::ButtonFace, r.panel)), QRect());
}

TEST(ChartPanel, WithoutDataButtonsAreOffAndNothingIsDrawn) {
  ChartRig r([](CaptureBuilder& b) { b.Event(10, 1, 1); }, 100, false);
  EXPECT_FALSE(r.panel->ZoomWinButton()->isEnabled());
  EXPECT_FALSE(r.panel->ZoomPrevButton()->isEnabled());
  EXPECT_FALSE(r.panel->ZoomAllButton()->isEnabled());
  const QImage grid = r.Grid();
  const QRgb window = Sys(SystemColour::Window, r.panel);
  for (int gx = kStripLeft + 30; gx < kStripLeft + 400; ++gx) ASSERT_EQ(grid.pixel(gx, r.RowTop(1) + 2), window);
  r.panel->SetStripMode(1);
  r.panel->RunStripPass();
  EXPECT_EQ(r.panel->ZoomLabel()->Caption(), "Seq.\\nZoom");  // the label follows the mode
}

TEST(ChartPanel, LiveCaptureLightsTheLampAndDrawsTheChange) {
  ChartRig r([](CaptureBuilder& b) { b.Event(10, 1, 1); });
  r.b.clock.Set(At(0));
  r.b.data.StartCapture();
  r.panel->CaptureStarted();
  r.panel->Tick();
  EXPECT_FALSE(r.panel->ZoomWinButton()->isEnabled());
  EXPECT_TRUE(r.panel->ZoomAllButton()->isEnabled());  // everything so far, following
  const QRect lamp = r.panel->Grid()->Layout().CellRect(2, 3, 1).adjusted(2, 2, 0, 0);
  const QRgb dark = r.Grid().pixel(lamp.left() + 8, lamp.top() + 8);
  r.b.data.ApplyTransition(At(1), 3, 1);
  r.b.clock.Set(At(5));
  r.panel->Tick();
  const QImage grid = r.Grid();
  EXPECT_NE(grid.pixel(lamp.left() + 8, lamp.top() + 8), dark);  // the lamp lights
  // The change is drawn at its time in the followed minute; channel 1 is
  // flat LOW (the finished capture before is gone).
  const QRgb c3 = test::Rgb(ChannelColour(3, 0));
  EXPECT_TRUE(ColumnRun(grid, r.WaveX(1), r.RowTop(3) + 2, r.RowTop(3) + 17, c3));
  EXPECT_EQ(grid.pixel(r.WaveX(1) + 10, r.RowTop(3) + 2), c3);
  // Right of the newest time nothing is drawn yet.
  EXPECT_EQ(grid.pixel(r.WaveX(5) + 10, r.RowTop(3) + 2), Sys(SystemColour::Window, r.panel));
  const QRgb window = Sys(SystemColour::Window, r.panel);
  for (int gx = kStripLeft + 30; gx < kStripLeft + 400; ++gx) ASSERT_EQ(grid.pixel(gx, r.RowTop(1) + 2), window);
  EXPECT_EQ(grid.pixel(r.WaveX(1), r.RowTop(1) + 17), test::Rgb(ChannelColour(1, 0)));  // LOW so far
  EXPECT_NE(grid.pixel(r.WaveX(5) + 10, r.RowTop(1) + 17), test::Rgb(ChannelColour(1, 0)));
  r.b.data.StopCapture();
  r.panel->CaptureStopped();
  EXPECT_EQ(r.S().ZoomEnd.index, 1u);
}

TEST(ChartPanel, ZeroLengthCaptureDrawsWithoutFailing) {
  ChartRig r([](CaptureBuilder& b) { b.Event(0, 1, 1).Event(0, 2, 1); }, 0);
  r.DragHandle(r.panel->LeftHandle(), kStripLeft + 50);
  r.panel->ZoomWinButton()->Clicked();
  r.panel->Tick();
  r.panel->SetStripMode(1);
  r.panel->RunStripPass();
  EXPECT_FALSE(r.Grid().isNull());
  EXPECT_FALSE(r.Strip().isNull());
  QImage picture(r.panel->PictureSize(10), QImage::Format_RGB32);
  QPainter p(&picture);
  r.panel->PaintPicture(p, 1, 10);
}

TEST(ChartPanel, ZoomButtonsFollowTheSelection) {
  ChartRig r([](CaptureBuilder& b) { b.Event(10, 1, 1); });
  EXPECT_FALSE(r.panel->ZoomWinButton()->isEnabled());
  EXPECT_FALSE(r.panel->ZoomPrevButton()->isEnabled());
  r.DragHandle(r.panel->RightHandle(), kStripLeft + 200);
  EXPECT_TRUE(r.panel->ZoomWinButton()->isEnabled());
  EXPECT_TRUE(r.panel->ZoomAllButton()->isEnabled());
  QTest::mouseClick(r.panel->ZoomWinButton(), Qt::LeftButton);
  r.panel->Tick();
  EXPECT_EQ(r.S().HistoryDepth, 1);
  EXPECT_NEAR(testing::Seconds(r.S().ZoomEnd.time - r.S().ZoomStart.time), 200, 1.5);
  QTest::mouseDClick(r.panel->Strip(), Qt::LeftButton, {}, QPoint(50, 30));
  EXPECT_EQ(r.S().HistoryDepth, 1);
  QTest::mouseClick(r.panel->ZoomPrevButton(), Qt::LeftButton);
  EXPECT_EQ(r.S().HistoryDepth, 0);
  EXPECT_EQ(r.S().ZoomEnd.time, r.b.data.CaptureEnd.time);
}

TEST(ChartImages, SharpAtTwiceTheDensity) {
  CaptureBuilder b;
  b.Event(50.5, 1, 1).Finish(100);
  WaveformPlan plan;
  RenderWaveforms(b.data, b.data.CaptureStart, b.data.CaptureEnd, 101, plan);
  WaveformImages images;
  images.Render(plan, 20, 0, 2);
  const QImage& image = images.Image(1);
  ASSERT_EQ(image.size(), QSize(202, 40));
  const QRgb ink = test::Rgb(ChannelColour(1, 0)) | 0xFF000000u;
  // The edge in column 50 is two device pixels wide, nothing blurred.
  for (int y = 4; y < 36; ++y) {
    ASSERT_EQ(image.pixel(100, y), ink);
    ASSERT_EQ(image.pixel(101, y), ink);
  }
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 202; ++x) ASSERT_TRUE(qAlpha(image.pixel(x, y)) == 0 || image.pixel(x, y) == ink);
  // Widths are raised, never lowered; an image is drawn when asked for,
  // from the newest plan, not kept from the one before.
  RenderWaveforms(b.data, b.data.CaptureStart, b.data.CaptureEnd, 50, plan);
  images.Render(plan, 20, 0, 2);
  EXPECT_EQ(images.Image(1).width(), 202);
  EXPECT_EQ(images.Image(1).pixel(100, 20), 0u);  // the edge is now in column 24
  EXPECT_EQ(images.Image(1).pixel(48, 20), ink);
}

}  // namespace
}  // namespace korvalog
