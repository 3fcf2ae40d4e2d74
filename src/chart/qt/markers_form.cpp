#include "chart/qt/markers_form.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/time_text.h"
#include "ui/qt/kit_look.h"

namespace korvalog {

MarkersForm::MarkersForm(MarkerList& markers, QWidget* parent)
    : QWidget(parent, Qt::Tool), markers_(markers), table_(new QTableWidget(this)) {
  setWindowTitle(QStringLiteral("Markers"));
  setObjectName(QStringLiteral("MarkersForm"));
  setFont(KitFont());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  table_->setColumnCount(2);
  table_->setHorizontalHeaderLabels({QStringLiteral("Time"), QStringLiteral("Marker")});
  table_->verticalHeader()->hide();
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
  table_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(table_);
  auto* buttons = new QHBoxLayout;
  goTo_button_ = new QPushButton(QStringLiteral("Go to"), this);
  delete_ = new QPushButton(QStringLiteral("Delete"), this);
  buttons->addWidget(goTo_button_);
  buttons->addWidget(delete_);
  buttons->addStretch();
  layout->addLayout(buttons);
  connect(table_, &QTableWidget::cellChanged, this, &MarkersForm::Renamed);
  // A double click on the time goes there; on the label it renames.
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
    if (column == 0) GoToRow(row);
  });
  connect(goTo_button_, &QPushButton::clicked, this, [this] { GoToRow(table_->currentRow()); });
  connect(delete_, &QPushButton::clicked, this, &MarkersForm::DeleteChosen);
  resize(360, 300);
}

void MarkersForm::Reload() {
  filling_ = true;
  const int current = table_->currentRow();
  table_->setRowCount(static_cast<int>(markers_.Size()));
  for (size_t i = 0; i < markers_.Size(); ++i) {
    const int row = static_cast<int>(i);
    auto* time = new QTableWidgetItem(KitText(FormatTimeStamp(markers_[i].time)));
    time->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    table_->setItem(row, 0, time);
    table_->setItem(row, 1, new QTableWidgetItem(KitText(markers_[i].label)));
  }
  table_->resizeColumnToContents(0);
  if (current >= 0 && current < table_->rowCount()) table_->setCurrentCell(current, 1);
  filling_ = false;
}

void MarkersForm::Renamed(int row, int column) {
  if (filling_ || column != 1 || row < 0) return;
  if (markers_.Rename(static_cast<size_t>(row), KitBytes(table_->item(row, 1)->text())) && edited_) edited_();
  // Shows the label as kept (cut, or a free one for an empty text), once the
  // item that changed is done with its signal.
  QMetaObject::invokeMethod(this, [this] { Reload(); }, Qt::QueuedConnection);
}

void MarkersForm::DeleteChosen() {
  const int row = table_->currentRow();
  if (row < 0 || !markers_.Remove(static_cast<size_t>(row))) return;
  Reload();
  if (edited_) edited_();
}

void MarkersForm::GoToRow(int row) {
  if (row < 0 || static_cast<size_t>(row) >= markers_.Size() || !goTo_) return;
  goTo_(markers_[static_cast<size_t>(row)].time);
}

}  // namespace korvalog
