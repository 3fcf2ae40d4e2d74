#pragma once
// The report as a document to hand over: a self-contained HTML page (a first
// page for the building owner, then plots inline as SVG from the plots'
// painting code, then the tables) or a PDF of the same content with a header
// and page numbers, written so that a failure leaves an existing file as it
// was.
#include <QByteArray>
#include <string>

#include "analysis/lift_report.h"
#include "analysis/report_plots.h"
#include "analysis/report_summary.h"
#include "analysis/report_targets.h"
#include "core/records.h"
#include "core/site_details.h"
#include "core/trace_list.h"
#include "project/project_file.h"

namespace korvalog {

struct ReportHeading {
  std::string source;  // the capture's file name, shown under the title
  SiteDetails site;
  ReportTargets targets;
};

std::string ReportHtml(const LiftReport& report, const TraceList& names, const ReportHeading& heading);
QByteArray ReportPdf(const LiftReport& report, const TraceList& names, const ReportHeading& heading);
// One plot as an SVG element (no XML declaration), `width` x `height`.
std::string PlotSvg(const PlotPlan& plan, int width, int height);

FileResult WriteReportHtml(const std::string& path, const LiftReport& report, const TraceList& names,
                           const ReportHeading& heading);
FileResult WriteReportPdf(const std::string& path, const LiftReport& report, const TraceList& names,
                          const ReportHeading& heading);

// Rows of one table in a document; the rest is in the CSV.
inline constexpr size_t kDocumentRows = 40;
// The plots' size on the page, in CSS pixels.
inline constexpr int kPlotWidth = 760, kPlotHeight = 250;

// Site and lift in one line for the title and the PDF's header ("Harbour
// House · Lift 2"), or "Site not given".
std::string SiteTitle(const SiteDetails& site);

}  // namespace korvalog
