#pragma once
// "Go to time": one line for a time as the chart shows it, seconds from the
// capture start or ISO 8601. A time that cannot be read or lies outside the
// capture is refused here, with the capture's span, and the dialog stays.
#include <QDialog>

#include "core/capture_data.h"

class QLabel;
class QLineEdit;

namespace korvalog {

class GoToTimeDialog : public QDialog {
  Q_OBJECT

 public:
  GoToTimeDialog(const CaptureData& data, double proposed, QWidget* parent = nullptr);

  double Time() const { return time_; }
  QLineEdit* Edit() { return edit_; }
  QLabel* Message() { return message_; }

 public slots:
  void accept() override;

 private:
  const CaptureData& data_;
  QLineEdit* edit_;
  QLabel* message_;
  double time_ = 0.0;
};

}  // namespace korvalog
