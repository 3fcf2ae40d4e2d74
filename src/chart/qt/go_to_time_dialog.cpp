#include "chart/qt/go_to_time_dialog.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "base/time_text.h"
#include "chart/pointer_readout.h"
#include "core/capture_data.h"
#include "ui/qt/kit_look.h"

namespace korvalog {

GoToTimeDialog::GoToTimeDialog(const CaptureData& data, double proposed, QWidget* parent)
    : QDialog(parent), data_(data), edit_(new QLineEdit(this)), message_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Go to time"));
  setObjectName(QStringLiteral("GoToTimeDialog"));
  setFont(KitFont());
  auto* layout = new QVBoxLayout(this);
  auto* prompt = new QLabel(QStringLiteral("Time (dd/mm hhnn:ss.zzz, seconds from the start, or ISO 8601):"), this);
  layout->addWidget(prompt);
  edit_->setText(KitText(FormatTimeStamp(proposed)));
  edit_->selectAll();
  edit_->setMinimumWidth(320);
  layout->addWidget(edit_);
  message_->setWordWrap(true);
  message_->setMinimumHeight(QFontMetrics(message_->font()).lineSpacing() * 3);
  message_->setText(KitText("From " + StampWithYear(data.CaptureStart.time) + " to " +
                            StampWithYear(data.CaptureEnd.time)));
  layout->addWidget(message_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &GoToTimeDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &GoToTimeDialog::reject);
  layout->addWidget(buttons);
}

void GoToTimeDialog::accept() {
  const TimeEntry entry = ReadGoToTime(KitBytes(edit_->text()), data_);
  if (!entry.ok) {
    QPalette red = message_->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    message_->setPalette(red);
    message_->setText(KitText(entry.message));
    edit_->setFocus();
    return;
  }
  time_ = entry.time;
  QDialog::accept();
}

}  // namespace korvalog
