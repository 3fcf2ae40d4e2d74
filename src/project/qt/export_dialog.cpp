#include "project/qt/export_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "project/qt/chart_picture.h"

namespace korvalog {
namespace {

const char* const kFormatCaptions[] = {"VCD waveform (*.vcd)", "CSV table (*.csv)", "PNG picture (*.png)",
                                       "SVG picture (*.svg)", "PDF document (*.pdf)"};

QWidget* Row(std::initializer_list<QWidget*> widgets) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* w : widgets) layout->addWidget(w);
  layout->addStretch(1);
  return row;
}

}  // namespace

ExportDialog::ExportDialog(CaptureData& data, const CaptureView& view, const LoggerSettings& settings,
                           const PositionSnapshot& selectionStart, const PositionSnapshot& selectionEnd, QWidget* parent)
    : QDialog(parent),
      data_(data),
      view_(view),
      settings_(settings),
      selectionStart_(selectionStart),
      selectionEnd_(selectionEnd) {
  setWindowTitle(QStringLiteral("Export"));
  format_ = new QComboBox;
  for (const char* caption : kFormatCaptions) format_->addItem(QString::fromLatin1(caption));
  whole_ = new QRadioButton(QStringLiteral("Whole capture"));
  selection_ = new QRadioButton(QStringLiteral("Selection"));
  const bool hasSelection = selectionStart.time != data.CaptureStart.time || selectionEnd.time != data.CaptureEnd.time;
  selection_->setEnabled(hasSelection);
  whole_->setChecked(true);
  auto* range = new QButtonGroup(this);
  range->addButton(whole_);
  range->addButton(selection_);
  changed_ = new QRadioButton(QStringLiteral("That changed"));
  all_ = new QRadioButton(QStringLiteral("All"));
  list_ = new QRadioButton(QStringLiteral("List:"));
  changed_->setChecked(true);
  auto* channels = new QButtonGroup(this);
  for (QRadioButton* b : {changed_, all_, list_}) channels->addButton(b);
  channelList_ = new QLineEdit;
  channelList_->setPlaceholderText(QStringLiteral("3,4,17"));
  wide_ = new QCheckBox(QStringLiteral("One column per channel"));
  width_ = new QSpinBox;
  width_->setRange(kMinPictureWidth, kMaxPictureWidth);
  width_->setValue(1200);
  width_->setSuffix(QStringLiteral(" px"));
  file_ = new QLineEdit;
  file_->setMinimumWidth(280);
  auto* browse = new QPushButton(QStringLiteral("Browse..."));
  error_ = new QLabel;
  error_->setStyleSheet(QStringLiteral("color: #C00000"));
  error_->setWordWrap(true);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Format"), format_);
  form->addRow(QStringLiteral("Range"), Row({whole_, selection_}));
  form->addRow(QStringLiteral("Channels"), Row({changed_, all_, list_, channelList_}));
  form->addRow(QStringLiteral("CSV"), wide_);
  form->addRow(QStringLiteral("Width"), width_);
  form->addRow(QStringLiteral("File"), Row({file_, browse}));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Export"));
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addWidget(error_);
  column->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::accepted, this, &ExportDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ExportDialog::reject);
  connect(browse, &QPushButton::clicked, this, &ExportDialog::Browse);
  connect(format_, &QComboBox::currentIndexChanged, this, &ExportDialog::FollowFormat);
  connect(list_, &QRadioButton::toggled, channelList_, &QLineEdit::setEnabled);
  channelList_->setEnabled(false);
  FollowFormat();
}

ExportChoices ExportDialog::Choices() const {
  ExportChoices c;
  c.format = static_cast<ExportFormat>(format_->currentIndex());
  c.selectionOnly = selection_->isChecked();
  c.channelSet = all_->isChecked() ? ChannelSet::All : (list_->isChecked() ? ChannelSet::List : ChannelSet::Changed);
  c.channelList = channelList_->text().toStdString();
  c.wideCsv = wide_->isChecked();
  c.width = width_->value();
  c.path = file_->text().toLocal8Bit().toStdString();
  return c;
}

void ExportDialog::SetChoices(const ExportChoices& c) {
  format_->setCurrentIndex(static_cast<int>(c.format));
  (c.selectionOnly && selection_->isEnabled() ? selection_ : whole_)->setChecked(true);
  (c.channelSet == ChannelSet::All ? all_ : (c.channelSet == ChannelSet::List ? list_ : changed_))->setChecked(true);
  channelList_->setText(QString::fromStdString(c.channelList));
  wide_->setChecked(c.wideCsv);
  width_->setValue(c.width);
  file_->setText(QString::fromLocal8Bit(c.path.c_str()));
  FollowFormat();
}

void ExportDialog::FollowFormat() {
  const auto format = static_cast<ExportFormat>(format_->currentIndex());
  wide_->setEnabled(WideApplies(format));
  width_->setEnabled(WidthApplies(format));
  const std::string path = file_->text().toLocal8Bit().toStdString();
  if (!path.empty()) file_->setText(QString::fromLocal8Bit(WithExportExtension(path, format).c_str()));
}

void ExportDialog::Browse() {
  const auto format = static_cast<ExportFormat>(format_->currentIndex());
  const QString name = QFileDialog::getSaveFileName(this, QStringLiteral("Export"), file_->text(),
                                                    QString::fromLatin1(kFormatCaptions[static_cast<int>(format)]));
  if (!name.isEmpty()) {
    file_->setText(QString::fromLocal8Bit(WithExportExtension(name.toLocal8Bit().toStdString(), format).c_str()));
  }
}

FileResult ExportDialog::ExportNow() {
  ExportRequest request;
  std::string error;
  FileResult result;
  if (!MakeExportRequest(Choices(), selectionStart_, selectionEnd_, request, error)) {
    result = FileResult{false, error};
  } else if (IsPictureFormat(request.format)) {
    result = WriteChartPicture(data_, view_, settings_, request);
  } else {
    result = ExportCaptureFile(data_, view_.Traces, request);
  }
  error_->setText(result.ok ? QString() : QString::fromLocal8Bit(result.error.c_str()));
  return result;
}

QString ExportDialog::ErrorText() const { return error_->text(); }

void ExportDialog::accept() {
  if (ExportNow().ok) QDialog::accept();
}

}  // namespace korvalog
