#pragma once
// The Report window's Compare page: the figures of the open capture and a
// reference side by side (ReportComparison) and the door closing and
// hall-wait histograms of both overlaid. It only draws; the comparison is
// made by the host.
#include <QWidget>
#include <vector>

#include "analysis/qt/report_form.h"
#include "analysis/report_compare.h"

class QLabel;
class QTableWidget;

namespace korvalog {

class ComparePage : public QWidget {
  Q_OBJECT

 public:
  explicit ComparePage(QWidget* parent = nullptr);
  void Show(const ReportComparison& comparison, std::vector<PlotPlan> plots);

  QTableWidget* Table() const { return table_; }
  const std::vector<PlotView*>& Plots() const { return plots_; }
  QLabel* Heading() const { return heading_; }

 private:
  QLabel* heading_ = nullptr;
  QTableWidget* table_ = nullptr;
  std::vector<PlotView*> plots_;
};

}  // namespace korvalog
