// The report as a PDF (A4): the first page for the building owner, then the
// plots and the tables, every page with a header naming the site and the
// lift and a footer with its number, through the shared page loop.
#include <QColor>

#include "analysis/qt/pdf_flow.h"
#include "analysis/qt/report_document.h"
#include "analysis/report_tables.h"

namespace korvalog {
namespace {

ReportTable KeyFigureTable(const ReportSummary& s, std::vector<std::vector<QColor>>& colours) {
  ReportTable t;
  t.title = "Key figures";
  t.columns = {"Figure", "Value", "Verdict", "Target"};
  for (const KeyFigureRow& row : s.figures) {
    const std::string verdict(VerdictWord(row.verdict));
    t.rows.push_back({row.title, row.valueText, verdict.empty() ? (row.measured ? "for information" : "") : verdict,
                      row.targetText});
    colours.push_back({QColor(), QColor(), VerdictPdfColour(row.verdict)});
  }
  return t;
}

void Lay(PdfFlow& flow, const LiftReport& report, const std::vector<ReportTable>& tables,
         const std::vector<PlotPlan>& plots, const ReportSummary& s, const std::string& source) {
  flow.Text("Lift performance report", 20, true);
  flow.Text(SiteTitle(s.site), 14);
  flow.Gap(4);
  ReportTable facts;
  facts.columns = {"", ""};
  facts.rows = {{"Engineer", s.site.engineer.empty() ? "not given" : s.site.engineer},
                {"Visit", s.site.visit.empty() ? "not given" : s.site.visit},
                {"Recording", s.spanText},
                {"From the file", source}};
  flow.Table(facts);
  flow.Text("Inputs used: " + s.rolesText, 10);
  flow.Gap(4);
  flow.Text(s.verdictLine, 12, true);
  std::vector<std::vector<QColor>> colours;
  flow.Table(KeyFigureTable(s, colours), colours);
  if (!s.notMeasured.empty()) {
    std::string text = "Not measured: ";
    for (size_t i = 0; i < s.notMeasured.size(); ++i) text += (i ? "; " : "") + s.notMeasured[i];
    flow.Text(text + ".", 10);
  }
  for (const std::string& d : s.definitions) flow.Text(d, 9, false, QColor(0x44, 0x44, 0x44));
  flow.Gap(16);
  flow.Text("Signed: ______________________     Date: ____________", 11);
  flow.NewPage();
  const std::vector<std::string> notes = ReportNotes(report);
  if (!notes.empty()) {
    flow.Text("What was left out", 13, true);
    for (const std::string& n : notes) flow.Text("\xE2\x80\xA2 " + n, 10);
    flow.Gap(8);
  }
  for (const PlotPlan& plan : plots) flow.Plot(plan);
  for (const ReportTable& t : tables) flow.Table(t);
}

}  // namespace

QByteArray ReportPdf(const LiftReport& report, const TraceList& names, const ReportHeading& heading) {
  const ReportSummary summary = SummarizeReport(report, heading.site, heading.targets);
  const std::vector<ReportTable> tables = DocumentTables(report, names, kDocumentRows);
  const std::vector<PlotPlan> plots = ReportPlots(report);
  const std::string header = SiteTitle(heading.site);
  const PdfSetup setup{"Lift performance report: " + header, header, "Lift performance report"};
  return DrawPdf(setup, [&](PdfFlow& flow) { Lay(flow, report, tables, plots, summary, heading.source); });
}

}  // namespace korvalog
