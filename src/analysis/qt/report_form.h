#pragma once
// The Report window: the lift report's first page (site details to edit,
// key figures and verdicts), plots and tables over the capture.
// It draws what LiftReport, ReportTables and ReportPlots compute; a click on
// a bar, an outlier, a spell or a table row asks its host to zoom the chart
// there.
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/lift_report.h"
#include "analysis/report_plots.h"
#include "analysis/report_summary.h"
#include "analysis/report_tables.h"
#include "analysis/report_targets.h"
#include "core/capture_data.h"
#include "core/capture_key.h"
#include "core/capture_view.h"
#include "project/project_file.h"

class QLabel;
class QLineEdit;
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

  // Computes the report of the capture as it is now and shows it. Without
  // `force` the figures are kept when nothing they are computed from (the
  // events, the pattern, the roles) changed since, nor what the page shows
  // beside them (source name, site, targets).
  void Recompute(bool force = false);
  // The host zooms the chart to the span (date-times).
  void SetOnZoom(std::function<void(double from, double to)> zoom) { onZoom_ = std::move(zoom); }
  // The host opens the Roles window.
  void SetOnRoles(std::function<void()> roles) { onRoles_ = std::move(roles); }
  // The host keeps the site details the user typed (in the project).
  void SetOnSiteEdited(std::function<void(const SiteDetails&)> edited) { onSiteEdited_ = std::move(edited); }
  void SetTargets(const ReportTargets& targets) {
    targets_ = targets;
    shownStale_ = true;
  }
  // Reads a targets file over the defaults; a bad one is named in the
  // window and changes nothing.
  bool LoadTargets(const std::string& path);
  // The source named in the documents (the project's file name).
  void SetSourceName(std::string name) { source_ = std::move(name); }
  // Writes the report as .html, .pdf or .csv by the path's ending.
  FileResult SaveTo(const std::string& path) const;

  const LiftReport& Report() const { return report_; }
  const ReportSummary& Summary() const { return summary_; }
  // Site, lift, engineer and visit, in that order.
  QLineEdit* SiteEdit(int field) const { return siteEdits_[static_cast<size_t>(field)]; }
  QTableWidget* KeyFigures() const { return keyFigures_; }
  std::vector<PlotView*> Plots() const { return plots_; }
  // The Figures page's tables, built now if that page has not been shown.
  std::vector<QTableWidget*> Tables() {
    if (tablesStale_) BuildTables();
    return tables_;
  }
  QTabWidget* Tabs() const { return tabs_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Zoom(double from, double to);
  void SaveClicked();
  void Rebuild();
  void BuildTables();
  void BuildSummaryTab();
  void FillSummary();
  void SiteEdited();

  // What the report in report_ was computed from.
  struct ComputedFrom {
    CaptureKey capture;
    SequenceTable pattern{};
    ChannelRoles roles;
  };
  bool SameInputs(const ComputedFrom& now) const;

  CaptureData& data_;
  const CaptureView& view_;
  std::optional<ComputedFrom> computedFrom_;
  std::string shownSource_;  // the source name in the heading
  bool shownStale_ = true;   // the page no longer shows report_ as it is
  LiftReport report_;
  ReportTargets targets_;
  ReportSummary summary_;
  SiteDetails site_;
  std::vector<ReportTable> tableData_;
  std::string source_;
  QLabel* heading_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  std::array<QLineEdit*, SiteDetails::kFields> siteEdits_{};
  QLabel* verdict_ = nullptr;
  QTableWidget* keyFigures_ = nullptr;
  QVBoxLayout* tablesLayout_ = nullptr;
  QWidget* tablesScroll_ = nullptr;
  bool tablesStale_ = false;
  std::vector<PlotView*> plots_;
  std::vector<QTableWidget*> tables_;
  std::function<void(double, double)> onZoom_;
  std::function<void()> onRoles_;
  std::function<void(const SiteDetails&)> onSiteEdited_;
};

}  // namespace korvalog
