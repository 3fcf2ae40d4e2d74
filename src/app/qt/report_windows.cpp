#include "app/qt/report_windows.h"

#include <QContextMenuEvent>
#include <QMenu>

#include "app/qt/main_form.h"
#include "chart/qt/channel_grid.h"
#include "chart/qt/chart_panel.h"
#include "chart/grid_edits.h"
#include "chart/zoom_to_time.h"
#include "ui/qt/window_helpers.h"

namespace korvalog {

ReportWindows::ReportWindows(CaptureData& data, CaptureView& view, TMainForm& main)
    : data_(data),
      view_(view),
      main_(main),
      report_(std::make_unique<TReportForm>(data, view, &main)) {
  report_->SetOnZoom([this](double from, double to) {
    ChartPanel& chart = main_.Chart();
    if (ZoomChartTo(chart.State(), from, to)) chart.Tick();
    main_.raise();
  });
  report_->SetOnRoles([this] { ShowRoles(); });
  // Site details typed in the report are kept in the project.
  report_->SetOnSiteEdited([this](const SiteDetails& site) {
    view_.Site = site;
    data_.DataModified.store(1, std::memory_order_release);
  });
  main_.Chart().Grid()->installEventFilter(this);
}

ReportWindows::~ReportWindows() { main_.Chart().Grid()->removeEventFilter(this); }

TRolesForm* ReportWindows::Roles() {
  // Made at its first opening: the start-up does not wait for a window that
  // is seldom opened.
  if (!roles_) {
    roles_ = std::make_unique<TRolesForm>(data_, view_, &main_);
    roles_->SetOnAccepted([this] {
      if (report_->isVisible()) report_->Recompute();
    });
  }
  return roles_.get();
}

void ReportWindows::ShowRoles(int channel) {
  Roles();
  if (!roles_->isVisible()) FitOnScreen(*roles_, &main_);
  roles_->ShowFor(channel);
}

void ReportWindows::ShowReport() {
  // Named after the project it was opened from or saved to.
  const std::string& file = main_.Commands().SaveFileName();
  report_->SetSourceName(file.empty() ? std::string("Capture") : file.substr(file.find_last_of("/\\") + 1));
  if (report_->isVisible()) report_->Recompute();
  if (!report_->isVisible()) FitOnScreen(*report_, &main_);
  report_->show();
  report_->raise();
  report_->activateWindow();
}

// The name column's context menu: the roles of the channel under the mouse
// (the current row's), and the report.
bool ReportWindows::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ContextMenu) return QObject::eventFilter(watched, event);
  auto* grid = main_.Chart().Grid();
  const auto* menuEvent = static_cast<QContextMenuEvent*>(event);
  const auto& widths = grid->ColumnWidths();
  const int x = menuEvent->pos().x();
  if (x < widths[0] || x > widths[0] + widths[1]) return false;
  const int row = grid->CurrentRow();
  const int channel = ChannelOfRow(view_.Traces, row);
  QMenu menu;
  QAction* roles = menu.addAction(QStringLiteral("Channel roles..."));
  QAction* report = menu.addAction(QStringLiteral("Lift performance report..."));
  QAction* chosen = menu.exec(menuEvent->globalPos());
  if (chosen == roles) ShowRoles(channel);
  if (chosen == report) ShowReport();
  return true;
}

}  // namespace korvalog
