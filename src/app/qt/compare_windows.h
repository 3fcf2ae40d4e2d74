#pragma once
// "Compare with...": a second capture opened as the reference, drawn under
// the chart (ReferencePanel), its figures beside the open capture's on the
// Report window's Compare page, and F3 stepping through the Sequencer runs
// that differ while the walker is on. The open capture is only read: the
// reference has its own data, and closing it changes nothing of the
// project (nothing is marked as changed).
#include <QObject>
#include <memory>
#include <string>

#include "analysis/lift_report.h"
#include "analysis/run_differences.h"
#include "chart/reference_chart.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/clock.h"

class QAction;
class QTimer;

namespace korvalog {

class ComparePage;
class ReferencePanel;
class ReportWindows;
class TMainForm;

class CompareWindows : public QObject {
  Q_OBJECT

 public:
  CompareWindows(CaptureData& data, CaptureView& view, const Clock& clock, TMainForm& main, ReportWindows& report);
  ~CompareWindows() override;

  // Opens `path` as the reference; false (with the file's message shown and
  // the reference closed) when it cannot be read.
  bool OpenReference(const std::string& path);
  void CloseReference();
  // Steps the walker (F3, Shift+F3); false when there is no difference that way.
  bool StepDifference(bool forward);

  QAction* CompareAction() const { return compare_; }
  ReferenceChart& Reference() { return reference_; }
  ReferencePanel* Panel() const { return panel_; }
  ComparePage* Page() const { return page_; }
  const DifferenceWalker& Walker() const { return walker_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LayOut();
  void Realigned();
  void FillComparePage();
  void PrepareWalker();

  CaptureData& data_;
  CaptureView& view_;
  TMainForm& main_;
  ReportWindows& report_;
  ReferenceChart reference_;
  QAction* compare_ = nullptr;
  ReferencePanel* panel_ = nullptr;
  ComparePage* page_ = nullptr;
  QTimer* follow_ = nullptr;
  DifferenceWalker walker_;
  std::string walkerKey_;  // what the walker's differences were made for
};

}  // namespace korvalog
