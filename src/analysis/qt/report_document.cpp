#include "analysis/qt/report_document.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "analysis/html_page.h"
#include "analysis/qt/document_output.h"
#include "analysis/qt/report_painting.h"
#include "analysis/report_tables.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

const char* VerdictColour(Verdict v) {
  switch (v) {
    case Verdict::Excellent: return "#16723a";
    case Verdict::Good: return "#2e8b3a";
    case Verdict::Acceptable: return "#a86a00";
    case Verdict::Poor: return "#c0392b";
    default: return "#666";
  }
}

std::string Cell(const std::string& text, const char* tag = "td") {
  return std::string("<") + tag + ">" + HtmlEscape(text) + "</" + tag + ">";
}

// The first page: where, when, what the figures rest on, and the verdicts.
std::string SummaryHtml(const ReportSummary& s, const std::string& source) {
  std::string h = "<section class=\"summary\">\n<h1>Lift performance report</h1>\n";
  h += "<p class=\"site\">" + HtmlEscape(SiteTitle(s.site)) + "</p>\n<table class=\"facts\">\n";
  const std::pair<const char*, std::string> facts[] = {
      {"Engineer", s.site.engineer.empty() ? "not given" : s.site.engineer},
      {"Visit", s.site.visit.empty() ? "not given" : s.site.visit},
      {"Recording", s.spanText},
      {"From the file", source},
      {"Inputs used", s.rolesText}};
  for (const auto& [label, value] : facts) h += "<tr>" + Cell(label, "th") + Cell(value) + "</tr>\n";
  h += "</table>\n<p class=\"verdict\">" + HtmlEscape(s.verdictLine) + "</p>\n";
  h += "<table class=\"key\">\n<tr><th>Figure</th><th>Value</th><th>Verdict</th><th>Target</th>"
       "<th>Based on</th></tr>\n";
  for (const KeyFigureRow& row : s.figures) {
    const std::string verdict(VerdictWord(row.verdict));
    h += "<tr>" + Cell(row.title) + "<td class=\"num\">" + HtmlEscape(row.valueText) + "</td>";
    h += "<td><b style=\"color:" + std::string(VerdictColour(row.verdict)) + "\">" +
         HtmlEscape(verdict.empty() ? (row.measured ? "for information" : "") : verdict) + "</b></td>";
    h += Cell(row.targetText) + Cell(row.basis) + "</tr>\n";
  }
  h += "</table>\n";
  if (!s.notMeasured.empty()) {
    h += "<p><b>Not measured:</b> ";
    for (size_t i = 0; i < s.notMeasured.size(); ++i) h += (i ? "; " : "") + HtmlEscape(s.notMeasured[i]);
    h += ".</p>\n";
  }
  h += "<ul class=\"defs\">\n";
  for (const std::string& d : s.definitions) h += "<li>" + HtmlEscape(d) + "</li>\n";
  h += "</ul>\n";
  h += "<p class=\"sign\">Signed: ______________________ &nbsp; Date: ____________</p>\n</section>\n";
  return h;
}

QFont PlotFont() { return KitFont(kKitSansFamily, 11); }

}  // namespace

std::string PlotSvg(const PlotPlan& plan, int width, int height) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(width, height));
  svg.setViewBox(QRect(0, 0, width, height));
  svg.setResolution(96);
  svg.setTitle(QString::fromStdString(plan.title));
  QPainter p;
  if (!p.begin(&svg)) return {};
  PaintPlot(p, plan, QRect(0, 0, width, height), PlotFont());
  p.end();
  std::string text = buffer.data().toStdString();
  const size_t svgAt = text.find("<svg");
  return svgAt == std::string::npos ? std::string() : text.substr(svgAt);
}

std::string SiteTitle(const SiteDetails& site) {
  if (site.site.empty() && site.lift.empty()) return "Site not given";
  if (site.site.empty() || site.lift.empty()) return site.site + site.lift;
  return site.site + " \xC2\xB7 " + site.lift;
}

std::string ReportHtml(const LiftReport& report, const TraceList& names, const ReportHeading& heading) {
  const ReportSummary summary = SummarizeReport(report, heading.site, heading.targets);
  std::string h = HtmlPageHead("Lift performance report: " + SiteTitle(heading.site),
                               ".defs{color:#444;font-size:12px}.sign{margin-top:22px}\n");
  h += SummaryHtml(summary, heading.source);
  const std::vector<std::string> notes = ReportNotes(report);
  if (!notes.empty()) {
    h += "<h2>What was left out</h2>\n<ul class=\"notes\">\n";
    for (const std::string& n : notes) h += "<li>" + HtmlEscape(n) + "</li>\n";
    h += "</ul>\n";
  }
  h += "<h2>Plots</h2>\n";
  for (const PlotPlan& plan : ReportPlots(report)) {
    // A plot with nothing to show says so in a line, not in an empty frame.
    h += "<div class=\"plot\">" + PlotSvg(plan, kPlotWidth, plan.empty.empty() ? kPlotHeight : 56) + "</div>\n";
  }
  for (const ReportTable& t : DocumentTables(report, names, kDocumentRows)) {
    h += "<h2>" + HtmlEscape(t.title) + "</h2>\n<table>\n<tr>";
    for (const std::string& c : t.columns) h += "<th>" + HtmlEscape(c) + "</th>";
    h += "</tr>\n";
    for (const auto& row : t.rows) {
      h += "<tr>";
      for (const std::string& c : row) h += "<td>" + HtmlEscape(c) + "</td>";
      h += "</tr>\n";
    }
    h += "</table>\n";
    if (!t.note.empty()) h += "<p>" + HtmlEscape(t.note) + "</p>\n";
  }
  return h + HtmlPageEnd();
}

FileResult WriteReportHtml(const std::string& path, const LiftReport& report, const TraceList& names,
                           const ReportHeading& heading) {
  const std::unique_ptr<QGuiApplication> app = EnsureDocumentApplication();
  const std::string html = ReportHtml(report, names, heading);
  return WriteDocumentBytes(path, html.data(), html.size());
}

FileResult WriteReportPdf(const std::string& path, const LiftReport& report, const TraceList& names,
                          const ReportHeading& heading) {
  const std::unique_ptr<QGuiApplication> app = EnsureDocumentApplication();
  const QByteArray pdf = ReportPdf(report, names, heading);
  if (pdf.isEmpty()) return FileResult{false, path + ": the PDF could not be drawn"};
  return WriteDocumentBytes(path, pdf.constData(), static_cast<size_t>(pdf.size()));
}

}  // namespace korvalog
