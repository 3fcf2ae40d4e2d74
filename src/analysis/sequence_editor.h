#pragma once
// What the Sequencer window's grid shows and how its edits change the step
// table: a header row and rows 1..15, each with its number, signal, event
// and the two time limits. The window only draws these cells and forwards
// the user's actions here.
#include <string>
#include <string_view>
#include <vector>

#include "core/records.h"
#include "core/trace_list.h"

namespace korvalog {

enum SequenceColumn : int {
  kSeqColState = 0,  // the row number
  kSeqColSignal,
  kSeqColEvent,
  kSeqColMinTime,
  kSeqColMaxTime,
};
constexpr int kSequenceGridColumns = 5;
constexpr int kSequenceGridRows = kSequenceRows + 1;  // the header row and rows 1..15
constexpr const char* kSequenceColumnTitles[kSequenceGridColumns] = {"State", "Signal", "Event", "Min Time",
                                                                     "Max Time"};
// The drop-down's first item; item n is channel n.
constexpr const char* kNoSignalItem = "<none>";

// One cell as drawn: text, drawn bold; a channel whose colour the text takes
// (0 = the grid's text colour); the event picture (-1 = none, 0 falling,
// 1 rising).
struct SequenceCellView {
  std::string text;
  bool bold = false;
  int channel = 0;
  int eventImage = -1;
};

// What an edit changed. Anything but a time limit can change State 0.
enum class SequenceChange { Pattern, Times };

class SequenceEditor {
 public:
  // Edits `table`; the signals are named as `traces` names them.
  SequenceEditor(SequenceTable& table, const TraceList& traces) : table_(table), traces_(traces) {}

  // Row 0 is the header; row k (1..15) is step k.
  SequenceCellView Cell(int row, int column) const;

  // "<none>" and the 128 channel names in channel order.
  std::vector<std::string> SignalItems() const;
  // The drop-down item of a row's signal (0 = none).
  int SignalItem(int row) const;
  SequenceChange SetSignal(int row, int item);
  // HIGH becomes LOW and the other way round.
  SequenceChange FlipEvent(int row);

  // Only the two time columns of rows 1..15 are typed into.
  static bool CanEditText(int row, int column);
  std::string EditText(int row, int column) const;
  // The text is read leniently as a whole number and its low 16 bits are
  // kept, so -1 stores 65535.
  SequenceChange SetEditText(int row, int column, std::string_view text);

  // Takes row `from` out and puts it back in at `to` (both 1..15); the rows
  // in between shift by one.
  SequenceChange MoveRow(int from, int to);

  // The mark-up under "State 0:".
  std::string StateZeroText() const;

  const SequenceTable& Table() const { return table_; }

 private:
  static bool StepRow(int row) { return row >= 1 && row <= kSequenceRows; }

  SequenceTable& table_;
  const TraceList& traces_;
};

}  // namespace korvalog
