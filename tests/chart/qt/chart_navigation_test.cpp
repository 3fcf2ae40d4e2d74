// The chart's navigation on screen: zoom commands laid out at once, wheel
// zoom and pan, keys, next edge with Ctrl+Right, the pointer's reading,
// markers and their pixels, the tooltip of a long name, and the Go to time,
// Violations and Markers windows.
#include <gtest/gtest.h>

#include <QCursor>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QLabel>
#include <cmath>
#include <memory>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolTip>
#include <QWheelEvent>

#include "chart/qt/go_to_time_dialog.h"
#include "chart/qt/marker_painting.h"
#include "chart/qt/markers_form.h"
#include "chart/qt/violations_form.h"
#include "chart_rig.h"

namespace korvalog {
namespace {

using test::ChartRig;
using test::kStripLeft;
using testing::At;
using testing::CaptureBuilder;
using testing::Seconds;

double Round(double days) { return std::round(Seconds(days) * 1000) / 1000; }

// Channel 1 changes every 4 s over a 408 s capture; channel 2 only at 407 s.
ChartRig* MakeRig() {
  return new ChartRig([](CaptureBuilder& b) {
    for (int i = 1; i < 102; ++i) b.Event(4.0 * i, 1, i % 2);
    b.Event(407, 2, 1);
    b.view.Traces.SetName(1, "Door open relay of the rear car");
    b.Row(1, 1, 1, 0, 1).Row(2, 1, 0);
  });
}

void Wheel(QWidget* w, QPoint at, int delta, Qt::KeyboardModifiers mods) {
  QWheelEvent event(QPointF(at), QPointF(w->mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &event);
}

std::pair<double, double> Shown(ChartRig& r) {
  return {Round(r.S().SelectionStart.time - At(0)), Round(r.S().SelectionEnd.time - At(0))};
}

TEST(ChartNavigation, ZoomIntoSelectionIsLaidOutAtOnce) {
  std::unique_ptr<ChartRig> r(MakeRig());
  r->DragHandle(r->panel->RightHandle(), kStripLeft + 204);
  const uint32_t waves = r->S().WaveformVersion();
  QTest::mouseClick(r->panel->ZoomWinButton(), Qt::LeftButton);
  // No tick: the new window is drawn already.
  EXPECT_NE(r->S().WaveWidth, 0);
  EXPECT_GT(r->S().WaveformVersion(), waves);
  EXPECT_EQ(r->S().SelectionEnd.time, r->S().ZoomEnd.time);
  EXPECT_NEAR(Seconds(r->S().ZoomEnd.time - r->S().ZoomStart.time), 204, 1.5);
  // Steps faster than any timer are all taken.
  for (int i = 0; i < 5; ++i) {
    r->DragHandle(r->panel->RightHandle(), r->panel->RightHandle()->PosX() - 100);
    QTest::mouseClick(r->panel->ZoomWinButton(), Qt::LeftButton);
  }
  EXPECT_EQ(r->S().HistoryDepth, 6);
}

TEST(ChartNavigation, CtrlWheelZoomsAroundThePointerAndShiftWheelPans) {
  std::unique_ptr<ChartRig> r(MakeRig());
  ChannelGrid* g = r->panel->Grid();
  const QPoint over(kStripLeft + 102, r->RowTop(1) + 5);  // a quarter of the way: 102 s
  Wheel(g, over, 120, Qt::ControlModifier);
  EXPECT_EQ(Shown(*r), (std::pair<double, double>{20.4, 346.8}));
  EXPECT_EQ(r->S().HistoryDepth, 1);
  Wheel(g, over, 120, Qt::ShiftModifier);  // a notch down the page: earlier
  EXPECT_EQ(Shown(*r), (std::pair<double, double>{0, 326.4}));
  Wheel(g, over, -240, Qt::ShiftModifier);
  EXPECT_EQ(Shown(*r), (std::pair<double, double>{65.28, 391.68}));
  EXPECT_EQ(r->S().HistoryDepth, 3);
  // The waveform follows: channel 1 is HIGH from 68 to 72 s and from 76 s,
  // LOW from 72 to 76 s, where those times are drawn now.
  const QImage grid = r->Grid();
  const auto column = [&](double seconds) {
    std::vector<QRgb> run;
    for (int y = r->RowTop(1); y < r->RowTop(2); ++y) run.push_back(grid.pixel(r->WaveX(seconds), y));
    return run;
  };
  EXPECT_NE(column(70), column(74));
  EXPECT_EQ(column(70), column(78));
  // A plain wheel still scrolls the rows.
  Wheel(g, over, -120, Qt::NoModifier);
  EXPECT_GT(g->TopRow(), 1);
  EXPECT_EQ(r->S().HistoryDepth, 3);
  // Backspace is "Zoom to previous zoom".
  g->setFocus();
  QTest::keyClick(g, Qt::Key_Backspace);
  EXPECT_EQ(Shown(*r), (std::pair<double, double>{0, 326.4}));
}

TEST(ChartNavigation, KeysPanZoomAndGoToTheEnds) {
  std::unique_ptr<ChartRig> r(MakeRig());
  ChannelGrid* g = r->panel->Grid();
  g->SetCurrentCell(4, 1);
  g->setFocus();
  QTest::keyClick(g, Qt::Key_Plus);
  const double span = Seconds(r->S().SelectionEnd.time - r->S().SelectionStart.time);
  EXPECT_NEAR(span, 408 * 0.512, 0.01);
  QTest::keyClick(g, Qt::Key_Right);
  EXPECT_NEAR(Seconds(r->S().SelectionStart.time - At(0)), 204 - span / 2 + span / 10, 0.01);
  QTest::keyClick(g, Qt::Key_End);
  EXPECT_EQ(r->S().SelectionEnd.time, r->b.data.CaptureEnd.time);
  QTest::keyClick(g, Qt::Key_Home);
  EXPECT_EQ(r->S().SelectionStart.time, r->b.data.CaptureStart.time);
  QTest::keyClick(g, Qt::Key_Minus);
  EXPECT_EQ(Shown(*r), (std::pair<double, double>{0, 408}));
  // Ctrl+End still reaches the last row, Tab and Shift+Tab the columns.
  QTest::keyClick(g, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(g->CurrentRow(), kChannelCount);
  QTest::keyClick(g, Qt::Key_Backtab);
  EXPECT_EQ(g->CurrentColumn(), 3);
  QTest::keyClick(g, Qt::Key_Tab);
  EXPECT_EQ(g->CurrentColumn(), 4);
  // In a name cell, with the pointer away from the waveforms, + starts a
  // rename as it always did.
  const int depth = r->S().HistoryDepth;
  g->SetCurrentCell(1, 1);
  QTest::keyClick(g, Qt::Key_Plus, Qt::NoModifier);
  EXPECT_TRUE(g->NameEditor()->isVisible());
  EXPECT_EQ(g->NameEditor()->text(), QStringLiteral("+"));
  EXPECT_EQ(r->S().HistoryDepth, depth);
  QTest::keyClick(g->NameEditor(), Qt::Key_Escape);
}

TEST(ChartNavigation, CtrlRightStepsCursorOneToTheNextEdge) {
  std::unique_ptr<ChartRig> r(MakeRig());
  ChannelGrid* g = r->panel->Grid();
  g->SetCurrentCell(4, 1);
  g->setFocus();
  std::vector<double> seen;
  for (int i = 0; i < 3; ++i) {
    QTest::keyClick(g, Qt::Key_Right, Qt::ControlModifier);
    seen.push_back(Round(r->S().CursorTime(MeasuringCursor::First) - At(0)));
  }
  EXPECT_EQ(seen, (std::vector<double>{12, 16, 20}));  // the cursor starts 10 px (10 s) in
  // The handle on screen stands where the state has it, over the edge.
  EXPECT_EQ(g->Cursor(MeasuringCursor::First)->PosX(), r->S().Cursor1.PosX);
  EXPECT_LE(std::abs(r->S().Cursor1.PosX - r->WaveX(20)), 1);
  QTest::keyClick(g, Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(Round(r->S().CursorTime(MeasuringCursor::First) - At(0)), 16);
  // Channel 2's only change is the last event; it is brought into view.
  g->SetCurrentCell(4, 2);
  r->panel->Navigator().ZoomCentre(10);
  QTest::keyClick(g, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(Round(r->S().CursorTime(MeasuringCursor::First) - At(0)), 407);
  EXPECT_GE(r->S().SelectionEnd.time, At(407));
}

TEST(ChartNavigation, PointerReadingTooltipAndMarkers) {
  std::unique_ptr<ChartRig> r(MakeRig());
  ChannelGrid* g = r->panel->Grid();
  QSignalSpy readings(r->panel, &ChartPanel::PointerReading);
  const QPoint over(r->WaveX(6), r->RowTop(1) + 5);
  QTest::mouseMove(g, over);
  ASSERT_FALSE(readings.isEmpty());
  const QString text = readings.last().at(0).toString();
  EXPECT_TRUE(text.contains(QStringLiteral("1 Door open relay of the rear car: HIGH"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Pulse=4.00"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Period=8.00  Duty=50%"))) << text.toStdString();
  // The long name in full over the name column.
  QHelpEvent help(QEvent::ToolTip, QPoint(g->Layout().ColumnLeft(1) + 5, over.y()), g->mapToGlobal(over));
  QApplication::sendEvent(g, &help);
  EXPECT_EQ(QToolTip::text(), QStringLiteral("1 Door open relay of the rear car"));
  // M drops a marker at the pointer: a line in the marker colour there.
  g->SetCurrentCell(4, 1);
  g->setFocus();
  QTest::keyClick(g, Qt::Key_M);
  ASSERT_EQ(r->b.view.Markers.Size(), 1u);
  EXPECT_EQ(r->b.view.Markers[0].label, "M1");
  EXPECT_EQ(r->b.data.DataModified, 1);
  const QImage grid = r->Grid();
  EXPECT_EQ(grid.pixel(over.x(), r->RowTop(5) + 3), MarkerColour().rgb());
  EXPECT_NE(grid.pixel(over.x() + 3, r->RowTop(5) + 3), MarkerColour().rgb());
  // In a picture of the chart as well.
  QImage picture(r->panel->PictureSize(10), QImage::Format_RGB32);
  {
    QPainter p(&picture);
    r->panel->PaintPicture(p, 1, 10);
  }
  EXPECT_EQ(picture.pixel(over.x(), kSummaryHeight + r->RowTop(5) + 3), MarkerColour().rgb());
  // The pointer leaves: the reading is withdrawn.
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(g, &leave);
  EXPECT_TRUE(readings.last().at(0).toString().isEmpty());
}

// The keys act where the pointer is, however it came there: a jump onto a
// waveform is read at once, + under a pointer left resting there while a
// dialog came and went zooms, and a name cell nobody chose takes no typing.
TEST(ChartNavigation, KeysFollowThePointerAndTypingNeedsAChosenCell) {
  std::unique_ptr<ChartRig> r(MakeRig());
  ChannelGrid* g = r->panel->Grid();
  QSignalSpy readings(r->panel, &ChartPanel::PointerReading);
  const QPoint over(r->WaveX(6), r->RowTop(1) + 5);
  QEnterEvent enter{QPointF(over), QPointF(over), QPointF(g->mapToGlobal(over))};
  QApplication::sendEvent(g, &enter);
  ASSERT_FALSE(readings.isEmpty());
  EXPECT_TRUE(readings.last().at(0).toString().contains(QStringLiteral("Door open"))) << readings.size();
  // A dialog took the keys and the pointer's hover, then closed.
  g->SetCurrentCell(1, 1);
  QCursor::setPos(g->mapToGlobal(over));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(g, &leave);
  QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(g, &out);
  const int depth = r->S().HistoryDepth;
  QTest::keyClick(g, Qt::Key_Plus);
  EXPECT_FALSE(g->NameEditor()->isVisible());
  EXPECT_EQ(r->S().HistoryDepth, depth + 1);
  // Away from the waveforms, the cell the dialog left takes no typing...
  QCursor::setPos(g->mapToGlobal(QPoint(-50, -50)));
  QTest::keyClick(g, Qt::Key_A);
  EXPECT_FALSE(g->NameEditor()->isVisible());
  EXPECT_EQ(r->b.view.Traces.Name(1), "Door open relay of the rear car");
  // ...until one is chosen.
  QTest::mouseClick(g, Qt::LeftButton, {}, g->Layout().CellRect(1, 2, g->TopRow()).center());
  QTest::keyClick(g, Qt::Key_A);
  EXPECT_TRUE(g->NameEditor()->isVisible());
  QTest::keyClick(g->NameEditor(), Qt::Key_Escape);
}

TEST(ChartNavigation, GoToTimeRefusesATimeOutsideTheCapture) {
  CaptureBuilder b;
  b.Event(10, 1, 1).Finish(100);
  GoToTimeDialog dialog(b.data, At(50));
  EXPECT_EQ(dialog.Edit()->text(), QStringLiteral("01/01 0000:50.005"));
  dialog.Edit()->setText(QStringLiteral("01/01 0005:00.000"));
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_TRUE(dialog.Message()->text().contains(QStringLiteral("01/01/2025 0000:00.005 to 01/01/2025 0001:40.005")))
      << dialog.Message()->text().toStdString();
  dialog.Edit()->setText(QStringLiteral("12.5"));
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Round(dialog.Time() - At(0)), 12.5);
}

TEST(ChartNavigation, ViolationsListGoesToTheChosenOne) {
  std::unique_ptr<ChartRig> r(MakeRig());
  r->panel->ShowViolations();
  ViolationsForm* list = r->panel->Violations();
  ASSERT_NE(list, nullptr);
  ASSERT_GT(list->Rows(), 3);
  EXPECT_EQ(list->Table()->item(0, 2)->text(), QStringLiteral("Too late"));
  EXPECT_EQ(list->Table()->item(0, 3)->text(), QStringLiteral("max 1 s"));
  // The channel as the chart names it.
  EXPECT_EQ(list->Table()->item(0, 5)->text(), QStringLiteral("1 Door open relay of the rear car"));
  emit list->Table()->cellDoubleClicked(2, 0);
  const SequenceViolation& third = r->panel->Navigator().Findings().violations[2];
  EXPECT_EQ(r->S().CursorTime(MeasuringCursor::First), third.time);
  // F3 in the Sequencer's strip steps to the next violation.
  r->panel->SetStripMode(1);
  r->panel->StepFinding(true);
  EXPECT_EQ(r->S().CursorTime(MeasuringCursor::First), r->panel->Navigator().Findings().violations[3].time);
}

TEST(ChartNavigation, MarkersListRenamesDeletesAndGoesTo) {
  std::unique_ptr<ChartRig> r(MakeRig());
  r->b.view.Markers.Add(At(300), "late");
  r->b.view.Markers.Add(At(100), "early");
  r->panel->ShowMarkers();
  MarkersForm* list = r->panel->Markers();
  ASSERT_EQ(list->Table()->rowCount(), 2);
  EXPECT_EQ(list->Table()->item(0, 1)->text(), QStringLiteral("early"));
  list->Table()->item(1, 1)->setText(QStringLiteral("door stuck"));
  EXPECT_EQ(r->b.view.Markers[1].label, "door stuck");
  emit list->Table()->cellDoubleClicked(1, 0);
  EXPECT_EQ(r->S().CursorTime(MeasuringCursor::First), At(300));
  list->Table()->setCurrentCell(0, 0);
  QTest::mouseClick(list->DeleteButton(), Qt::LeftButton);
  ASSERT_EQ(r->b.view.Markers.Size(), 1u);
  EXPECT_EQ(r->b.view.Markers[0].label, "door stuck");
  EXPECT_EQ(r->b.data.DataModified, 1);
}

TEST(ChartNavigation, DraggingTheTimeScalePans) {
  std::unique_ptr<ChartRig> r(MakeRig());
  ChannelGrid* g = r->panel->Grid();
  r->panel->Navigator().ShowWindow(At(100), At(200));
  r->panel->LayOutNow();
  const QPoint scale(kStripLeft + 200, 10);
  QTest::mousePress(g, Qt::LeftButton, {}, scale);
  QTest::mouseMove(g, scale + QPoint(-102, 0));
  QTest::mouseRelease(g, Qt::LeftButton, {}, scale + QPoint(-102, 0));
  EXPECT_EQ(Shown(*r), (std::pair<double, double>{125, 225}));
}

}  // namespace
}  // namespace korvalog
