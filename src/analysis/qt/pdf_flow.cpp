#include "analysis/qt/pdf_flow.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <algorithm>
#include <numeric>

#include "analysis/qt/report_document.h"
#include "analysis/qt/report_painting.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

constexpr int kEmptyPlotHeight = 56;

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QColor VerdictPdfColour(Verdict v) {
  switch (v) {
    case Verdict::Excellent: return QColor(0x16, 0x72, 0x3a);
    case Verdict::Good: return QColor(0x2e, 0x8b, 0x3a);
    case Verdict::Acceptable: return QColor(0xa8, 0x6a, 0x00);
    case Verdict::Poor: return QColor(0xc0, 0x39, 0x2b);
    default: return QColor(0x66, 0x66, 0x66);
  }
}

PdfFlow::PdfFlow(QPdfWriter& writer, QPainter* painter, const PdfSetup& setup, int pages)
    : writer_(writer), p_(painter), setup_(setup), pages_(pages) {
  width_ = writer.width();
  height_ = writer.height();
  font_ = KitFont(kKitSansFamily, 10);
  top_ = QFontMetrics(KitFont(kKitSansFamily, 9)).height() + 10;
  bottom_ = height_ - top_;
  y_ = top_;
  Decorate();
}

void PdfFlow::NewPage() {
  if (p_ != nullptr) writer_.newPage();
  ++page_;
  y_ = top_;
  Decorate();
}

void PdfFlow::Room(int h) {
  if (y_ + h > bottom_ && y_ > top_) NewPage();
}

