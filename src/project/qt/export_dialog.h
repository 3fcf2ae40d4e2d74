#pragma once
// The Export dialog: the capture or the chart's selection as VCD, CSV or a
// chart picture (PNG, SVG, PDF), with the channels, the CSV layout and the
// picture width. The main window opens it from its Export command (Ctrl+E).
#include <QDialog>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "project/export_choices.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace korvalog {

class ExportDialog : public QDialog {
  Q_OBJECT
 public:
  // The selection snapshots are the chart's; without a selection that
  // differs from the whole capture, "Selection" is not offered.
  ExportDialog(CaptureData& data, const CaptureView& view, const LoggerSettings& settings,
               const PositionSnapshot& selectionStart, const PositionSnapshot& selectionEnd, QWidget* parent = nullptr);

  ExportChoices Choices() const;
  void SetChoices(const ExportChoices& choices);

  // Writes what the controls say. On failure the reason is shown in the
  // dialog, which stays open.
  FileResult ExportNow();
  QString ErrorText() const;

 public slots:
  void accept() override;

 private:
  void FollowFormat();
  void Browse();

  CaptureData& data_;
  const CaptureView& view_;
  const LoggerSettings& settings_;
  PositionSnapshot selectionStart_, selectionEnd_;
  QComboBox* format_;
  QRadioButton* whole_;
  QRadioButton* selection_;
  QRadioButton* changed_;
  QRadioButton* all_;
  QRadioButton* list_;
  QLineEdit* channelList_;
  QCheckBox* wide_;
  QSpinBox* width_;
  QLineEdit* file_;
  QLabel* error_;
};

}  // namespace korvalog
