#pragma once
// The Report window: the lift report's plots and tables over the capture.
// It draws what LiftReport, ReportTables and ReportPlots compute; a click on
// a bar, an outlier, a spell or a table row asks its host to zoom the chart
// there.
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "analysis/lift_report.h"
#include "analysis/report_plots.h"
#include "analysis/report_tables.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "project/project_file.h"

class QLabel;
class QTabWidget;
class QTableWidget;
class QVBoxLayout;

namespace korvalog {

class PlotView : public QWidget {
  Q_OBJECT

 public:
  explicit PlotView(QWidget* parent = nullptr);
  void SetPlan(PlotPlan plan);
  const PlotPlan& Plan() const { return plan_; }
  std::function<void(double from, double to)> onZoom;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  PlotPlan plan_;
};

class TReportForm : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMaxTableRows = 2000;  // more are in the CSV

  TReportForm(CaptureData& data, const CaptureView& view, QWidget* parent = nullptr);

  // Computes the report of the capture as it is now and shows it.
  void Recompute();
  // The host zooms the chart to the span (date-times).
  void SetOnZoom(std::function<void(double from, double to)> zoom) { onZoom_ = std::move(zoom); }
  // The host opens the Roles window.
  void SetOnRoles(std::function<void()> roles) { onRoles_ = std::move(roles); }
  // The source named in the documents (the project's file name).
  void SetSourceName(std::string name) { source_ = std::move(name); }
  // Writes the report as .html, .pdf or .csv by the path's ending.
  FileResult SaveTo(const std::string& path) const;

  const LiftReport& Report() const { return report_; }
  std::vector<PlotView*> Plots() const { return plots_; }
  std::vector<QTableWidget*> Tables() const { return tables_; }
  QTabWidget* Tabs() const { return tabs_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Zoom(double from, double to);
  void SaveClicked();
  void Rebuild();

  CaptureData& data_;
  const CaptureView& view_;
  LiftReport report_;
  std::vector<ReportTable> tableData_;
  std::string source_;
  QLabel* heading_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QVBoxLayout* tablesLayout_ = nullptr;
  std::vector<PlotView*> plots_;
  std::vector<QTableWidget*> tables_;
  std::function<void(double, double)> onZoom_;
  std::function<void()> onRoles_;
};

}  // namespace korvalog
