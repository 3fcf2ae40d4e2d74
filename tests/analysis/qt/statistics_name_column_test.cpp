// The Statistics window's name column is wide enough for the longest name,
// whatever width the chart's name column has.
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTest>
#include <gtest/gtest.h>

#include "analysis/qt/statistics_form.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::CaptureBuilder;

TEST(StatisticsNameColumn, FitsTheLongestName) {
  for (const char* name : {"Door", "Main door open relay (front)", "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"}) {
    CaptureBuilder b;
    b.view.Traces.SetName(1, "Call");
    b.view.Traces.SetName(2, name);
    b.Event(60, 1, 1).Event(150, 1, 0).Event(200, 2, 1).Event(290, 2, 0).Finish(3600);
    TStatisticsForm form(b.data, b.view);
    form.SetNameColumnWidth([] { return 66; });  // the chart's design width
    form.show();
    QHeaderView* names = form.gStatistics()->verticalHeader();
    ASSERT_TRUE(form.gStatistics()->isVisible());
    QFont bold = names->font();
    bold.setBold(true);
    const int needed = QFontMetrics(bold).horizontalAdvance(QString::fromLatin1(name));
    EXPECT_GE(names->width(), needed + 4) << name;
    EXPECT_GE(names->width(), 66) << name;
    // The header draws the whole name: its section text is not elided.
    QStyleOptionHeader option;
    option.initFrom(names);
    option.text = QString::fromLatin1(name);
    option.rect = QRect(0, 0, names->width(), names->sectionSize(1));
    const QRect textRect = names->style()->subElementRect(QStyle::SE_HeaderLabel, &option, names);
    EXPECT_GE(textRect.width(), needed) << name;
  }
}

}  // namespace
}  // namespace korvalog
