#include "settings/qt/properties_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <iterator>

#include "base/byte_text.h"
#include "ui/qt/btn_transparent.h"
#include "ui/qt/button_glyphs.h"
#include "ui/qt/edit_up_down.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/window_helpers.h"

namespace korvalog {
namespace {

constexpr int kPorts = 16;
constexpr int kClientWidth = 290;
constexpr int kWhenFullTop = 230;
constexpr int kWhenFullHeight = 100;
constexpr int kFleetTop = kWhenFullTop + kWhenFullHeight + 6;
constexpr int kFleetHeight = 126;
constexpr int kButtonsTop = kFleetTop + kFleetHeight + 8;
// libpq's TLS modes; empty leaves libpq's own default (prefer).
constexpr const char* kSslModes[] = {"", "disable", "allow", "prefer", "require", "verify-ca", "verify-full"};
constexpr int kClientHeight = kButtonsTop + 34;
constexpr int kMostPartsToKeep = 1000000;

QGroupBox* RadioGroup(QWidget* parent, const char* name, const char* caption,
                      std::initializer_list<const char*> items, QButtonGroup*& group, QRect at) {
  auto* box = new QGroupBox(QString::fromLatin1(caption), parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(at);
  group = new QButtonGroup(box);
  int id = 0;
  int y = 18;
  for (const char* item : items) {
    auto* radio = new QRadioButton(QString::fromLatin1(item), box);
    radio->setGeometry(10, y, at.width() - 16, 18);
    group->addButton(radio, id++);
    y += 20;
  }
  return box;
}

TBtnTransparent* DialogButton(QWidget* parent, const char* name, const char* caption, ButtonGlyph glyph,
                              const char* hint, QRect at) {
  auto* button = new TBtnTransparent(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->SetCaption(QString::fromLatin1(caption));
  button->SetGlyph(ButtonGlyphImage(glyph));
  button->setToolTip(QString::fromLatin1(hint));
  button->setGeometry(at);
  return button;
}

}  // namespace

std::string PortItemText(uint8_t port, const std::string& device, bool present) {
  std::string text = "COM" + IntToText(port);
  if (device.empty()) return text;
  text += "   " + device;
  if (!present) text += "  (not present)";
  return text;
}

TPropertiesForm::TPropertiesForm(QWidget* parent, PortDeviceFn portDevice)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      portDevice_(std::move(portDevice)) {
  setObjectName(QStringLiteral("PropertiesForm"));
  setWindowTitle(QStringLiteral("Properties"));
  setFont(KitFont());
  setFixedSize(kClientWidth, kClientHeight);

  auto* gConnection = new QGroupBox(QStringLiteral("Connection"), this);
  gConnection->setObjectName(QStringLiteral("gConnection"));
  gConnection->setGeometry(8, 8, 274, 50);
  cbCOMPort = new QComboBox(gConnection);
  cbCOMPort->setObjectName(QStringLiteral("cbCOMPort"));
  cbCOMPort->setGeometry(10, 20, 254, 22);
  for (int port = 1; port <= kPorts; ++port) cbCOMPort->addItem(QString());
  RefreshPortNames();

  gLoggerType = RadioGroup(this, "gLoggerType", "Logger Type", {"96 Channel", "128 Channel", "Ventrix"},
                           loggerTypes_, QRect(8, 64, 132, 84));
  gLoggerType->setToolTip(
      QStringLiteral("Select either a 96 channel or an Orrin 128 channel Data Logger"));
  rgColour = RadioGroup(this, "rgColour", "Colours", {"16", "64"}, colours_, QRect(150, 64, 132, 84));

  auto* gSignal = new QGroupBox(QStringLiteral("Signal Conditioning"), this);
  gSignal->setObjectName(QStringLiteral("gSignalConditioning"));
  gSignal->setGeometry(8, 154, 274, 70);
  auto* debounceLabel = new QLabel(QStringLiteral("Debounce (mS)"), gSignal);
  debounceLabel->setGeometry(10, 22, 90, 20);
  eDebounce = new TEditUpDown(gSignal);
  eDebounce->setObjectName(QStringLiteral("eDebounce"));
  eDebounce->SetMin(0);
  eDebounce->SetMax(255);
  eDebounce->SetScale(10);
  eDebounce->setGeometry(104, 20, 70, 22);
  eDebounce->setToolTip(QStringLiteral("Debounce time applied to all Data Logger inputs"));
  eACSignals = new QCheckBox(QStringLiteral("AC Signals"), gSignal);
  eACSignals->setObjectName(QStringLiteral("eACSignals"));
  eACSignals->setGeometry(10, 46, 200, 18);
  eACSignals->setToolTip(QStringLiteral("Set if AC signals (50 Hz) are expected on the inputs"));

  BuildWhenFull(kWhenFullTop);
  BuildFleet(kFleetTop);

  bOK = DialogButton(this, "bOK", "OK", kGlyphTick, "Save this configuration and Quit",
                     QRect(110, kButtonsTop, 80, 26));
  bCancel = DialogButton(this, "bCancel", "Cancel", kGlyphCross, "Abandon this configuration and Quit",
                         QRect(198, kButtonsTop, 84, 26));
  connect(bOK, &TBtnTransparent::Clicked, this, &QDialog::accept);
  connect(bCancel, &TBtnTransparent::Clicked, this, &QDialog::reject);
}

void TPropertiesForm::BuildWhenFull(int top) {
  gWhenFull = new QGroupBox(QStringLiteral("When the store is full"), this);
  gWhenFull->setObjectName(QStringLiteral("gWhenFull"));
  gWhenFull->setGeometry(8, top, 274, kWhenFullHeight);
  gWhenFull->setToolTip(QStringLiteral("Stop the capture, or go on and save each full store as the next "
                                       "numbered project in a folder"));
  auto* choice = new QButtonGroup(gWhenFull);
  rStopWhenFull = new QRadioButton(QStringLiteral("Stop"), gWhenFull);
  rStopWhenFull->setObjectName(QStringLiteral("rStopWhenFull"));
  rStopWhenFull->setGeometry(10, 18, 80, 18);
  rGoOnWhenFull = new QRadioButton(QStringLiteral("Go on into a folder"), gWhenFull);
  rGoOnWhenFull->setObjectName(QStringLiteral("rGoOnWhenFull"));
  rGoOnWhenFull->setGeometry(96, 18, 170, 18);
  choice->addButton(rStopWhenFull, 0);
  choice->addButton(rGoOnWhenFull, 1);
  ePartsFolder = new QLineEdit(gWhenFull);
  ePartsFolder->setObjectName(QStringLiteral("ePartsFolder"));
  ePartsFolder->setGeometry(10, 42, 222, 22);
  ePartsFolder->setPlaceholderText(QStringLiteral("Folder for the numbered projects"));
  bPartsFolder = new TBtnTransparent(gWhenFull);
  bPartsFolder->setObjectName(QStringLiteral("bPartsFolder"));
  bPartsFolder->SetCaption(QStringLiteral("..."));
  bPartsFolder->setToolTip(QStringLiteral("Choose the folder"));
  bPartsFolder->setGeometry(236, 42, 28, 22);
  auto* keepLabel = new QLabel(QStringLiteral("Files to keep"), gWhenFull);
  keepLabel->setObjectName(QStringLiteral("lPartsToKeep"));
  keepLabel->setGeometry(10, 72, 90, 20);
  ePartsToKeep = new QSpinBox(gWhenFull);
  ePartsToKeep->setObjectName(QStringLiteral("ePartsToKeep"));
  ePartsToKeep->setRange(0, kMostPartsToKeep);
  ePartsToKeep->setSpecialValueText(QStringLiteral("every file"));
  ePartsToKeep->setGeometry(104, 70, 100, 22);
  ePartsToKeep->setToolTip(QStringLiteral("The oldest numbered projects in the folder go beyond this many"));
  keepLabel->setBuddy(ePartsToKeep);
  connect(rGoOnWhenFull, &QRadioButton::toggled, this, [this] { EnableWhenFull(); });
  connect(bPartsFolder, &TBtnTransparent::Clicked, this, [this] { ChoosePartsFolder(); });
  rStopWhenFull->setChecked(true);
  EnableWhenFull();
}

void TPropertiesForm::BuildFleet(int top) {
  gFleet = new QGroupBox(QStringLiteral("Fleet store (Publish)"), this);
  gFleet->setObjectName(QStringLiteral("gFleet"));
  gFleet->setGeometry(8, top, 274, kFleetHeight);
  gFleet->setToolTip(QStringLiteral("Where Publish sends the open capture. No password is kept here: "
                                    "libpq reads it from ~/.pgpass, PGPASSFILE or a service file"));
  const auto field = [this](const char* name, const char* label, const char* hint, int y) {
    auto* caption = new QLabel(QString::fromLatin1(label), gFleet);
    caption->setGeometry(10, y + 2, 70, 20);
    auto* edit = new QLineEdit(gFleet);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(84, y, 180, 22);
    edit->setPlaceholderText(QString::fromLatin1(hint));
    caption->setBuddy(edit);
    return edit;
  };
  eFleetHost = field("eFleetHost", "Host", "libpq's default", 20);
  eFleetDatabase = field("eFleetDatabase", "Database", "fleet", 46);
  eFleetUser = field("eFleetUser", "User", "your login name", 72);
  auto* sslLabel = new QLabel(QStringLiteral("TLS"), gFleet);
  sslLabel->setGeometry(10, 100, 74, 20);
  cbFleetSslMode = new QComboBox(gFleet);
  cbFleetSslMode->setObjectName(QStringLiteral("cbFleetSslMode"));
  cbFleetSslMode->setToolTip(QStringLiteral("libpq's sslmode: verify-full checks the server's certificate and name"));
  cbFleetSslMode->setGeometry(84, 98, 180, 22);
  for (const char* mode : kSslModes) cbFleetSslMode->addItem(*mode ? QString::fromLatin1(mode) : QStringLiteral("(default)"));
  sslLabel->setBuddy(cbFleetSslMode);
}

void TPropertiesForm::EnableWhenFull() {
  const bool goOn = rGoOnWhenFull->isChecked();
  for (QWidget* w : {static_cast<QWidget*>(ePartsFolder), static_cast<QWidget*>(bPartsFolder),
                     static_cast<QWidget*>(ePartsToKeep)}) {
    w->setEnabled(goOn);
  }
}

void TPropertiesForm::ChoosePartsFolder() {
  const QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("Folder for the numbered projects"),
                                                           ePartsFolder->text());
  if (!chosen.isEmpty()) ePartsFolder->setText(chosen);
}

void TPropertiesForm::RefreshPortNames() {
  for (int port = 1; port <= kPorts; ++port) {
    const std::string device = portDevice_ ? portDevice_(static_cast<uint8_t>(port)) : std::string();
    const bool present = !device.empty() && QFileInfo::exists(QString::fromStdString(device));
    cbCOMPort->setItemText(port - 1, KitText(PortItemText(static_cast<uint8_t>(port), device, present)));
  }
}

void TPropertiesForm::ShowSettings(const LoggerSettings& settings) {
  // A stored port outside 1..16 shows no selection.
  cbCOMPort->setCurrentIndex(settings.Port >= 1 && settings.Port <= kPorts ? settings.Port - 1 : -1);
  QAbstractButton* type = loggerTypes_->button(settings.LoggerType.load());
  if (type) {
    type->setChecked(true);
  } else {
    loggerTypes_->setExclusive(false);
    for (QAbstractButton* b : loggerTypes_->buttons()) b->setChecked(false);
    loggerTypes_->setExclusive(true);
  }
  eDebounce->SetValue(settings.Debounce);
  eACSignals->setChecked(settings.ACSignals);
  QAbstractButton* colour = colours_->button(settings.ColourMode);
  if (colour) colour->setChecked(true);
  (settings.WhenFull.goOn ? rGoOnWhenFull : rStopWhenFull)->setChecked(true);
  ePartsFolder->setText(QString::fromStdString(settings.WhenFull.folder));
  ePartsToKeep->setValue(settings.WhenFull.keep);
  EnableWhenFull();
  eFleetHost->setText(QString::fromStdString(settings.Fleet.host));
  eFleetDatabase->setText(QString::fromStdString(settings.Fleet.database));
  eFleetUser->setText(QString::fromStdString(settings.Fleet.user));
  int mode = 0;
  for (int i = 0; i < static_cast<int>(std::size(kSslModes)); ++i) {
    if (settings.Fleet.sslmode == kSslModes[i]) mode = i;
  }
  cbFleetSslMode->setCurrentIndex(mode);
}

void TPropertiesForm::TakeSettings(LoggerSettings& settings) {
  settings.Port = static_cast<uint8_t>(cbCOMPort->currentIndex() + 1);
  const int type = loggerTypes_->checkedId();
  if (type >= 0) settings.LoggerType.store(static_cast<uint8_t>(type));
  // Typed text becomes the value when the field is left; OK may come first.
  eDebounce->ShowValue();
  settings.Debounce = static_cast<uint16_t>(eDebounce->Value());
  settings.ACSignals = eACSignals->isChecked();
  const int colour = colours_->checkedId();
  if (colour >= 0) settings.ColourMode = static_cast<uint8_t>(colour);
  settings.WhenFull.goOn = rGoOnWhenFull->isChecked();
  settings.WhenFull.folder = ePartsFolder->text().trimmed().toStdString();
  ePartsToKeep->interpretText();
  settings.WhenFull.keep = ePartsToKeep->value();
  settings.Fleet.host = eFleetHost->text().trimmed().toStdString();
  settings.Fleet.database = eFleetDatabase->text().trimmed().toStdString();
  settings.Fleet.user = eFleetUser->text().trimmed().toStdString();
  const int mode = cbFleetSslMode->currentIndex();
  settings.Fleet.sslmode = mode > 0 ? kSslModes[mode] : "";
}

bool TPropertiesForm::EditSettings(LoggerSettings& settings) {
  RefreshPortNames();
  ShowSettings(settings);
  FitOnScreen(*this, parentWidget());
  if (exec() != QDialog::Accepted) return false;
  TakeSettings(settings);
  return true;
}

void TPropertiesForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace korvalog
