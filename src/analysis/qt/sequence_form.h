#pragma once
// The "Sequencer" window: the step table as a grid, the signal drop-down
// that opens over a Signal cell, and the State 0 label. Not modal; it stays
// above the window that owns it and lives for the program run.
//
// The window does not know the chart. Its host is told through two hooks:
// the pattern changed (or the window was shown), so the strip shows the
// Sequencer's progress and is redrawn; and the window closed, so the strip
// goes back to the search results.
#include <QComboBox>
#include <QScrollArea>
#include <QWidget>
#include <functional>

#include "analysis/sequence_editor.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/user_edits.h"

namespace korvalog {

class TNiceLabel;
class TSequenceGrid;

class TSequenceForm : public QWidget {
  Q_OBJECT

 public:
  using Hook = std::function<void()>;

  TSequenceForm(CaptureData& data, CaptureView& view, const LoggerSettings& settings, QWidget* parent = nullptr);
  ~TSequenceForm() override;

  // Host: StripMode := 1 and a strip pass.
  void SetOnPatternChanged(Hook hook) { onPatternChanged_ = std::move(hook); }
  // Host: when StripMode is 1, StripMode := 0 and one more pass.
  void SetOnClosed(Hook hook) { onClosed_ = std::move(hook); }
  // The "Violations" button: the host lists the pattern's violations.
  void SetOnViolations(Hook hook) { onViolations_ = std::move(hook); }

  TSequenceGrid* gSequence() const { return grid_; }
  QComboBox* cbSignals() const { return signals_; }
  TNiceLabel* lState0() const { return stateZero_; }
  // The drop-down is open for this row; 0 when it is not shown.
  int SignalRow() const { return signalRow_; }

  // Opens the drop-down over the row's Signal cell, dropped down.
  void OpenSignalList(int row);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillSignalList();
  void CommitSignalList();
  void CellActivated(int row, int column);
  void Changed(SequenceChange change);
  // Runs one edit of the pattern; a pattern that changed marks the capture
  // modified (it is saved with it).
  template <typename Edit>
  void Apply(Edit edit);
  void RebuildStateZero();

  CaptureData& data_;
  CaptureView& view_;
  SequenceEditor editor_;
  UndoableEdit timeEdit_;
  SequenceTable tableAtEdit_{};
  TSequenceGrid* grid_;
  QScrollArea* scroll_;        // the grid, scrolled on a screen too short for it
  int fullHeight_ = 0;         // the window's height with the whole grid showing
  QComboBox* signals_;
  TNiceLabel* stateZero_;
  int signalRow_ = 0;
  Hook onPatternChanged_;
  Hook onClosed_;
  Hook onViolations_;
};

}  // namespace korvalog
