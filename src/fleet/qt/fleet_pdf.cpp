#include "fleet/qt/fleet_pdf.h"

#include "analysis/qt/document_output.h"
#include "analysis/qt/pdf_flow.h"
#include "fleet/fleet_html.h"

namespace korvalog {
namespace {

const QColor kAvailability(0x22, 0xaa, 0x77), kTrips(0x22, 0x77, 0xaa);

// One row per lift; a figure's cell holds its value, verdict and change on
// lines of their own, coloured by the verdict.
ReportTable LiftTable(const FleetReport& report, const ReportTargets& targets,
                      std::vector<std::vector<QColor>>& colours) {
  ReportTable t;
  t.columns = {"Site", "Lift"};
  for (int i = 0; i < kKeyFigures; ++i) {
    const auto f = static_cast<KeyFigure>(i);
    t.columns.push_back(std::string(KeyFigureTitle(f)) + " (" + targets.Text(f) + ")");
  }
  t.columns.push_back("Chattering inputs");
  for (const FleetLift& l : report.lifts) {
    std::vector<std::string> row{l.site, l.lift};
    std::vector<QColor> rowColours(2);
    for (int i = 0; i < kKeyFigures; ++i) {
      if (!l.now.measured[i]) {
        row.push_back("not measured");
        rowColours.emplace_back();
        continue;
      }
      std::string cell = KeyFigureValueText(static_cast<KeyFigure>(i), l.now.values[i]);
      const std::string verdict(VerdictWord(l.verdicts[i]));
      if (!verdict.empty()) cell += "\n" + verdict;
      if (l.hasBefore && l.before.measured[i]) cell += "\n" + FleetChangeText(l.now.values[i] - l.before.values[i]);
      row.push_back(cell);
      rowColours.push_back(verdict.empty() ? QColor() : VerdictPdfColour(l.verdicts[i]));
    }
    row.push_back(std::to_string(l.now.chatteringInputs));
    t.rows.push_back(row);
    colours.push_back(rowColours);
  }
  return t;
}

}  // namespace

FileResult WriteFleetPdf(const std::string& path, const FleetReport& report, const ReportTargets& targets) {
  const std::unique_ptr<QGuiApplication> app = EnsureDocumentApplication();
  std::vector<std::vector<QColor>> colours;
  const ReportTable table = LiftTable(report, targets, colours);
  const std::string period = FleetPeriodText(report);
  const std::string subject = report.period.site.empty() ? period : report.period.site + " \xC2\xB7 " + period;
  const PdfSetup setup{"Fleet report " + period, subject, "Fleet report", true};
  const QByteArray pdf = DrawPdf(setup, [&](PdfFlow& flow) {
    flow.Text("Fleet report", 20, true);
    flow.Text(period, 14);
    flow.Text(FleetSubtitle(report), 11);
    flow.Gap(4);
    flow.Table(table, colours);
    flow.Text(kFleetNote, 9, false, QColor(0x44, 0x44, 0x44));
    flow.Gap(8);
    flow.Text("Trends: availability (green) and trips (blue) a day", 13, true);
    for (const FleetLift& l : report.lifts) {
      flow.Trend(l.site + " \xC2\xB7 " + l.lift, {l.dailyAvailability, l.dailyTrips}, {kAvailability, kTrips});
    }
  });
  if (pdf.isEmpty()) return FileResult{false, path + ": the PDF could not be drawn"};
  return WriteDocumentBytes(path, pdf.constData(), static_cast<size_t>(pdf.size()));
}

}  // namespace korvalog
