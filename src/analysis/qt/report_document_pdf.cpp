// The report as a PDF (A4): the first page for the building owner, then the
// plots and the tables, every page with a header naming the site and the
// lift and a footer with its number. The layout runs twice: once to count
// the pages, once to draw them with "Page n of N".
#include <QBuffer>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <numeric>

#include "analysis/qt/report_document.h"
#include "analysis/qt/report_painting.h"
#include "analysis/report_tables.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

constexpr int kEmptyPlotHeight = 56;

QColor VerdictColour(Verdict v) {
  switch (v) {
    case Verdict::Excellent: return QColor(0x16, 0x72, 0x3a);
    case Verdict::Good: return QColor(0x2e, 0x8b, 0x3a);
    case Verdict::Acceptable: return QColor(0xa8, 0x6a, 0x00);
    case Verdict::Poor: return QColor(0xc0, 0x39, 0x2b);
    default: return QColor(0x66, 0x66, 0x66);
  }
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A flowing layout on PDF pages. Without a painter it only measures and
// counts the pages.
class PdfFlow {
 public:
  PdfFlow(QPdfWriter& writer, QPainter* painter, std::string header, int pages)
      : writer_(writer), p_(painter), header_(std::move(header)), pages_(pages) {
    width_ = writer.width();
    height_ = writer.height();
    font_ = KitFont(kKitSansFamily, 10);
    top_ = QFontMetrics(KitFont(kKitSansFamily, 9)).height() + 10;
    bottom_ = height_ - top_;
    y_ = top_;
    Decorate();
  }
  int Pages() const { return page_; }

  void NewPage() {
    if (p_ != nullptr) writer_.newPage();
    ++page_;
    y_ = top_;
    Decorate();
  }
  void Room(int h) {
    if (y_ + h > bottom_ && y_ > top_) NewPage();
  }
  void Text(const std::string& text, int pixels, bool bold = false, QColor colour = Qt::black) {
    const QFont f = KitFont(kKitSansFamily, pixels, bold);
    const QRect box = QFontMetrics(f).boundingRect(QRect(0, 0, width_, 10000), Qt::TextWordWrap, Q(text));
    Room(box.height() + 4);
    if (p_ != nullptr) {
      p_->setFont(f);
      p_->setPen(colour);
      p_->drawText(QRect(0, y_, width_, box.height()), Qt::TextWordWrap, Q(text));
    }
    y_ += box.height() + 4;
  }
  void Gap(int h) { y_ += h; }
  void Plot(const PlotPlan& plan) {
    const int h = plan.empty.empty() ? kPlotHeight * width_ / kPlotWidth : kEmptyPlotHeight;
    Room(h + 6);
    if (p_ != nullptr) PaintPlot(*p_, plan, QRect(0, y_, width_, h), KitFont(kKitSansFamily, 11));
    y_ += h + 6;
  }
  // Columns take their content's width; when the table is wider than the
  // page, wide columns give way but never below their heading's longest
  // word, and headings wrap onto more lines rather than being cut.
  void Table(const ReportTable& t, const std::vector<QColor>& firstColumnColours = {}, int colourColumn = -1) {
    const QFontMetrics fm(font_);
    QFont boldFont = font_;
    boldFont.setBold(true);
    const QFontMetrics bm(boldFont);
    const size_t n = t.columns.size();
    std::vector<double> widths(n, 0), least(n, 0);
    for (size_t c = 0; c < n; ++c) {
      for (const QString& word : Q(t.columns[c]).split(' ')) least[c] = std::max<double>(least[c], bm.horizontalAdvance(word) + 10);
      widths[c] = std::max<double>(least[c], bm.horizontalAdvance(Q(t.columns[c])) + 10);
      for (const auto& row : t.rows) {
        const QFontMetrics& m = static_cast<int>(c) == colourColumn ? bm : fm;  // verdicts are bold
        if (c < row.size()) widths[c] = std::max<double>(widths[c], m.horizontalAdvance(Q(row[c])) + 10);
      }
    }
    const double wide = std::accumulate(widths.begin(), widths.end(), 0.0);
    for (size_t c = 0; c < n && wide > width_; ++c) {
      widths[c] = std::min<double>(widths[c], std::max<double>(least[c], width_ * 0.45));
    }
    double total = 0, spare = 0;
    for (size_t c = 0; c < n; ++c) {
      total += widths[c];
      spare += widths[c] - least[c];
    }
    if (total > width_ && spare > 0) {
      const double cut = std::min(1.0, (total - width_) / spare);
      for (size_t c = 0; c < n; ++c) widths[c] -= (widths[c] - least[c]) * cut;
    }
    int headH = 0;
    for (size_t c = 0; c < n; ++c) {
      headH = std::max(headH, bm.boundingRect(QRect(0, 0, static_cast<int>(widths[c]) - 6, 1000), Qt::TextWordWrap,
                                              Q(t.columns[c]))
                                  .height());
    }
    headH += 4;
    const int rowH = fm.height() + 4;
    // A table without title or headings (the facts of page 1) shows neither.
    const bool heads = std::any_of(t.columns.begin(), t.columns.end(), [](const std::string& c) { return !c.empty(); });
    if (!heads) headH = 0;
    // The title stays with its heading and first row.
    Room(QFontMetrics(KitFont(kKitSansFamily, 13, true)).height() + 4 + headH + 2 * rowH);
    if (!t.title.empty()) Text(t.title, 13, true);
    // Cells wrap onto more lines rather than being cut.
    const auto heightOf = [&](const std::vector<std::string>& cells) {
      int h = 0;
      for (size_t c = 0; c < n && c < cells.size(); ++c) {
        const QFontMetrics& m = static_cast<int>(c) == colourColumn ? bm : fm;  // verdicts are bold
        h = std::max(h, m.boundingRect(QRect(0, 0, static_cast<int>(widths[c]) - 6, 1000), Qt::TextWordWrap,
                                       Q(cells[c]))
                            .height());
      }
      return std::max(h, fm.height()) + 4;
    };
    const auto line = [&](const std::vector<std::string>& cells, bool head, int row) {
      const int h = head ? headH : heightOf(cells);
      if (!head && y_ + h > bottom_) {  // a table carried over repeats its heading
        NewPage();
        if (heads) DrawRow(t.columns, true, -1, headH, widths, boldFont, total, firstColumnColours, colourColumn);
      }
      DrawRow(cells, head, row, h, widths, head ? boldFont : font_, total, firstColumnColours, colourColumn);
    };
    Room(headH + rowH);
    if (heads) line(t.columns, true, -1);
    for (size_t r = 0; r < t.rows.size(); ++r) line(t.rows[r], false, static_cast<int>(r));
    if (!t.note.empty()) Text(t.note, 10);
    y_ += 12;
  }

 private:
  void DrawRow(const std::vector<std::string>& cells, bool head, int row, int h, const std::vector<double>& widths,
               const QFont& font, double total, const std::vector<QColor>& colours, int colourColumn) {
    if (p_ != nullptr) {
      QFont bold = font;
      bold.setBold(true);
      p_->setFont(font);
      if (head) p_->fillRect(QRectF(0, y_, std::min<double>(width_, total), h), QColor(0xf0, 0xf0, 0xf0));
      double x = 0;
      for (size_t c = 0; c < widths.size(); ++c) {
        const QString text = c < cells.size() ? Q(cells[c]) : QString();
        const bool coloured =
            !head && static_cast<int>(c) == colourColumn && row >= 0 && static_cast<size_t>(row) < colours.size();
        p_->setPen(coloured ? colours[row] : QColor(Qt::black));
        p_->setFont(coloured ? bold : font);
        p_->drawText(QRectF(x + 3, y_ + 2, widths[c] - 6, h - 2), Qt::AlignTop | Qt::AlignLeft | Qt::TextWordWrap,
                     text);
        x += widths[c];
      }
      p_->setPen(QPen(QColor(0xcc, 0xcc, 0xcc), 0));
      p_->drawLine(QPointF(0, y_ + h), QPointF(std::min<double>(width_, x), y_ + h));
    }
    y_ += h;
  }

  // The header (site, lift, title) and the footer (page n of N).
  void Decorate() {
    if (p_ == nullptr) return;
    const QFont f = KitFont(kKitSansFamily, 9);
    const QFontMetrics fm(f);
    p_->setFont(f);
    p_->setPen(QColor(0x44, 0x44, 0x44));
    p_->drawText(QRect(0, 0, width_, fm.height()), Qt::AlignLeft, Q(header_));
    p_->drawText(QRect(0, 0, width_, fm.height()), Qt::AlignRight, QStringLiteral("Lift performance report"));
    p_->setPen(QPen(QColor(0xbb, 0xbb, 0xbb), 0));
    p_->drawLine(QPointF(0, fm.height() + 3), QPointF(width_, fm.height() + 3));
    p_->setPen(QColor(0x44, 0x44, 0x44));
    p_->drawText(QRect(0, height_ - fm.height(), width_, fm.height()), Qt::AlignHCenter,
                 QStringLiteral("Page %1 of %2").arg(page_).arg(pages_));
  }

  QPdfWriter& writer_;
  QPainter* p_;
  std::string header_;
  QFont font_;
  int pages_ = 0, page_ = 1;
  int width_ = 0, height_ = 0, top_ = 0, bottom_ = 0, y_ = 0;
};

ReportTable KeyFigureTable(const ReportSummary& s, std::vector<QColor>& colours) {
  ReportTable t;
  t.title = "Key figures";
  t.columns = {"Figure", "Value", "Verdict", "Target"};
  for (const KeyFigureRow& row : s.figures) {
    const std::string verdict(VerdictWord(row.verdict));
    t.rows.push_back({row.title, row.valueText, verdict.empty() ? (row.measured ? "for information" : "") : verdict,
                      row.targetText});
    colours.push_back(VerdictColour(row.verdict));
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
  std::vector<QColor> colours;
  flow.Table(KeyFigureTable(s, colours), colours, 2);
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
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(96);
    writer.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
    writer.setTitle(QStringLiteral("Lift performance report: ") + Q(header));
    writer.setCreator(QStringLiteral("Korvalog"));
    PdfFlow count(writer, nullptr, header, 0);
    Lay(count, report, tables, plots, summary, heading.source);
    QPainter painter;
    if (!painter.begin(&writer)) return {};
    PdfFlow flow(writer, &painter, header, count.Pages());
    Lay(flow, report, tables, plots, summary, heading.source);
    if (!painter.end()) return {};
  }
  return buffer.data();
}

}  // namespace korvalog
