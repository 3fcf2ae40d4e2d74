#pragma once
// The one page loop of every report PDF (the lift report, the comparison,
// the fleet report): A4 pages with a header (the document's subject on the
// left, its kind on the right) and "Page n of N" at the foot, text, tables,
// plots and trend lines flowing from page to page. The document is laid out
// twice: once to count the pages, once to draw them.
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <functional>
#include <string>
#include <vector>

#include "analysis/report_plots.h"
#include "analysis/report_tables.h"
#include "analysis/report_targets.h"

class QPainter;
class QPdfWriter;

namespace korvalog {

struct PdfSetup {
  std::string title;        // the PDF's own title
  std::string headerLeft;   // the subject, on every page
  std::string headerRight;  // the kind of document, on every page
  bool landscape = false;
};

class PdfFlow {
 public:
  // Without a painter it only measures and counts the pages.
  PdfFlow(QPdfWriter& writer, QPainter* painter, const PdfSetup& setup, int pages);
  int Pages() const { return page_; }
  int Width() const { return width_; }

  void NewPage();
  // Starts a new page unless `h` more pixels fit on this one.
  void Room(int h);
  void Gap(int h) { y_ += h; }
  void Text(const std::string& text, int pixels, bool bold = false, QColor colour = Qt::black);
  void Plot(const PlotPlan& plan);
  // Columns take their content's width; when the table is wider than the
  // page, wide columns give way but never below their heading's longest
  // word, and cells wrap (also at new lines) rather than being cut. A cell
  // with a valid colour in `colours` (by row, then column) is drawn in it,
  // in bold.
  void Table(const ReportTable& t, const std::vector<std::vector<QColor>>& colours = {});
  // One row of cells at the given shares of the width; the last in `last`.
  void Row(const std::vector<std::string>& cells, const std::vector<double>& shares, bool bold, QColor last);
  // A label and small line plots side by side (each series scaled on its
  // own), `height` pixels tall.
  void Trend(const std::string& label, const std::vector<std::vector<double>>& series,
             const std::vector<QColor>& colours, int height = 28);

 private:
  void DrawRow(const std::vector<std::string>& cells, bool head, int row, int h, const std::vector<double>& widths,
               const QFont& font, double total, const std::vector<std::vector<QColor>>& colours);
  void Decorate();

  QPdfWriter& writer_;
  QPainter* p_;
  PdfSetup setup_;
  QFont font_;
  int pages_ = 0, page_ = 1;
  int width_ = 0, height_ = 0, top_ = 0, bottom_ = 0, y_ = 0;
};

// A verdict's colour in the PDFs, as the HTML pages show it.
QColor VerdictPdfColour(Verdict v);

// The PDF that `lay` fills, laid out twice (the page count first); empty
// when it could not be drawn.
QByteArray DrawPdf(const PdfSetup& setup, const std::function<void(PdfFlow&)>& lay);

}  // namespace korvalog
