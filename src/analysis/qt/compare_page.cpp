#include "analysis/qt/compare_page.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/qt/compare_document.h"

namespace korvalog {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString WithUnit(const std::string& number, const CompareRow& r) {
  if (number.empty()) return QStringLiteral("not measured");
  return Q(r.unit == "s" || r.unit == "%" ? number + " " + r.unit : number);
}

}  // namespace

ComparePage::ComparePage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ComparePage"));
  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  auto* inner = new QWidget(scroll);
  auto* layout = new QVBoxLayout(inner);
  heading_ = new QLabel(inner);
  heading_->setWordWrap(true);
  heading_->setTextFormat(Qt::RichText);
  layout->addWidget(heading_);
  table_ = new QTableWidget(inner);
  table_->setObjectName(QStringLiteral("compareTable"));
  table_->setColumnCount(5);
  table_->setHorizontalHeaderLabels({QStringLiteral("Figure"), QStringLiteral("Before"), QStringLiteral("After"),
                                     QStringLiteral("Change"), QString()});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  table_->setMinimumHeight(320);
  layout->addWidget(table_, 1);
  for (int i = 0; i < 2; ++i) {
    auto* plot = new PlotView(inner);
    plot->setMinimumHeight(220);
    plots_.push_back(plot);
    layout->addWidget(plot);
  }
  scroll->setWidget(inner);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll);
}

void ComparePage::Show(const ReportComparison& c, std::vector<PlotPlan> plots) {
  QString head = QStringLiteral("<b>Before</b> %1 &nbsp; %2<br><b>After</b> %3 &nbsp; %4<br><b>%5</b>")
                     .arg(Q(c.before.source).toHtmlEscaped(), Q(c.before.spanText).toHtmlEscaped(),
                          Q(c.after.source).toHtmlEscaped(), Q(c.after.spanText).toHtmlEscaped(),
                          Q(c.VerdictLine()).toHtmlEscaped());
  for (const std::string& n : c.notes) head += QStringLiteral("<br>• ") + Q(n).toHtmlEscaped();
  for (const std::string& n : c.unmatchedBefore) head += QStringLiteral("<br>• Before only: ") + Q(n).toHtmlEscaped();
  for (const std::string& n : c.unmatchedAfter) head += QStringLiteral("<br>• After only: ") + Q(n).toHtmlEscaped();
  heading_->setText(head);
  table_->setUpdatesEnabled(false);
  table_->setRowCount(static_cast<int>(c.rows.size()));
  for (int i = 0; i < static_cast<int>(c.rows.size()); ++i) {
    const CompareRow& r = c.rows[static_cast<size_t>(i)];
    const QString cells[] = {Q(r.Label()), WithUnit(r.BeforeText(), r), WithUnit(r.AfterText(), r), Q(r.ChangeText()),
                             Q(ChangeCellText(r))};
    for (int col = 0; col < 5; ++col) {
      auto* item = new QTableWidgetItem(cells[col]);
      if (col >= 1 && col <= 3) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (col == 4) {
        item->setForeground(r.change == Change::Better  ? QColor(0x2e, 0x8b, 0x3a)
                            : r.change == Change::Worse ? QColor(0xc0, 0x39, 0x2b)
                                                        : QColor(0x66, 0x66, 0x66));
      }
      table_->setItem(i, col, item);
    }
  }
  table_->resizeColumnsToContents();
  table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  table_->setUpdatesEnabled(true);
  for (size_t i = 0; i < plots_.size(); ++i) plots_[i]->SetPlan(i < plots.size() ? std::move(plots[i]) : PlotPlan{});
}

}  // namespace korvalog
