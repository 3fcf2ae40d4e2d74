#pragma once
// "Violations": every Sequencer violation of the capture with its time, the
// step that was due, the limit it broke and the time the step took. A double
// click (or Enter) on a row goes there in the chart.
#include <QTableWidget>
#include <QWidget>
#include <functional>

#include "chart/capture_findings.h"
#include "core/trace_list.h"

namespace korvalog {

class ViolationsForm : public QWidget {
  Q_OBJECT

 public:
  explicit ViolationsForm(QWidget* parent = nullptr);

  // Fills the list; `goTo` is called with the chosen violation.
  // `traces` name the channels as the chart does.
  void Show(const CaptureFindings& findings, const TraceList& traces,
            std::function<void(const SequenceViolation&)> goTo);
  QTableWidget* Table() { return table_; }
  int Rows() const { return static_cast<int>(violations_.size()); }

 private:
  void Activated(int row);

  QTableWidget* table_;
  std::vector<SequenceViolation> violations_;
  std::function<void(const SequenceViolation&)> goTo_;
};

}  // namespace korvalog
