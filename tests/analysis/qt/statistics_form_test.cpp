// The Statistics window on the offscreen platform, with the real clipboard.
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QTest>
#include <gtest/gtest.h>

#include "analysis/qt/statistics_form.h"
#include "common/capture_builder.h"
#include "ui/qt/btn_transparent.h"

namespace korvalog {
namespace {

using testing::CaptureBuilder;

constexpr double kHour = 3600;
constexpr double kMarch5 = 63 * 24 * kHour;  // 5 March 2025 00:00

void Click(QWidget* w, QPoint at = {}) {
  if (at.isNull()) at = w->rect().center();
  QTest::mouseClick(w, Qt::LeftButton, {}, at);
}

QString Clipboard() { return QGuiApplication::clipboard()->text(); }

// Two channels with one 90-second period each, in two hours of 5 March.
struct TwoChannels {
  CaptureBuilder b{kMarch5 + 10 * kHour};
  TStatisticsForm form{b.data, b.view};

  TwoChannels() {
    b.view.Traces.SetName(1, "Hall call");
    b.Event(kMarch5 + 10 * kHour + 60, 1, 1).Event(kMarch5 + 10 * kHour + 150, 1, 0);
    b.Event(kMarch5 + 11 * kHour + 60, 2, 1).Event(kMarch5 + 11 * kHour + 150, 2, 0).Finish(kMarch5 + 12 * kHour);
    form.SetNameColumnWidth([] { return 123; });
    form.show();
  }
  QPoint CellCentre(int row, int column) {
    return form.gStatistics()->visualRect(form.gStatistics()->model()->index(row, column)).center();
  }
};

TEST(StatisticsForm, CopyAndCopyAllReplaceTheClipboard) {
  TwoChannels s;
  QTableView* grid = s.form.gStatistics();
  ASSERT_TRUE(grid->isVisible());
  EXPECT_EQ(grid->verticalHeader()->width(), 123);
  QGuiApplication::clipboard()->setText(QStringLiteral("old"));
  Click(grid->viewport(), s.CellCentre(1, 1));
  Click(s.form.bCopy());
  EXPECT_EQ(Clipboard(), QStringLiteral("1"));
  Click(s.form.bCopyAll());
  EXPECT_EQ(Clipboard(), QStringLiteral("Channel\t5/3 10:00\t5/3 11:00\r\nHall call\t1\t\r\n#2\t0\t1"));
  // A block dragged over two cells.
  QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, s.CellCentre(0, 0));
  QTest::mouseMove(grid->viewport(), s.CellCentre(1, 0));
  QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, s.CellCentre(1, 0));
  Click(s.form.bCopy());
  EXPECT_EQ(Clipboard(), QStringLiteral("1\r\n0"));
}

TEST(StatisticsForm, ListsRebuildTheTable) {
  TwoChannels s;
  QAbstractItemModel* model = s.form.gStatistics()->model();
  EXPECT_EQ(s.form.cbInterval()->currentText(), QStringLiteral("1 Hour"));
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("5/3 10:00"));
  s.form.cbInterval()->setCurrentIndex(s.form.cbInterval()->findText(QStringLiteral("1 Day")));
  ASSERT_EQ(model->columnCount(), 1);
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("5/3 00:00"));
  EXPECT_EQ(model->data(model->index(1, 0)).toString(), QStringLiteral("1"));

  s.form.cbType()->setCurrentIndex(s.form.cbType()->findText(QStringLiteral("Longest")));
  EXPECT_EQ(model->data(model->index(1, 0)).toString(), QStringLiteral("1:30.00"));
  s.form.cbFormat()->setCurrentIndex(s.form.cbFormat()->findText(QStringLiteral("S..S.SS")));
  EXPECT_EQ(model->data(model->index(1, 0)).toString(), QStringLiteral("90.00"));
  // Active Low: no period completes, only the toolbar shows.
  s.form.cbActive()->setCurrentIndex(0);
  EXPECT_FALSE(s.form.gStatistics()->isVisible());
  // Shown again: the choices are as they were left.
  s.form.hide();
  s.form.show();
  EXPECT_EQ(s.form.cbFormat()->currentText(), QStringLiteral("S..S.SS"));
  EXPECT_EQ(s.form.cbActive()->currentText(), QStringLiteral("Active Low"));
}

TEST(StatisticsForm, EmptyCaptureShowsOnlyTheToolbar) {
  CaptureBuilder b(10 * kHour);
  b.Finish(11 * kHour);
  TStatisticsForm form(b.data, b.view);
  form.show();
  EXPECT_TRUE(form.isModal());
  EXPECT_FALSE(form.gStatistics()->isVisible());
  EXPECT_TRUE(form.cbType()->isVisible());
  EXPECT_LT(form.height(), 60);
  QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
  Click(form.bCopyAll());
  EXPECT_EQ(Clipboard(), QStringLiteral("kept"));
  // Data arrives; the next show finds it.
  b.Event(10 * kHour + 1, 5, 1).Event(10 * kHour + 3, 5, 0).Finish(11 * kHour);
  form.hide();
  form.show();
  EXPECT_TRUE(form.gStatistics()->isVisible());
}

}  // namespace
}  // namespace korvalog
