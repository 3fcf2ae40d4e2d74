// The Statistics window's state: choices, rebuilds, selection and copies.
#include <gtest/gtest.h>

#include "analysis/statistics_view.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::CaptureBuilder;

constexpr double kHour = 3600;
constexpr double kMarch5 = 63 * 24 * kHour;  // 5 March 2025 00:00

TEST(StatisticsView, StartsWithTheWindowsDefaultsAndKeepsChoices) {
  CaptureBuilder b(10 * kHour);
  b.Event(10 * kHour + 60, 1, 1).Event(10 * kHour + 150, 1, 0).Finish(11 * kHour);
  StatisticsView view(b.data, b.view);
  EXPECT_EQ(view.Choice(StatisticsList::Type), 0);
  EXPECT_EQ(view.Choice(StatisticsList::Interval), 2);
  EXPECT_EQ(view.Choice(StatisticsList::Format), 0);
  EXPECT_EQ(view.Choice(StatisticsList::Active), 1);
  EXPECT_FALSE(view.GridVisible());  // nothing built yet
  view.Rebuild();
  ASSERT_TRUE(view.GridVisible());
  EXPECT_EQ(view.CopyText(true), "Channel\t1/1 10:00\r\n#1\t1");
  view.SetChoice(StatisticsList::Type, 3);
  view.SetChoice(StatisticsList::Format, 1);
  EXPECT_EQ(view.CopyText(false), "90.00");
  view.SetChoice(StatisticsList::Format, 0);
  EXPECT_EQ(view.CopyText(false), "1:30.00");
  view.SetChoice(StatisticsList::Type, 9);  // not an item: ignored
  EXPECT_EQ(view.Choice(StatisticsList::Type), 3);
  view.SetChoice(StatisticsList::Active, 0);
  EXPECT_FALSE(view.GridVisible());
  EXPECT_EQ(view.CopyText(true), "");
}

TEST(StatisticsView, DayIntervalsAreHeadedAtMidnight) {
  CaptureBuilder b(kMarch5 + 10 * kHour);
  b.Event(kMarch5 + 11 * kHour, 2, 1).Event(kMarch5 + 12 * kHour, 2, 0).Finish(kMarch5 + 13 * kHour);
  StatisticsView view(b.data, b.view);
  view.Rebuild();
  EXPECT_EQ(view.Table().CellText(0, 1), "5/3 10:00");
  view.SetChoice(StatisticsList::Interval, 5);
  EXPECT_EQ(view.Table().CellText(0, 1), "5/3 00:00");
  EXPECT_EQ(view.Table().ColumnCount(), 2);
}

TEST(StatisticsView, SelectionIsHeldToTheChannelCells) {
  CaptureBuilder b(10 * kHour);
  b.Event(10 * kHour + 60, 1, 1).Event(10 * kHour + 120, 1, 0);
  b.Event(11 * kHour + 60, 2, 1).Event(11 * kHour + 120, 2, 0).Finish(12 * kHour);
  StatisticsView view(b.data, b.view);
  view.Rebuild();
  ASSERT_EQ(view.Table().RowCount(), 3);
  ASSERT_EQ(view.Table().ColumnCount(), 3);
  EXPECT_EQ(view.CopyText(true), "Channel\t1/1 10:00\t1/1 11:00\r\n#1\t1\t\r\n#2\t0\t1");
  view.Select({2, 2, 1, 1});  // corners in any order
  EXPECT_EQ(view.Selection(), (CellBlock{1, 1, 2, 2}));
  EXPECT_EQ(view.CopyText(false), "1\t\r\n0\t1");
  view.Select({0, 0, 9, 9});
  EXPECT_EQ(view.Selection(), (CellBlock{1, 1, 2, 2}));
  view.SetChoice(StatisticsList::Interval, 5);  // one column left
  EXPECT_EQ(view.Selection(), (CellBlock{1, 1, 2, 1}));
}

}  // namespace
}  // namespace korvalog
