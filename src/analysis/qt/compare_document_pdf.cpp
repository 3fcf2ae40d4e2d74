// The comparison as a PDF (A4): the same content as the page, the table
// drawn row by row and the overlaid histograms with the report's painting
// code, a header naming the site on every page and its number in the footer.
#include <QBuffer>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "analysis/qt/compare_document.h"
#include "analysis/qt/report_document.h"
#include "analysis/qt/report_painting.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

class Flow {
 public:
  Flow(QPdfWriter& w, QPainter& p, std::string header) : w_(w), p_(p), header_(std::move(header)) {
    top_ = QFontMetrics(KitFont(kKitSansFamily, 9)).height() + 10;
    bottom_ = w.height() - top_;
    y_ = top_;
    Decorate();
  }
  int Width() const { return w_.width(); }
  void Room(int h) {
    if (y_ + h <= bottom_ || y_ <= top_) return;
    w_.newPage();
    ++page_;
    y_ = top_;
    Decorate();
  }
  void Text(const std::string& text, int pixels, bool bold = false, QColor colour = Qt::black) {
    const QFont f = KitFont(kKitSansFamily, pixels, bold);
    const QRect box = QFontMetrics(f).boundingRect(QRect(0, 0, Width(), 10000), Qt::TextWordWrap, Q(text));
    Room(box.height() + 4);
    p_.setFont(f);
    p_.setPen(colour);
    p_.drawText(QRect(0, y_, Width(), box.height()), Qt::TextWordWrap, Q(text));
    y_ += box.height() + 4;
  }
  // One table row: cells at the given shares of the width.
  void Row(const std::vector<std::string>& cells, const std::vector<double>& shares, bool bold, QColor last) {
    const QFont f = KitFont(kKitSansFamily, 10, bold);
    const int h = QFontMetrics(f).height() + 4;
    Room(h);
    p_.setFont(f);
    double x = 0;
    for (size_t i = 0; i < cells.size() && i < shares.size(); ++i) {
      const int w = static_cast<int>(shares[i] * Width());
      p_.setPen(i + 1 == cells.size() ? last : QColor(Qt::black));
      const QString text = QFontMetrics(f).elidedText(Q(cells[i]), Qt::ElideRight, w - 6);
      p_.drawText(QRect(static_cast<int>(x), y_, w - 6, h), Qt::AlignVCenter | (i > 0 && i < 4 ? Qt::AlignRight : Qt::AlignLeft), text);
      x += w;
    }
    p_.setPen(QColor(0xcc, 0xcc, 0xcc));
    p_.drawLine(0, y_ + h - 1, Width(), y_ + h - 1);
    y_ += h;
  }
  void Plot(const PlotPlan& plan) {
    const int h = plan.empty.empty() ? kPlotHeight * Width() / kPlotWidth : 56;
    Room(h + 6);
    PaintPlot(p_, plan, QRect(0, y_, Width(), h), KitFont(kKitSansFamily, 11));
    y_ += h + 6;
  }
  void Gap(int h) { y_ += h; }

 private:
  void Decorate() {
    p_.setFont(KitFont(kKitSansFamily, 9));
    p_.setPen(QColor(0x55, 0x55, 0x55));
    p_.drawText(QRect(0, 0, Width(), top_ - 6), Qt::AlignLeft | Qt::AlignTop, Q(header_));
    p_.drawText(QRect(0, bottom_ + 6, Width(), top_), Qt::AlignRight | Qt::AlignTop,
                QStringLiteral("Page %1").arg(page_));
  }
  QPdfWriter& w_;
  QPainter& p_;
  std::string header_;
  int top_ = 0, bottom_ = 0, y_ = 0, page_ = 1;
};

QColor ChangeColour(Change c) {
  return c == Change::Better ? QColor(0x2e, 0x8b, 0x3a) : c == Change::Worse ? QColor(0xc0, 0x39, 0x2b) : QColor(0x66, 0x66, 0x66);
}

}  // namespace

QByteArray ComparePdf(const ReportComparison& c, const std::vector<PlotPlan>& plots, const SiteDetails& site) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(96);
    writer.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
    writer.setTitle(QStringLiteral("Lift comparison"));
    QPainter p;
    if (!p.begin(&writer)) return {};
    Flow flow(writer, p, "Lift comparison \xC2\xB7 " + SiteTitle(site));
    flow.Text("Lift comparison: before and after", 22, true);
    flow.Text(SiteTitle(site), 16);
    flow.Text("Before: " + c.before.spanText + " \xE2\x80\x94 " + c.before.source, 11);
    flow.Text("After: " + c.after.spanText + " \xE2\x80\x94 " + c.after.source, 11);
    flow.Text(c.VerdictLine(), 13, true);
    for (const std::string& n : c.notes) flow.Text(n, 10, false, QColor(0x44, 0x44, 0x44));
    const std::vector<double> shares = {0.40, 0.13, 0.13, 0.11, 0.23};
    flow.Row({"Figure", "Before", "After", "Change", ""}, shares, true, Qt::black);
    std::string group;
    for (const CompareRow& r : c.rows) {
      if (r.group != group) {
        group = r.group;
        flow.Gap(4);
        flow.Row({group}, {1.0}, true, Qt::black);
      }
      const std::string unit = r.unit == "s" || r.unit == "%" ? " " + r.unit : "";
      flow.Row({r.Label(), r.measuredBefore ? r.BeforeText() + unit : "not measured",
                r.measuredAfter ? r.AfterText() + unit : "not measured", r.ChangeText(), ChangeCellText(r)},
               shares, false, ChangeColour(r.change));
    }
    for (const std::string& n : c.unmatchedBefore) flow.Text("Before only: " + n, 10);
    for (const std::string& n : c.unmatchedAfter) flow.Text("After only: " + n, 10);
    flow.Gap(10);
    for (const PlotPlan& plan : plots) flow.Plot(plan);
    p.end();
  }
  return buffer.data();
}

}  // namespace korvalog
