#include "analysis/sequence_editor.h"

#include <algorithm>

#include "analysis/state_zero.h"
#include "base/byte_text.h"

namespace korvalog {

SequenceCellView SequenceEditor::Cell(int row, int column) const {
  SequenceCellView cell;
  if (column < 0 || column >= kSequenceGridColumns) return cell;
  if (row == 0) {
    cell.text = kSequenceColumnTitles[column];
    cell.bold = true;
    return cell;
  }
  if (!StepRow(row)) return cell;
  if (column == kSeqColState) {
    cell.text = std::string(1, HexDigitChar(static_cast<uint32_t>(row)));
    return cell;
  }
  const SequenceRow& step = table_[row - 1];
  if (step.signal < 1 || step.signal > kChannelCount) return cell;
  switch (column) {
    case kSeqColSignal:
      cell.text = traces_.Name(step.signal);
      cell.bold = true;
      cell.channel = step.signal;
      break;
    case kSeqColEvent: cell.eventImage = step.event != 0 ? 1 : 0; break;
    case kSeqColMinTime: cell.text = UIntToText(step.minTime); break;
    case kSeqColMaxTime: cell.text = UIntToText(step.maxTime); break;
    default: break;
  }
  return cell;
}

std::vector<std::string> SequenceEditor::SignalItems() const {
  std::vector<std::string> items;
  items.reserve(kChannelCount + 1);
  items.emplace_back(kNoSignalItem);
  for (int ch = 1; ch <= kChannelCount; ++ch) items.push_back(traces_.Name(ch));
  return items;
}

int SequenceEditor::SignalItem(int row) const {
  if (!StepRow(row)) return 0;
  const uint8_t signal = table_[row - 1].signal;
  return signal <= kChannelCount ? signal : 0;
}

SequenceChange SequenceEditor::SetSignal(int row, int item) {
  if (StepRow(row) && item >= 0 && item <= kChannelCount) table_[row - 1].signal = static_cast<uint8_t>(item);
  return SequenceChange::Pattern;
}

SequenceChange SequenceEditor::FlipEvent(int row) {
  if (StepRow(row)) table_[row - 1].event = table_[row - 1].event != 0 ? 0 : 1;
  return SequenceChange::Pattern;
}

bool SequenceEditor::CanEditText(int row, int column) {
  return StepRow(row) && (column == kSeqColMinTime || column == kSeqColMaxTime);
}

std::string SequenceEditor::EditText(int row, int column) const {
  if (!CanEditText(row, column)) return {};
  const SequenceRow& step = table_[row - 1];
  return UIntToText(column == kSeqColMinTime ? step.minTime : step.maxTime);
}

SequenceChange SequenceEditor::SetEditText(int row, int column, std::string_view text) {
  if (CanEditText(row, column)) {
    const uint16_t value = static_cast<uint16_t>(static_cast<uint32_t>(TextToInt(text)) & 0xFFFFu);
    SequenceRow& step = table_[row - 1];
    (column == kSeqColMinTime ? step.minTime : step.maxTime) = value;
  }
  return SequenceChange::Times;
}

SequenceChange SequenceEditor::MoveRow(int from, int to) {
  if (StepRow(from) && StepRow(to) && from != to) {
    auto first = table_.begin() + (from - 1);
    auto last = table_.begin() + (to - 1);
    if (from < to)
      std::rotate(first, first + 1, last + 1);
    else
      std::rotate(last, first, first + 1);
  }
  return SequenceChange::Pattern;
}

std::string SequenceEditor::StateZeroText() const { return StateZeroMarkup(table_, traces_.Table()); }

}  // namespace korvalog
