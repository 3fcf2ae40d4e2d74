#include "analysis/qt/roles_form.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvalog {
namespace {

constexpr int kRoleColumn = 2, kFloorColumn = 3;

}  // namespace

TRolesForm::TRolesForm(CaptureData& data, CaptureView& view, QWidget* parent)
    : QWidget(parent, Qt::Window), data_(data), view_(view) {
  setObjectName(QStringLiteral("RolesForm"));
  setWindowTitle(QStringLiteral("Channel roles"));
  resize(520, 560);
  auto* outer = new QVBoxLayout(this);
  hint_ = new QLabel(this);
  hint_->setObjectName(QStringLiteral("lHint"));
  hint_->setWordWrap(true);
  outer->addWidget(hint_);
  table_ = new QTableWidget(kChannelCount, 4, this);
  table_->setObjectName(QStringLiteral("tRoles"));
  table_->setHorizontalHeaderLabels({QStringLiteral("Ch"), QStringLiteral("Name"), QStringLiteral("Role"),
                                     QStringLiteral("Floor")});
  table_->verticalHeader()->setVisible(false);
  table_->verticalHeader()->setDefaultSectionSize(24);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    const int r = ch - 1;
    table_->setItem(r, 0, new QTableWidgetItem(QString::number(ch)));
    table_->setItem(r, 1, new QTableWidgetItem);
    auto* role = new QComboBox(table_);
    for (int i = 0; i < kRoleCount; ++i) role->addItem(QString::fromUtf8(RoleTitle(static_cast<ChannelRole>(i)).data()));
    auto* floor = new QSpinBox(table_);
    floor->setRange(-99, 999);
    table_->setCellWidget(r, kRoleColumn, role);
    table_->setCellWidget(r, kFloorColumn, floor);
    connect(role, &QComboBox::currentIndexChanged, this, [this, ch, floor](int index) {
      if (filling_) return;
      SetRole(ch, static_cast<ChannelRole>(index), floor->value());
    });
    connect(floor, &QSpinBox::valueChanged, this, [this, ch](int value) {
      if (filling_) return;
      SetRole(ch, edited_[ch].role, value);
    });
  }
  table_->resizeColumnToContents(0);
  table_->setColumnWidth(kRoleColumn, 200);
  outer->addWidget(table_, 1);

  auto* buttons = new QHBoxLayout;
  auto* propose = new QPushButton(QStringLiteral("Propose from names"), this);
  propose->setObjectName(QStringLiteral("bPropose"));
  auto* clear = new QPushButton(QStringLiteral("Clear all"), this);
  clear->setObjectName(QStringLiteral("bClear"));
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("bOK"));
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("bCancel"));
  buttons->addWidget(propose);
  buttons->addWidget(clear);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  outer->addLayout(buttons);
  connect(propose, &QPushButton::clicked, this, &TRolesForm::ProposeFromNames);
  connect(clear, &QPushButton::clicked, this, &TRolesForm::ClearAll);
  connect(ok, &QPushButton::clicked, this, [this] {
    Accept();
    close();
  });
  connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

void TRolesForm::ShowFor(int channel) {
  edited_ = view_.Traces.Roles();
  if (!edited_.Any()) {
    edited_ = ProposeRoles(view_.Traces.Table());
    hint_->setText(QStringLiteral("Roles proposed from the channel names: check them and press OK."));
  } else {
    hint_->setText(QStringLiteral("What each input means to the lift. Calls carry their floor."));
  }
  Fill();
  if (channel >= 1 && channel <= kChannelCount) {
    table_->setCurrentCell(channel - 1, kRoleColumn);
    table_->scrollToItem(table_->item(channel - 1, 0));
  }
  show();
  raise();
  activateWindow();
}

void TRolesForm::ProposeFromNames() {
  const ChannelRoles proposed = ProposeRoles(view_.Traces.Table());
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    if (edited_[ch].role == ChannelRole::None) edited_.Set(ch, proposed[ch].role, proposed[ch].floor);
  }
  Fill();
}

void TRolesForm::ClearAll() {
  edited_.Clear();
  Fill();
}

void TRolesForm::Accept() {
  if (edited_ == view_.Traces.Roles()) return;
  view_.Traces.SetRoles(edited_);
  // Roles are saved with the capture, so a changed role is a change to save.
  if (data_.DataPresent.load(std::memory_order_acquire) != 0) data_.DataModified.store(1, std::memory_order_release);
  if (onAccepted_) onAccepted_();
}

void TRolesForm::SetRole(int channel, ChannelRole role, int floor) {
  edited_.Set(channel, role, floor);
  FillRow(channel);
}

void TRolesForm::Fill() {
  for (int ch = 1; ch <= kChannelCount; ++ch) FillRow(ch);
}

void TRolesForm::FillRow(int channel) {
  filling_ = true;
  const int r = channel - 1;
  table_->item(r, 1)->setText(QString::fromStdString(view_.Traces.Name(r + 1)));
  auto* role = static_cast<QComboBox*>(table_->cellWidget(r, kRoleColumn));
  auto* floor = static_cast<QSpinBox*>(table_->cellWidget(r, kFloorColumn));
  const ChannelRoleEntry& e = edited_[channel];
  role->setCurrentIndex(static_cast<int>(e.role));
  floor->setEnabled(RoleHasFloor(e.role));
  floor->setValue(e.floor);
  filling_ = false;
}

}  // namespace korvalog