void PdfFlow::Text(const std::string& text, int pixels, bool bold, QColor colour) {
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

void PdfFlow::Plot(const PlotPlan& plan) {
  const int h = plan.empty.empty() ? kPlotHeight * width_ / kPlotWidth : kEmptyPlotHeight;
  Room(h + 6);
  if (p_ != nullptr) PaintPlot(*p_, plan, QRect(0, y_, width_, h), KitFont(kKitSansFamily, 11));
  y_ += h + 6;
}

void PdfFlow::Table(const ReportTable& t, const std::vector<std::vector<QColor>>& colours) {
  const QFontMetrics fm(font_);
  QFont boldFont = font_;
  boldFont.setBold(true);
  const QFontMetrics bm(boldFont);
  const size_t n = t.columns.size();
  const auto coloured = [&](size_t row, size_t c) {
    return row < colours.size() && c < colours[row].size() && colours[row][c].isValid();
  };
  // The widest line of a cell that may hold several.
  const auto advance = [](const QFontMetrics& m, const std::string& text) {
    int w = 0;
    for (const QString& line : Q(text).split('\n')) w = std::max(w, m.horizontalAdvance(line));
    return w;
  };
  std::vector<double> widths(n, 0), least(n, 0);
  for (size_t c = 0; c < n; ++c) {
    for (const QString& word : Q(t.columns[c]).split(' ')) least[c] = std::max<double>(least[c], bm.horizontalAdvance(word) + 10);
    widths[c] = std::max<double>(least[c], bm.horizontalAdvance(Q(t.columns[c])) + 10);
    for (size_t r = 0; r < t.rows.size(); ++r) {
      if (c >= t.rows[r].size()) continue;
      const QFontMetrics& m = coloured(r, c) ? bm : fm;
      widths[c] = std::max<double>(widths[c], advance(m, t.rows[r][c]) + 10);
      // A cell wraps between its words, never inside one (a lift's name).
      for (const QString& word : Q(t.rows[r][c]).split(QRegularExpression(QStringLiteral("[ \n]")))) {
        least[c] = std::max<double>(least[c], m.horizontalAdvance(word) + 10);
      }
    }
    widths[c] = std::max(widths[c], least[c]);
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
  const auto heightOf = [&](const std::vector<std::string>& cells, size_t row) {
    int h = 0;
    for (size_t c = 0; c < n && c < cells.size(); ++c) {
      const QFontMetrics& m = coloured(row, c) ? bm : fm;
      h = std::max(h, m.boundingRect(QRect(0, 0, static_cast<int>(widths[c]) - 6, 1000), Qt::TextWordWrap,
                                     Q(cells[c]))
                          .height());
    }
    return std::max(h, fm.height()) + 4;
  };
  const auto line = [&](const std::vector<std::string>& cells, bool head, int row) {
    const int h = head ? headH : heightOf(cells, static_cast<size_t>(row));
    if (!head && y_ + h > bottom_) {  // a table carried over repeats its heading
      NewPage();
      if (heads) DrawRow(t.columns, true, -1, headH, widths, boldFont, total, colours);
    }
    DrawRow(cells, head, row, h, widths, head ? boldFont : font_, total, colours);
  };
  Room(headH + rowH);
  if (heads) line(t.columns, true, -1);
  for (size_t r = 0; r < t.rows.size(); ++r) line(t.rows[r], false, static_cast<int>(r));
  if (!t.note.empty()) Text(t.note, 10);
  y_ += 12;
}

void PdfFlow::DrawRow(const std::vector<std::string>& cells, bool head, int row, int h,
                      const std::vector<double>& widths, const QFont& font, double total,
                      const std::vector<std::vector<QColor>>& colours) {
  if (p_ != nullptr) {
    QFont bold = font;
    bold.setBold(true);
    p_->setFont(font);
    if (head) p_->fillRect(QRectF(0, y_, std::min<double>(width_, total), h), QColor(0xf0, 0xf0, 0xf0));
    double x = 0;
    for (size_t c = 0; c < widths.size(); ++c) {
      const QString text = c < cells.size() ? Q(cells[c]) : QString();
      const auto r = static_cast<size_t>(row);
      const bool coloured = !head && row >= 0 && r < colours.size() && c < colours[r].size() && colours[r][c].isValid();
      p_->setPen(coloured ? colours[r][c] : QColor(Qt::black));
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

void PdfFlow::Row(const std::vector<std::string>& cells, const std::vector<double>& shares, bool bold, QColor last) {
  const QFont f = KitFont(kKitSansFamily, 10, bold);
  const QFontMetrics fm(f);
  const int h = fm.height() + 4;
  Room(h);
  if (p_ != nullptr) {
    p_->setFont(f);
    double x = 0;
    for (size_t i = 0; i < cells.size() && i < shares.size(); ++i) {
      const int w = static_cast<int>(shares[i] * width_);
      p_->setPen(i + 1 == cells.size() ? last : QColor(Qt::black));
      const QString text = fm.elidedText(Q(cells[i]), Qt::ElideRight, w - 6);
      // Numbers (the middle columns) line up on the right.
      const Qt::Alignment side = i > 0 && i + 1 < cells.size() ? Qt::AlignRight : Qt::AlignLeft;
      p_->drawText(QRect(static_cast<int>(x), y_, w - 6, h), Qt::AlignVCenter | side, text);
      x += w;
    }
    p_->setPen(QColor(0xcc, 0xcc, 0xcc));
    p_->drawLine(0, y_ + h - 1, width_, y_ + h - 1);
  }
  y_ += h;
}

void PdfFlow::Trend(const std::string& label, const std::vector<std::vector<double>>& series,
                    const std::vector<QColor>& colours, int height) {
  Room(height + 4);
  if (p_ != nullptr) {
    const int labelWidth = width_ / 3;
    const int plotWidth = series.empty() ? 0 : (width_ - labelWidth) / static_cast<int>(series.size());
    p_->setFont(font_);
    p_->setPen(Qt::black);
    p_->drawText(QRect(0, y_, labelWidth - 6, height), Qt::AlignVCenter | Qt::AlignLeft,
                 QFontMetrics(font_).elidedText(Q(label), Qt::ElideRight, labelWidth - 6));
    for (size_t s = 0; s < series.size(); ++s) {
      const std::vector<double>& v = series[s];
      const QRectF box(labelWidth + static_cast<double>(s) * plotWidth + 4, y_ + 3, plotWidth - 12, height - 6);
      p_->setPen(QPen(s < colours.size() ? colours[s] : QColor(Qt::black), 1.5));
      if (v.size() == 1) p_->drawEllipse(box.center(), 2.5, 2.5);
      if (v.size() < 2) continue;
      const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
      const double span = *hi - *lo > 0 ? *hi - *lo : 1;
      QPolygonF line;
      for (size_t i = 0; i < v.size(); ++i) {
        line << QPointF(box.left() + box.width() * static_cast<double>(i) / static_cast<double>(v.size() - 1),
                        box.bottom() - box.height() * (v[i] - *lo) / span);
      }
      p_->drawPolyline(line);
    }
    p_->setPen(QPen(QColor(0xcc, 0xcc, 0xcc), 0));
    p_->drawLine(QPointF(0, y_ + height), QPointF(width_, y_ + height));
  }
  y_ += height + 4;
}

// The header (subject, kind) and the footer (page n of N).
void PdfFlow::Decorate() {
  if (p_ == nullptr) return;
  const QFont f = KitFont(kKitSansFamily, 9);
  const QFontMetrics fm(f);
  p_->setFont(f);
  p_->setPen(QColor(0x44, 0x44, 0x44));
  p_->drawText(QRect(0, 0, width_, fm.height()), Qt::AlignLeft, Q(setup_.headerLeft));
  p_->drawText(QRect(0, 0, width_, fm.height()), Qt::AlignRight, Q(setup_.headerRight));
  p_->setPen(QPen(QColor(0xbb, 0xbb, 0xbb), 0));
  p_->drawLine(QPointF(0, fm.height() + 3), QPointF(width_, fm.height() + 3));
  p_->setPen(QColor(0x44, 0x44, 0x44));
  p_->drawText(QRect(0, height_ - fm.height(), width_, fm.height()), Qt::AlignHCenter,
               QStringLiteral("Page %1 of %2").arg(page_).arg(pages_));
}

QByteArray DrawPdf(const PdfSetup& setup, const std::function<void(PdfFlow&)>& lay) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    writer.setResolution(96);
    writer.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
    writer.setTitle(Q(setup.title));
    writer.setCreator(QStringLiteral("Korvalog"));
    PdfFlow count(writer, nullptr, setup, 0);
    lay(count);
    QPainter painter;
    if (!painter.begin(&writer)) return {};
    PdfFlow flow(writer, &painter, setup, count.Pages());
    lay(flow);
    if (!painter.end()) return {};
  }
  return buffer.data();
}

}  // namespace korvalog
