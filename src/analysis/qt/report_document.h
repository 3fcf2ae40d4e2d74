#pragma once
// The report as a document to hand over: a self-contained HTML page (tables,
// and plots inline as SVG from the plots' painting code) or a PDF of the
// same content, written so that a failure leaves an existing file as it was.
#include <QByteArray>
#include <string>

#include "analysis/lift_report.h"
#include "analysis/report_plots.h"
#include "core/records.h"
#include "core/trace_list.h"
#include "project/project_file.h"

namespace korvalog {

struct ReportHeading {
  std::string source;  // the capture's file name, shown under the title
};

std::string ReportHtml(const LiftReport& report, const TraceList& names, const ReportHeading& heading);
QByteArray ReportPdf(const LiftReport& report, const TraceList& names, const ReportHeading& heading);
// One plot as an SVG element (no XML declaration), `width` x `height`.
std::string PlotSvg(const PlotPlan& plan, int width, int height);

FileResult WriteReportHtml(const std::string& path, const LiftReport& report, const TraceList& names,
                           const ReportHeading& heading);
FileResult WriteReportPdf(const std::string& path, const LiftReport& report, const TraceList& names,
                          const ReportHeading& heading);

}  // namespace korvalog
