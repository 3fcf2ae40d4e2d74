#include "chart/qt/violations_form.h"

#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include "base/time_text.h"
#include "chart/pointer_readout.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/window_helpers.h"

namespace korvalog {
namespace {

// More rows than anyone reads; the count above the list says how many there are.
constexpr size_t kRowsShown = 100000;

QTableWidgetItem* Cell(const std::string& text) {
  auto* item = new QTableWidgetItem(KitText(text));
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  return item;
}

}  // namespace

ViolationsForm::ViolationsForm(QWidget* parent) : QWidget(parent, Qt::Tool), table_(new QTableWidget(this)) {
  setWindowTitle(QStringLiteral("Violations"));
  setObjectName(QStringLiteral("ViolationsForm"));
  setFont(KitFont());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  table_->setColumnCount(6);
  table_->setHorizontalHeaderLabels({QStringLiteral("Time"), QStringLiteral("Step"), QStringLiteral("Violation"),
                                     QStringLiteral("Limit"), QStringLiteral("Took"), QStringLiteral("Channel")});
  table_->verticalHeader()->hide();
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(table_);
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { Activated(row); });
  connect(table_, &QTableWidget::cellActivated, this, [this](int row, int) { Activated(row); });
  resize(560, 360);
}

void ViolationsForm::Show(const CaptureFindings& findings, const TraceList& traces,
                          std::function<void(const SequenceViolation&)> goTo) {
  goTo_ = std::move(goTo);
  const size_t n = std::min(findings.violations.size(), kRowsShown);
  violations_.assign(findings.violations.begin(), findings.violations.begin() + static_cast<std::ptrdiff_t>(n));
  setWindowTitle(QStringLiteral("Violations (%1)").arg(findings.violations.size()));
  table_->setRowCount(0);
  table_->setRowCount(static_cast<int>(n));
  for (size_t i = 0; i < n; ++i) {
    const SequenceViolation& v = violations_[i];
    const int row = static_cast<int>(i);
    table_->setItem(row, 0, Cell(FormatTimeStamp(v.time)));
    table_->setItem(row, 1, Cell(std::to_string(v.step)));
    table_->setItem(row, 2, Cell(ViolationKindText(v.kind)));
    table_->setItem(row, 3, Cell(ViolationLimitText(v)));
    table_->setItem(row, 4, Cell(v.step > 1 ? FormatDuration(v.took) : std::string()));
    table_->setItem(row, 5, Cell(ChannelLabel(traces, v.channel)));
  }
  table_->resizeColumnsToContents();
  if (!isVisible()) FitOnScreen(*this, parentWidget() ? parentWidget()->window() : nullptr);
  show();
  raise();
}

void ViolationsForm::Activated(int row) {
  if (row < 0 || row >= Rows() || !goTo_) return;
  goTo_(violations_[static_cast<size_t>(row)]);
}

}  // namespace korvalog
