// The comparison as a PDF (A4): the same content as the page, the table
// drawn row by row and the overlaid histograms with the report's painting
// code, through the report's page loop (header, "Page n of N").
#include <QColor>

#include "analysis/qt/compare_document.h"
#include "analysis/qt/pdf_flow.h"
#include "analysis/qt/report_document.h"

namespace korvalog {
namespace {

QColor ChangeColour(Change c) {
  return c == Change::Better ? QColor(0x2e, 0x8b, 0x3a) : c == Change::Worse ? QColor(0xc0, 0x39, 0x2b) : QColor(0x66, 0x66, 0x66);
}

}  // namespace

QByteArray ComparePdf(const ReportComparison& c, const std::vector<PlotPlan>& plots, const SiteDetails& site) {
  const PdfSetup setup{"Lift comparison", SiteTitle(site), "Lift comparison"};
  return DrawPdf(setup, [&](PdfFlow& flow) {
    flow.Text("Lift comparison: before and after", 22, true);
    flow.Text(SiteTitle(site), 16);
    flow.Text("Before: " + c.before.spanText + " \xE2\x80\x94 " + c.before.source, 11);
    flow.Text("After: " + c.after.spanText + " \xE2\x80\x94 " + c.after.source, 11);
    flow.Text(c.VerdictLine(), 13, true);
    for (const std::string& n : c.notes) flow.Text(n, 10, false, QColor(0x44, 0x44, 0x44));
    const std::vector<double> shares = {0.40, 0.13, 0.13, 0.11, 0.23};
    flow.Row({"Figure", "Before", "After", "Change", ""}, shares, true, Qt::black);
    std::string group;
    for (const CompareRow& r : c.rows) {
      if (r.group != group) {
        group = r.group;
        flow.Gap(4);
        flow.Row({group}, {1.0}, true, Qt::black);
      }
      const std::string unit = r.unit == "s" || r.unit == "%" ? " " + r.unit : "";
      flow.Row({r.Label(), r.measuredBefore ? r.BeforeText() + unit : "not measured",
                r.measuredAfter ? r.AfterText() + unit : "not measured", r.ChangeText(), ChangeCellText(r)},
               shares, false, ChangeColour(r.change));
    }
    for (const std::string& n : c.unmatchedBefore) flow.Text("Before only: " + n, 10);
    for (const std::string& n : c.unmatchedAfter) flow.Text("After only: " + n, 10);
    flow.Gap(10);
    for (const PlotPlan& plan : plots) flow.Plot(plan);
  });
}

}  // namespace korvalog
