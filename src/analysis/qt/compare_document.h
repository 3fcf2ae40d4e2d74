#pragma once
// The comparison of two captures as a document to hand over, in the report's
// page structure: a first page with both recordings' spans and lengths and
// the figures side by side, then the overlaid histograms; or a PDF of the
// same. Written so that a failure leaves an existing file as it was.
#include <QByteArray>
#include <string>
#include <vector>

#include "analysis/report_compare.h"
#include "analysis/report_plots.h"
#include "core/site_details.h"
#include "project/project_file.h"

namespace korvalog {

std::string CompareHtml(const ReportComparison& c, const std::vector<PlotPlan>& plots, const SiteDetails& site);
QByteArray ComparePdf(const ReportComparison& c, const std::vector<PlotPlan>& plots, const SiteDetails& site);

FileResult WriteCompareHtml(const std::string& path, const ReportComparison& c, const std::vector<PlotPlan>& plots,
                            const SiteDetails& site);
FileResult WriteComparePdf(const std::string& path, const ReportComparison& c, const std::vector<PlotPlan>& plots,
                           const SiteDetails& site);

// The words of the Change column: "better (acceptable → good)", "worse", "no change".
std::string ChangeCellText(const CompareRow& row);

}  // namespace korvalog
