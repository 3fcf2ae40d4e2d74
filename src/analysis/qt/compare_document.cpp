#include "analysis/qt/compare_document.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "analysis/html_page.h"
#include "analysis/qt/document_output.h"
#include "analysis/qt/report_document.h"

namespace korvalog {
namespace {

const char* ChangeColour(Change c) {
  switch (c) {
    case Change::Better: return "#2e8b3a";
    case Change::Worse: return "#c0392b";
    default: return "#666";
  }
}

std::string WithUnit(const std::string& number, const CompareRow& r) {
  if (number.empty()) return "not measured";
  if (r.unit == "s" || r.unit == "%") return number + " " + r.unit;
  return number;
}

}  // namespace

std::string ChangeCellText(const CompareRow& r) {
  std::string text(ChangeWord(r.change));
  if (r.verdictBefore != Verdict::None && r.verdictAfter != Verdict::None && r.verdictBefore != r.verdictAfter) {
    text += " (" + std::string(VerdictWord(r.verdictBefore)) + " \xE2\x86\x92 " +  // →
            std::string(VerdictWord(r.verdictAfter)) + ")";
  } else if (r.verdictAfter != Verdict::None && r.Both()) {
    text += " (" + std::string(VerdictWord(r.verdictAfter)) + ")";
  }
  return text;
}

std::string CompareHtml(const ReportComparison& c, const std::vector<PlotPlan>& plots, const SiteDetails& site) {
  std::string h = HtmlPageHead("Lift comparison: " + SiteTitle(site),
                               ".key tr.group th{background:none;padding-top:12px;border-bottom:1px solid #888}\n");
  h += "<section class=\"summary\">\n<h1>Lift comparison: before and after</h1>\n";
  h += "<p class=\"site\">" + HtmlEscape(SiteTitle(site)) + "</p>\n<table class=\"facts\">\n";
  const std::pair<const char*, std::string> facts[] = {
      {"Before", c.before.spanText},
      {"From the file", c.before.source},
      {"After", c.after.spanText},
      {"From the file", c.after.source},
      {"Counts", c.perHour ? "per hour of capture (the captures differ in length)" : "over each capture"}};
  for (const auto& [label, value] : facts) h += "<tr><th>" + HtmlEscape(label) + "</th><td>" + HtmlEscape(value) + "</td></tr>\n";
  h += "</table>\n<p class=\"verdict\">" + HtmlEscape(c.VerdictLine()) + "</p>\n";
  if (!c.notes.empty()) {
    h += "<ul class=\"notes\">\n";
    for (const std::string& n : c.notes) h += "<li>" + HtmlEscape(n) + "</li>\n";
    h += "</ul>\n";
  }
  h += "<table class=\"key\">\n<tr><th>Figure</th><th>Before</th><th>After</th><th>Change</th><th></th></tr>\n";
  std::string group;
  for (const CompareRow& r : c.rows) {
    if (r.group != group) {
      group = r.group;
      h += "<tr class=\"group\"><th colspan=\"5\">" + HtmlEscape(group) + "</th></tr>\n";
    }
    h += "<tr><td>" + HtmlEscape(r.Label()) + "</td><td class=\"num\">" + HtmlEscape(WithUnit(r.BeforeText(), r)) +
         "</td><td class=\"num\">" + HtmlEscape(WithUnit(r.AfterText(), r)) + "</td><td class=\"num\">" +
         HtmlEscape(r.ChangeText()) + "</td><td><b style=\"color:" + ChangeColour(r.change) + "\">" +
         HtmlEscape(ChangeCellText(r)) + "</b></td></tr>\n";
  }
  h += "</table>\n";
  if (!c.unmatchedBefore.empty() || !c.unmatchedAfter.empty()) {
    h += "<h2>Inputs without a partner</h2>\n<ul class=\"notes\">\n";
    for (const std::string& n : c.unmatchedBefore) h += "<li>Before only: " + HtmlEscape(n) + "</li>\n";
    for (const std::string& n : c.unmatchedAfter) h += "<li>After only: " + HtmlEscape(n) + "</li>\n";
    h += "</ul>\n";
  }
  h += "</section>\n<h2>Plots</h2>\n";
  for (const PlotPlan& plan : plots) {
    h += "<div class=\"plot\">" + PlotSvg(plan, kPlotWidth, plan.empty.empty() ? kPlotHeight : 56) + "</div>\n";
  }
  return h + HtmlPageEnd();
}

FileResult WriteCompareHtml(const std::string& path, const ReportComparison& c, const std::vector<PlotPlan>& plots,
                            const SiteDetails& site) {
  const std::unique_ptr<QGuiApplication> app = EnsureDocumentApplication();
  const std::string html = CompareHtml(c, plots, site);
  return WriteDocumentBytes(path, html.data(), html.size());
}

FileResult WriteComparePdf(const std::string& path, const ReportComparison& c, const std::vector<PlotPlan>& plots,
                           const SiteDetails& site) {
  const std::unique_ptr<QGuiApplication> app = EnsureDocumentApplication();
  const QByteArray pdf = ComparePdf(c, plots, site);
  if (pdf.isEmpty()) return FileResult{false, path + ": the PDF could not be drawn"};
  return WriteDocumentBytes(path, pdf.constData(), static_cast<size_t>(pdf.size()));
}

}  // namespace korvalog
