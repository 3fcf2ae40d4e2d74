#include "analysis/qt/compare_document.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "analysis/qt/report_document.h"
#include "project/replacing_file.h"

namespace korvalog {
namespace {

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

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

void QuietAboutRuntimeFolder(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("QStandardPaths:"))) return;
  std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

// Fonts and painters need an application; the command-line tool has none.
std::unique_ptr<QGuiApplication> EnsureApplication() {
  if (QCoreApplication::instance() != nullptr) return nullptr;
  qInstallMessageHandler(QuietAboutRuntimeFolder);
  static int argc = 1;
  static char name[] = "korvalog";
  static char* argv[] = {name, nullptr};
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  return std::make_unique<QGuiApplication>(argc, argv);
}

FileResult WriteBytes(const std::string& path, const char* bytes, size_t size) {
  ReplacingFile file(path);
  if (!file.Open() || !file.Write(bytes, size) || !file.Commit()) return FileResult{false, file.Error()};
  return {};
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
  std::string h =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Lift comparison: " +
      Escape(SiteTitle(site)) +
      "</title>\n"
      "<style>\nbody{font-family:'DejaVu Sans',Arial,sans-serif;font-size:13px;margin:24px;color:#111;max-width:1000px}\n"
      "h1{font-size:24px;margin:0 0 4px}h2{font-size:16px;margin-top:26px}\n"
      ".site{font-size:18px;margin:0 0 10px}.verdict{font-size:15px;font-weight:bold;margin:14px 0 6px}\n"
      "table{border-collapse:collapse;margin:6px 0}td,th{border-bottom:1px solid #ccc;padding:3px 10px;"
      "text-align:left;vertical-align:top}th{background:#f0f0f0}\n"
      ".facts th{background:none;width:110px;color:#444}.key td.num{text-align:right}.key b{white-space:nowrap}\n"
      ".key tr.group th{background:none;padding-top:12px;border-bottom:1px solid #888}\n"
      ".notes li{margin:2px 0}.plot{margin:10px 0}\n"
      "@media print{.summary{page-break-after:always}h2{page-break-after:avoid}}\n</style>\n</head>\n<body>\n";
  h += "<section class=\"summary\">\n<h1>Lift comparison: before and after</h1>\n";
  h += "<p class=\"site\">" + Escape(SiteTitle(site)) + "</p>\n<table class=\"facts\">\n";
  const std::pair<const char*, std::string> facts[] = {
      {"Before", c.before.spanText},
      {"From the file", c.before.source},
      {"After", c.after.spanText},
      {"From the file", c.after.source},
      {"Counts", c.perHour ? "per hour of capture (the captures differ in length)" : "over each capture"}};
  for (const auto& [label, value] : facts) h += "<tr><th>" + Escape(label) + "</th><td>" + Escape(value) + "</td></tr>\n";
  h += "</table>\n<p class=\"verdict\">" + Escape(c.VerdictLine()) + "</p>\n";
  if (!c.notes.empty()) {
    h += "<ul class=\"notes\">\n";
    for (const std::string& n : c.notes) h += "<li>" + Escape(n) + "</li>\n";
    h += "</ul>\n";
  }
  h += "<table class=\"key\">\n<tr><th>Figure</th><th>Before</th><th>After</th><th>Change</th><th></th></tr>\n";
  std::string group;
  for (const CompareRow& r : c.rows) {
    if (r.group != group) {
      group = r.group;
      h += "<tr class=\"group\"><th colspan=\"5\">" + Escape(group) + "</th></tr>\n";
    }
    h += "<tr><td>" + Escape(r.Label()) + "</td><td class=\"num\">" + Escape(WithUnit(r.BeforeText(), r)) +
         "</td><td class=\"num\">" + Escape(WithUnit(r.AfterText(), r)) + "</td><td class=\"num\">" +
         Escape(r.ChangeText()) + "</td><td><b style=\"color:" + ChangeColour(r.change) + "\">" +
         Escape(ChangeCellText(r)) + "</b></td></tr>\n";
  }
  h += "</table>\n";
  if (!c.unmatchedBefore.empty() || !c.unmatchedAfter.empty()) {
    h += "<h2>Inputs without a partner</h2>\n<ul class=\"notes\">\n";
    for (const std::string& n : c.unmatchedBefore) h += "<li>Before only: " + Escape(n) + "</li>\n";
    for (const std::string& n : c.unmatchedAfter) h += "<li>After only: " + Escape(n) + "</li>\n";
    h += "</ul>\n";
  }
  h += "</section>\n<h2>Plots</h2>\n";
  for (const PlotPlan& plan : plots) {
    h += "<div class=\"plot\">" + PlotSvg(plan, kPlotWidth, plan.empty.empty() ? kPlotHeight : 56) + "</div>\n";
  }
  h += "</body>\n</html>\n";
  return h;
}

FileResult WriteCompareHtml(const std::string& path, const ReportComparison& c, const std::vector<PlotPlan>& plots,
                            const SiteDetails& site) {
  const std::unique_ptr<QGuiApplication> app = EnsureApplication();
  const std::string html = CompareHtml(c, plots, site);
  return WriteBytes(path, html.data(), html.size());
}

FileResult WriteComparePdf(const std::string& path, const ReportComparison& c, const std::vector<PlotPlan>& plots,
                           const SiteDetails& site) {
  const std::unique_ptr<QGuiApplication> app = EnsureApplication();
  const QByteArray pdf = ComparePdf(c, plots, site);
  if (pdf.isEmpty()) return FileResult{false, path + ": the PDF could not be drawn"};
  return WriteBytes(path, pdf.constData(), static_cast<size_t>(pdf.size()));
}

}  // namespace korvalog
