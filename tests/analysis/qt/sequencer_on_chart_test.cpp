// The Sequencer window hung on a real chart: steps entered through the
// window's own controls show on the strip as the staircase, and closing the
// window gives the strip back to the search results.
#include <QAbstractItemView>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

#include "analysis/qt/sequence_grid.h"
#include "app/qt/chart_hookup.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::CaptureBuilder;

struct Stair {
  int level;
  bool violation;
  bool operator==(const Stair&) const = default;
};
void PrintTo(const Stair& s, std::ostream* os) { *os << "L" << s.level << (s.violation ? " red" : ""); }

struct Host {
  CaptureBuilder b;
  LoggerSettings settings;
  ChartPanel chart{b.data, b.view, settings};
  TSequenceForm sequencer{b.data, b.view, settings, &chart};
  TStatisticsForm statistics{b.data, b.view, &chart};

  // Channels 3 and 4 start LOW. Channel 3 rises, channel 4 follows 4 s
  // later; both fall; channel 3 rises again and channel 4 follows 6 s later.
  Host() {
    b.Event(10, 3, 1).Event(14, 4, 1).Event(40, 3, 0).Event(41, 4, 0).Event(60, 3, 1).Event(66, 4, 1).Finish(100);
    HookAnalysisWindows(chart, sequencer, statistics);
    chart.resize(569, 480);
    chart.show();
    chart.DataLoaded();
    chart.Tick();
  }
  std::vector<Stair> Stairs() const {
    std::vector<Stair> out;
    for (const StepSegment& s : chart.State().Strip().steps) out.push_back({s.level, s.violation});
    return out;
  }
  QPoint Centre(int row, int column) { return sequencer.gSequence()->CellRect(row, column).center(); }
  void DoubleClick(int row, int column) {
    QTest::mouseDClick(sequencer.gSequence(), Qt::LeftButton, {}, Centre(row, column));
    QTest::mouseRelease(sequencer.gSequence(), Qt::LeftButton, {}, Centre(row, column));
  }
  void PickSignal(int row, int item) {
    DoubleClick(row, kSeqColSignal);
    QAbstractItemView* list = sequencer.cbSignals()->view();
    const QModelIndex index = list->model()->index(item, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
  }
};

TEST(SequencerOnChart, StepsEnteredInTheWindowDrawTheStaircase) {
  Host h;
  EXPECT_EQ(h.chart.StripMode(), 0);
  h.sequencer.show();
  h.sequencer.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&h.sequencer));
  EXPECT_EQ(h.chart.StripMode(), 1);
  EXPECT_TRUE(h.Stairs().empty());  // no rows yet: no staircase

  h.PickSignal(1, 3);
  h.DoubleClick(1, kSeqColMaxTime);
  QTest::keyClicks(h.sequencer.gSequence()->InPlaceEdit(), QStringLiteral("5"));
  QTest::keyClick(h.sequencer.gSequence()->InPlaceEdit(), Qt::Key_Return);
  h.PickSignal(2, 4);
  ASSERT_EQ(h.b.view.Sequence[0].maxTime, 5);
  ASSERT_EQ(h.b.view.Sequence[1].signal, 4);

  // 0, 1, 2 in time; back to 0 when both fall (State 0 again); 1, then 2
  // with the 6 s step marked late.
  EXPECT_EQ(h.Stairs(), (std::vector<Stair>{{0, false},
                                            {1, false},
                                            {2, false},
                                            {0, false},
                                            {1, true},
                                            {2, false}}));
  // The mark is on the strip in red.
  const QImage strip = h.chart.Strip()->grab().toImage();
  int red = 0;
  for (int y = 0; y < strip.height(); ++y)
    for (int x = 0; x < strip.width(); ++x) red += strip.pixel(x, y) == qRgb(255, 0, 0);
  EXPECT_GT(red, 0);
  EXPECT_EQ(h.chart.ZoomLabel()->Caption(), "Seq.\\nZoom");

  h.sequencer.close();
  EXPECT_EQ(h.chart.StripMode(), 0);
  EXPECT_TRUE(h.Stairs().empty());
  EXPECT_EQ(h.chart.ZoomLabel()->Caption(), "Search\\nZoom");
}

TEST(SequencerOnChart, ChartButtonOpensTheWindowAndStatisticsTakeTheNameColumn) {
  Host h;
  QTest::mouseClick(h.chart.SequencerButton(), Qt::LeftButton);
  EXPECT_TRUE(h.sequencer.isVisible());
  EXPECT_EQ(h.chart.StripMode(), 1);
  h.b.Row(1, 3, 1, 0, 0);
  h.statistics.show();
  EXPECT_EQ(h.statistics.gStatistics()->verticalHeader()->width(), h.chart.NameColumnWidth());
}

}  // namespace
}  // namespace korvalog
