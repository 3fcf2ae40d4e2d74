#pragma once
// The modal "Properties" dialog that edits the logger settings: COM port,
// logger type, debounce, AC signals, the chart's colour scheme, what the
// window's capture does when the store is full, and where Publish sends the
// capture (the fleet store's host, database, user and TLS mode).
#include <QDialog>
#include <functional>
#include <string>

#include "core/records.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace korvalog {

class TBtnTransparent;
class TEditUpDown;

class TPropertiesForm : public QDialog {
  Q_OBJECT

 public:
  // Which device a port number opens, shown beside its COMn item.
  using PortDeviceFn = std::function<std::string(uint8_t port)>;

  explicit TPropertiesForm(QWidget* parent = nullptr, PortDeviceFn portDevice = {});

  // Runs the dialog modally. On OK the record takes the controls and the
  // result is true, even when nothing was changed; otherwise false and the
  // record is untouched.
  bool EditSettings(LoggerSettings& settings);

  // The controls, for the settings round trip.
  void ShowSettings(const LoggerSettings& settings);
  void TakeSettings(LoggerSettings& settings);

  // Refreshes the devices shown beside the port numbers.
  void RefreshPortNames();

  QComboBox* cbCOMPort = nullptr;
  QGroupBox* gLoggerType = nullptr;
  TEditUpDown* eDebounce = nullptr;
  QCheckBox* eACSignals = nullptr;
  QGroupBox* rgColour = nullptr;
  QGroupBox* gWhenFull = nullptr;
  QRadioButton* rStopWhenFull = nullptr;
  QRadioButton* rGoOnWhenFull = nullptr;
  QLineEdit* ePartsFolder = nullptr;
  TBtnTransparent* bPartsFolder = nullptr;
  QSpinBox* ePartsToKeep = nullptr;
  QGroupBox* gFleet = nullptr;
  QLineEdit* eFleetHost = nullptr;
  QLineEdit* eFleetDatabase = nullptr;
  QLineEdit* eFleetUser = nullptr;
  QComboBox* cbFleetSslMode = nullptr;
  TBtnTransparent* bOK = nullptr;
  TBtnTransparent* bCancel = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildWhenFull(int top);
  void BuildFleet(int top);
  void EnableWhenFull();
  void ChoosePartsFolder();

  QButtonGroup* loggerTypes_ = nullptr;
  QButtonGroup* colours_ = nullptr;
  PortDeviceFn portDevice_;
};

// "COM3" or, when the device is known, "COM3   /dev/ttyUSB2"; a device that
// is not there says so.
std::string PortItemText(uint8_t port, const std::string& device, bool present);

}  // namespace korvalog
