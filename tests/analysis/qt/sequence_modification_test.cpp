// Sequencer edits are saved with the capture, so they mark it modified; an
// edit taken back with Escape leaves the mark as it was.
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "analysis/qt/sequence_form.h"
#include "analysis/qt/sequence_grid.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::CaptureBuilder;

struct Sequencer {
  CaptureBuilder b;
  LoggerSettings settings;
  std::unique_ptr<TSequenceForm> form;

  Sequencer() {
    b.Event(5, 3, 1).Event(9, 3, 0).Row(1, 3, 1, 0, 5).Finish(20);
    b.data.DataModified.store(0);  // as after a load
    form = std::make_unique<TSequenceForm>(b.data, b.view, settings);
    form->show();
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }
  bool Modified() const { return b.data.DataModified.load() != 0; }
  TSequenceGrid* grid() { return form->gSequence(); }
  void DoubleClick(int row, int column) {
    const QPoint at = grid()->CellRect(row, column).center();
    QTest::mouseDClick(grid(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(grid(), Qt::LeftButton, {}, at);
  }
  void Type(int row, int column, const char* text, Qt::Key end) {
    DoubleClick(row, column);
    QLineEdit* edit = grid()->InPlaceEdit();
    ASSERT_TRUE(edit->isVisible());
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(text));
    QTest::keyClick(edit, end);
    EXPECT_FALSE(edit->isVisible());
  }
};

TEST(SequenceModification, EditsCountEscapeDoesNot) {
  Sequencer s;
  // Typed and taken back: the pattern and the mark are as they were.
  s.Type(1, kSeqColMaxTime, "42", Qt::Key_Escape);
  EXPECT_EQ(s.b.view.Sequence[0].maxTime, 5);
  EXPECT_FALSE(s.Modified());
  // Typed and kept.
  s.Type(1, kSeqColMaxTime, "42", Qt::Key_Return);
  EXPECT_EQ(s.b.view.Sequence[0].maxTime, 42);
  EXPECT_TRUE(s.Modified());
  // Escape after an earlier edit keeps the earlier mark.
  s.Type(1, kSeqColMinTime, "7", Qt::Key_Escape);
  EXPECT_TRUE(s.Modified());

  // The event flipped by a double click.
  s.b.data.DataModified.store(0);
  s.DoubleClick(1, kSeqColEvent);
  EXPECT_EQ(s.b.view.Sequence[0].event, 0);
  EXPECT_TRUE(s.Modified());
  // The same value typed again changes nothing.
  s.b.data.DataModified.store(0);
  s.Type(1, kSeqColMaxTime, "42", Qt::Key_Return);
  EXPECT_FALSE(s.Modified());
}

}  // namespace
}  // namespace korvalog
