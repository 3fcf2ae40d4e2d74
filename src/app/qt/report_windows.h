#pragma once
// The Roles and Report windows of the main window, made once for the run:
// the Report window's clicks zoom the main window's chart, the chart's name
// column offers both windows in its context menu.
#include <QObject>
#include <memory>

#include "analysis/qt/report_form.h"
#include "analysis/qt/roles_form.h"
#include "core/capture_data.h"

namespace korvalog {

class TMainForm;

class ReportWindows : public QObject {
  Q_OBJECT

 public:
  ReportWindows(CaptureData& data, CaptureView& view, TMainForm& main);
  ~ReportWindows() override;

  TRolesForm* Roles();  // made when first wanted
  TReportForm* Report() const { return report_.get(); }
  void ShowRoles(int channel = 0);
  void ShowReport();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CaptureData& data_;
  CaptureView& view_;
  TMainForm& main_;
  std::unique_ptr<TRolesForm> roles_;
  std::unique_ptr<TReportForm> report_;
};

}  // namespace korvalog
