#include "analysis/qt/report_document.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "analysis/qt/report_painting.h"
#include "analysis/report_tables.h"
#include "project/replacing_file.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

constexpr int kPlotWidth = 760, kPlotHeight = 250;
// Rows of one table in a document; every occurrence is in the CSV.
constexpr size_t kDocumentRows = 500;

std::string CutNote(const ReportTable& t) {
  return "The first " + std::to_string(kDocumentRows) + " of " + std::to_string(t.rows.size()) +
         " rows; every occurrence is in the CSV.";
}

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

std::string SpanLine(const LiftReport& r) {
  return DateText(r.Start()) + " " + ClockText(r.Start()) + " to " + DateText(r.End()) + " " + ClockText(r.End()) +
         " (" + DurationText(r.SpanSeconds()) + ")";
}

QFont PlotFont() { return KitFont(kKitSansFamily, 11); }

void QuietAboutRuntimeFolder(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("QStandardPaths:"))) return;
  std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

// Fonts and painters need an application; a command-line tool has none, so
// one is made for the write, on the offscreen platform unless one is named.
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

// A flowing layout of the document on PDF pages.
class PdfFlow {
 public:
  explicit PdfFlow(QPdfWriter& writer) : writer_(writer), p_(&writer) {
    width_ = writer.width();
    height_ = writer.height();
    font_ = KitFont(kKitSansFamily, 10);
    p_.setFont(font_);
  }
  bool Ok() const { return p_.isActive(); }
  void Room(int h) {
    if (y_ + h <= height_) return;
    writer_.newPage();
    y_ = 0;
  }
  void Text(const std::string& text, int pixels, bool bold = false) {
    QFont f = KitFont(kKitSansFamily, pixels, bold);
    const QFontMetrics fm(f);
    const QRect box = fm.boundingRect(QRect(0, 0, width_, 10000), Qt::TextWordWrap, QString::fromStdString(text));
    Room(box.height() + 4);
    p_.setFont(f);
    p_.setPen(Qt::black);
    p_.drawText(QRect(0, y_, width_, box.height()), Qt::TextWordWrap, QString::fromStdString(text));
    y_ += box.height() + 4;
  }
  void Gap(int h) { y_ += h; }
  void Plot(const PlotPlan& plan) {
    const int h = kPlotHeight * width_ / kPlotWidth;
    Room(h + 6);
    PaintPlot(p_, plan, QRect(0, y_, width_, h), PlotFont());
    y_ += h + 6;
  }
  void Table(const ReportTable& t) {
    const QFontMetrics fm(font_);
    std::vector<int> widths(t.columns.size(), 0);
    for (size_t c = 0; c < t.columns.size(); ++c) widths[c] = fm.horizontalAdvance(QString::fromStdString(t.columns[c]));
    for (const auto& row : t.rows) {
      for (size_t c = 0; c < row.size() && c < widths.size(); ++c) {
        widths[c] = std::max(widths[c], fm.horizontalAdvance(QString::fromStdString(row[c])));
      }
    }
    int total = 0;
    for (int& w : widths) total += (w = std::min(w + 10, width_ * 2 / 5));
    const double shrink = total > width_ ? static_cast<double>(width_) / total : 1.0;
    const int rowH = fm.height() + 4;
    Text(t.title, 13, true);
    const auto line = [&](const std::vector<std::string>& cells, bool head) {
      Room(rowH);
      QFont f = font_;
      f.setBold(head);
      p_.setFont(f);
      double x = 0;
      for (size_t c = 0; c < widths.size(); ++c) {
        const double w = widths[c] * shrink;
        const QString text = c < cells.size() ? QString::fromStdString(cells[c]) : QString();
        p_.setPen(Qt::black);
        p_.drawText(QRectF(x + 2, y_, w - 4, rowH), Qt::AlignVCenter | (c == 0 ? Qt::AlignLeft : Qt::AlignLeft),
                    fm.elidedText(text, Qt::ElideRight, static_cast<int>(w - 4)));
        x += w;
      }
      p_.setPen(QPen(QColor(0xcc, 0xcc, 0xcc), 0));
      p_.drawLine(QPointF(0, y_ + rowH), QPointF(x, y_ + rowH));
      y_ += rowH;
    };
    line(t.columns, true);
    for (size_t r = 0; r < t.rows.size() && r < kDocumentRows; ++r) line(t.rows[r], false);
    if (t.rows.size() > kDocumentRows) Text(CutNote(t), 10);
    if (!t.note.empty()) Text(t.note, 10);
    y_ += 12;
  }
  bool End() { return p_.end(); }

