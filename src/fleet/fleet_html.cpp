#include "fleet/fleet_html.h"

#include <algorithm>
#include <cstdio>

#include "analysis/html_page.h"

namespace korvalog {
namespace {

// A polyline of the values, scaled into a 120 × 28 box.
std::string TrendSvg(const std::vector<double>& values, const char* colour) {
  if (values.empty()) return "";
  if (values.size() == 1) {  // one day: a dot in the middle
    return "<svg width=\"120\" height=\"28\" viewBox=\"0 0 120 28\"><circle cx=\"60\" cy=\"14\" r=\"2.5\" fill=\"" +
           std::string(colour) + "\"/></svg>";
  }
  const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
  const double span = *hi - *lo > 0 ? *hi - *lo : 1;
  std::string points;
  for (size_t i = 0; i < values.size(); ++i) {
    char p[48];
    std::snprintf(p, sizeof p, "%.1f,%.1f ", 2 + 116.0 * static_cast<double>(i) / static_cast<double>(values.size() - 1),
                  26 - 24 * (values[i] - *lo) / span);
    points += p;
  }
  return "<svg width=\"120\" height=\"28\" viewBox=\"0 0 120 28\"><polyline fill=\"none\" stroke=\"" +
         std::string(colour) + "\" stroke-width=\"1.5\" points=\"" + points + "\"/></svg>";
}

}  // namespace

const char* const kFleetNote =
    "Figures are those of the lift report over every capture published for the lift in the period, read from the "
    "store's daily summaries; the previous period has the same length.";

std::string FleetPeriodText(const FleetReport& report) {
  return DayText(report.period.fromDay) + " to " + DayText(report.period.toDay - 1);
}

std::string FleetSubtitle(const FleetReport& report) {
  return std::to_string(report.lifts.size()) + " lifts" +
         (report.period.site.empty() ? "" : " at " + report.period.site) +
         " \xC2\xB7 worst first \xC2\xB7 change from the previous " +
         std::to_string(report.period.toDay - report.period.fromDay) + " days below each figure";
}

std::string FleetChangeText(double change) {
  char text[48];
  std::snprintf(text, sizeof text, "%+.2f", change);
  return text;
}

std::string FleetHtml(const FleetReport& report, const ReportTargets& targets) {
  std::string h = HtmlPageHead(
      "Fleet report " + FleetPeriodText(report),
      "body{max-width:none}table.fleet td,table.fleet th{border:1px solid #ccc;padding:4px 6px;text-align:right}"
      "table.fleet td.name{text-align:left}.poor{background:#f8d0d0}.acceptable{background:#fbe9c0}"
      ".good{background:#e4f2dc}.excellent{background:#cfe8c4}.change{color:#666;font-size:11px}"
      "p.note{color:#555;font-size:12px}\n");
  h += "<section class=\"summary\">\n<h1>Fleet report</h1>\n<p class=\"site\">" +
       HtmlEscape(FleetPeriodText(report)) + "</p>\n<p>" + HtmlEscape(FleetSubtitle(report)) +
       "</p>\n<table class=\"fleet\">\n<tr><th>Site</th><th>Lift</th>";
  for (int i = 0; i < kKeyFigures; ++i) {
    const auto f = static_cast<KeyFigure>(i);
    h += "<th>" + HtmlEscape(std::string(KeyFigureTitle(f))) + "<br><span class=\"change\">" +
         HtmlEscape(targets.Text(f)) + "</span></th>";
  }
  h += "<th>Chattering inputs</th><th>Availability and trips a day</th></tr>\n";
  for (const FleetLift& l : report.lifts) {
    h += "<tr><td class=\"name\">" + HtmlEscape(l.site) + "</td><td class=\"name\">" + HtmlEscape(l.lift) + "</td>";
    for (int i = 0; i < kKeyFigures; ++i) {
      const auto f = static_cast<KeyFigure>(i);
      if (!l.now.measured[i]) {
        h += "<td>not measured</td>";
        continue;
      }
      const std::string verdict(VerdictWord(l.verdicts[i]));
      h += "<td class=\"" + verdict + "\">" + HtmlEscape(KeyFigureValueText(f, l.now.values[i]));
      if (!verdict.empty()) h += "<br>" + verdict;
      if (l.hasBefore && l.before.measured[i]) {
        h += "<br><span class=\"change\">" + FleetChangeText(l.now.values[i] - l.before.values[i]) + "</span>";
      }
      h += "</td>";
    }
    h += "<td>" + std::to_string(l.now.chatteringInputs) + "</td><td>" + TrendSvg(l.dailyAvailability, "#2a7") +
         "<br>" + TrendSvg(l.dailyTrips, "#27a") + "</td></tr>\n";
  }
  h += "</table>\n<p class=\"note\">" + HtmlEscape(kFleetNote) + "</p>\n</section>\n";
  return h + HtmlPageEnd();
}

}  // namespace korvalog
