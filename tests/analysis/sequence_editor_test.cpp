// The Sequencer grid's cells and edits over a real step table.
#include <gtest/gtest.h>

#include "analysis/sequence_editor.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::CaptureBuilder;

TEST(SequenceEditor, CellsShowHeaderNumbersAndOnlyFilledSteps) {
  CaptureBuilder b;
  b.view.Traces.SetName(3, "Door");
  b.Row(1, 3, 1, 2, 5);
  SequenceEditor ed(b.view.Sequence, b.view.Traces);
  EXPECT_EQ(ed.Cell(0, kSeqColMaxTime).text, "Max Time");
  EXPECT_TRUE(ed.Cell(0, kSeqColState).bold);
  EXPECT_EQ(ed.Cell(1, kSeqColState).text, "1");
  EXPECT_EQ(ed.Cell(10, kSeqColState).text, "A");
  EXPECT_EQ(ed.Cell(15, kSeqColState).text, "F");
  const SequenceCellView signal = ed.Cell(1, kSeqColSignal);
  EXPECT_EQ(signal.text, "Door");
  EXPECT_TRUE(signal.bold);
  EXPECT_EQ(signal.channel, 3);
  EXPECT_EQ(ed.Cell(1, kSeqColEvent).eventImage, 1);
  EXPECT_EQ(ed.Cell(1, kSeqColMinTime).text, "2");
  EXPECT_EQ(ed.Cell(1, kSeqColMaxTime).text, "5");
  // An empty row shows only its number.
  for (int c = kSeqColSignal; c < kSequenceGridColumns; ++c) {
    EXPECT_EQ(ed.Cell(2, c).text, "");
    EXPECT_EQ(ed.Cell(2, c).eventImage, -1);
  }
}

TEST(SequenceEditor, EditsChangeTheTable) {
  CaptureBuilder b;
  SequenceEditor ed(b.view.Sequence, b.view.Traces);
  const std::vector<std::string> items = ed.SignalItems();
  ASSERT_EQ(items.size(), 129u);
  EXPECT_EQ(items[0], "<none>");
  EXPECT_EQ(items[128], "#128");

  EXPECT_EQ(ed.SetSignal(2, 7), SequenceChange::Pattern);
  EXPECT_EQ(ed.SignalItem(2), 7);
  EXPECT_EQ(ed.FlipEvent(2), SequenceChange::Pattern);
  EXPECT_EQ(b.view.Sequence[1].event, 0);
  ed.FlipEvent(2);
  EXPECT_EQ(b.view.Sequence[1].event, 1);

  // Typed limits: read leniently, low 16 bits kept.
  struct Case {
    const char* text;
    uint16_t stored;
  } cases[] = {{"12", 12}, {"-1", 65535}, {"65536", 0}, {"70000", 4464}, {"", 0}, {" 7x", 7}, {"abc", 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(ed.SetEditText(2, kSeqColMaxTime, c.text), SequenceChange::Times);
    EXPECT_EQ(b.view.Sequence[1].maxTime, c.stored) << c.text;
  }
  ed.SetEditText(2, kSeqColMinTime, "300");
  EXPECT_EQ(ed.EditText(2, kSeqColMinTime), "300");
  // Only the time columns of steps take text.
  EXPECT_FALSE(SequenceEditor::CanEditText(0, kSeqColMinTime));
  EXPECT_FALSE(SequenceEditor::CanEditText(2, kSeqColSignal));
  EXPECT_FALSE(SequenceEditor::CanEditText(16, kSeqColMaxTime));
  ed.SetEditText(2, kSeqColSignal, "9");
  EXPECT_EQ(b.view.Sequence[1].signal, 7);
  EXPECT_EQ(b.data.DataModified.load(), 0);
}

TEST(SequenceEditor, MovedRowCarriesItsTimesAndTheOthersShift) {
  CaptureBuilder b;
  for (int r = 1; r <= 5; ++r) b.Row(r, static_cast<uint8_t>(r), 1, static_cast<uint16_t>(r * 10), 0);
  SequenceEditor ed(b.view.Sequence, b.view.Traces);
  auto signals = [&] {
    std::string s;
    for (int r = 0; r < 5; ++r) s += std::to_string(b.view.Sequence[r].signal);
    return s;
  };
  ed.MoveRow(1, 4);
  EXPECT_EQ(signals(), "23415");
  EXPECT_EQ(b.view.Sequence[3].minTime, 10);
  ed.MoveRow(4, 1);
  EXPECT_EQ(signals(), "12345");
  ed.MoveRow(5, 2);
  EXPECT_EQ(signals(), "15234");
  EXPECT_EQ(b.view.Sequence[1].minTime, 50);
  ed.MoveRow(0, 3);  // the header row never moves
  ed.MoveRow(3, 16);
  EXPECT_EQ(signals(), "15234");
}

TEST(SequenceEditor, StateZeroTakesEachChannelFromItsFirstRow) {
  CaptureBuilder b;
  b.view.Traces.SetName(3, "Call");
  b.view.Traces.SetName(4, "Door");
  b.Row(1, 3, 1).Row(2, 4, 0).Row(3, 3, 0);
  SequenceEditor ed(b.view.Sequence, b.view.Traces);
  EXPECT_EQ(ed.StateZeroText(), "\\1Call \\9Door ");
  ed.FlipEvent(3);  // a later row of the same channel changes nothing
  EXPECT_EQ(ed.StateZeroText(), "\\1Call \\9Door ");
  ed.MoveRow(3, 1);  // now the falling row comes first
  EXPECT_EQ(ed.StateZeroText(), "\\1Call \\9Door ");
  ed.FlipEvent(1);
  EXPECT_EQ(ed.StateZeroText(), "\\9Call \\9Door ");
}

}  // namespace
}  // namespace korvalog