 private:
  QPdfWriter& writer_;
  QPainter p_;
  QFont font_;
  int width_ = 0, height_ = 0, y_ = 0;
};

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

std::string ReportHtml(const LiftReport& report, const TraceList& names, const ReportHeading& heading) {
  std::string h =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Lift performance report</title>\n"
      "<style>\nbody{font-family:'DejaVu Sans',Arial,sans-serif;font-size:13px;margin:24px;color:#111}\n"
      "h1{font-size:22px}h2{font-size:16px;margin-top:26px}\n"
      "table{border-collapse:collapse;margin:6px 0}td,th{border-bottom:1px solid #ccc;padding:3px 10px;"
      "text-align:left}th{background:#f0f0f0}\n.notes li{margin:2px 0}.plot{margin:10px 0}\n</style>\n</head>\n<body>\n";
  h += "<h1>Lift performance report</h1>\n<p>" + Escape(heading.source) + "<br>" + Escape(SpanLine(report)) + "</p>\n";
  const std::vector<std::string> notes = ReportNotes(report);
  if (!notes.empty()) {
    h += "<ul class=\"notes\">\n";
    for (const std::string& n : notes) h += "<li>" + Escape(n) + "</li>\n";
    h += "</ul>\n";
  }
  h += "<h2>Plots</h2>\n";
  for (const PlotPlan& plan : ReportPlots(report)) {
    h += "<div class=\"plot\">" + PlotSvg(plan, kPlotWidth, kPlotHeight) + "</div>\n";
  }
  for (const ReportTable& t : ReportTables(report, names)) {
    h += "<h2>" + Escape(t.title) + "</h2>\n<table>\n<tr>";
    for (const std::string& c : t.columns) h += "<th>" + Escape(c) + "</th>";
    h += "</tr>\n";
    for (size_t r = 0; r < t.rows.size() && r < kDocumentRows; ++r) {
      h += "<tr>";
      for (const std::string& c : t.rows[r]) h += "<td>" + Escape(c) + "</td>";
      h += "</tr>\n";
    }
    h += "</table>\n";
    if (t.rows.size() > kDocumentRows) h += "<p>" + Escape(CutNote(t)) + "</p>\n";
    if (!t.note.empty()) h += "<p>" + Escape(t.note) + "</p>\n";
  }
  h += "</body>\n</html>\n";
  return h;
}

QByteArray ReportPdf(const LiftReport& report, const TraceList& names, const ReportHeading& heading) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(96);
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setTitle(QStringLiteral("Lift performance report"));
    writer.setCreator(QStringLiteral("Korvalog"));
    PdfFlow flow(writer);
    if (!flow.Ok()) return {};
    flow.Text("Lift performance report", 20, true);
    flow.Text(heading.source, 11);
    flow.Text(SpanLine(report), 11);
    flow.Gap(6);
    for (const std::string& n : ReportNotes(report)) flow.Text("• " + n, 10);
    flow.Gap(8);
    for (const PlotPlan& plan : ReportPlots(report)) flow.Plot(plan);
    for (const ReportTable& t : ReportTables(report, names)) flow.Table(t);
    if (!flow.End()) return {};
  }
  return buffer.data();
}

FileResult WriteReportHtml(const std::string& path, const LiftReport& report, const TraceList& names,
                           const ReportHeading& heading) {
  const std::unique_ptr<QGuiApplication> app = EnsureApplication();
  const std::string html = ReportHtml(report, names, heading);
  return WriteBytes(path, html.data(), html.size());
}

FileResult WriteReportPdf(const std::string& path, const LiftReport& report, const TraceList& names,
                          const ReportHeading& heading) {
  const std::unique_ptr<QGuiApplication> app = EnsureApplication();
  const QByteArray pdf = ReportPdf(report, names, heading);
  if (pdf.isEmpty()) return FileResult{false, path + ": the PDF could not be drawn"};
  return WriteBytes(path, pdf.constData(), static_cast<size_t>(pdf.size()));
}

}  // namespace korvalog
