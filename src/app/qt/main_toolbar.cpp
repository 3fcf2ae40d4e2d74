// The main window's toolbar, its help menu and its keyboard shortcuts.
#include <QAction>
#include <QCursor>
#include <QFontMetrics>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QShortcut>

#include "app/qt/app_glyphs.h"
#include "app/qt/main_form.h"
#include "ui/qt/btn_transparent.h"
#include "ui/qt/button_glyphs.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/markup_text.h"

namespace korvalog {
namespace {

constexpr int kButtonTop = 4;
constexpr int kButtonHeight = 25;
constexpr int kSquare = 25;
constexpr int kCaptionedWidth = 82;
constexpr int kLabelGap = 6;  // between the status label and its neighbours

// The toolbar panel with its lowered bevel.
class ToolbarPanel : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    DrawBevelFrame(p, 0, 0, bLowered, height() - 1, width() - 1, palette());
  }
};

TBtnTransparent* ToolButton(QWidget* parent, const char* name, const char* caption, const QImage& glyph,
                            const char* hint, int width) {
  auto* b = new TBtnTransparent(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->SetCaption(QString::fromLatin1(caption));
  b->SetGlyph(glyph);
  b->setToolTip(QString::fromLatin1(hint));
  b->resize(width, kButtonHeight);
  return b;
}

}  // namespace

void TMainForm::BuildToolbar() {
  pToolbar_ = new ToolbarPanel(this);
  pToolbar_->setObjectName(QStringLiteral("pToolbar"));
  QWidget* t = pToolbar_;
  bCapture = ToolButton(t, "bCapture", "Capture", ToolGlyphImage(ToolGlyph::Capture), "Capture Waveforms",
                        kCaptionedWidth);
  bCapture->SetToggle(true);
  bCapture->move(4, kButtonTop);
  bCapture->setEnabled(false);  // until the logger is connected
  lCapStat = new QLabel(t);
  lCapStat->setObjectName(QStringLiteral("lCapStat"));
  lCapStat->setFont(KitFont(kKitSansFamily, 13, true));
  lCapStat->setStyleSheet(QStringLiteral("color: #008000"));
  lCapStat->setGeometry(4 + kCaptionedWidth + kLabelGap, kButtonTop, 200, kButtonHeight);
  bDump = ToolButton(t, "bDump", "Dump", ToolGlyphImage(ToolGlyph::Dump), "Dump", 64);
  bDump->hide();  // Ctrl+D reaches it
  bOpen = ToolButton(t, "bOpen", "", ToolGlyphImage(ToolGlyph::Open), "Open a Korvalog project", kSquare);
  bSave = ToolButton(t, "bSave", "", ButtonGlyphImage(kGlyphDisk), "Save everything to a Korvalog project",
                     kSquare);
  bSaveSel = ToolButton(t, "bSaveSel", "", ToolGlyphImage(ToolGlyph::SaveSelection),
                        "Save current selection to a Korvalog project", kSquare);
  bExport = ToolButton(t, "bExport", "", ToolGlyphImage(ToolGlyph::Export),
                       "Export the capture or the selection: VCD, CSV, PNG, SVG or PDF", kSquare);
  bProperties = ToolButton(t, "bProperties", "", ToolGlyphImage(ToolGlyph::Properties),
                           "Change Properties: COM port, logger type, debounce ..", kSquare);
  bStatistics = ToolButton(t, "bStatistics", "Statistics", ToolGlyphImage(ToolGlyph::Statistics),
                           "Statistics", kCaptionedWidth);
  bRoles = ToolButton(t, "bRoles", "Roles", QImage(), "Channel roles: what each input means to the lift", 52);
  bReport = ToolButton(t, "bReport", "Report", QImage(), "Lift performance report: doors, trips, calls, availability",
                       58);
  bHelp = ToolButton(t, "bHelp", "", ButtonGlyphImage(kGlyphQuestion), "Help & About", kSquare);

  connect(bCapture, &TBtnTransparent::Clicked, this, &TMainForm::bCaptureClick);
  connect(bDump, &TBtnTransparent::Clicked, this, &TMainForm::bDumpClick);
  connect(bOpen, &TBtnTransparent::Clicked, this, &TMainForm::bOpenClick);
  connect(bSave, &TBtnTransparent::Clicked, this, &TMainForm::bSaveClick);
  connect(bSaveSel, &TBtnTransparent::Clicked, this, &TMainForm::bSaveSelClick);
  connect(bExport, &TBtnTransparent::Clicked, this, &TMainForm::bExportClick);
  connect(bProperties, &TBtnTransparent::Clicked, this, &TMainForm::bPropertiesClick);
  connect(bStatistics, &TBtnTransparent::Clicked, this, &TMainForm::bStatisticsClick);
  connect(bRoles, &TBtnTransparent::Clicked, this, &TMainForm::bRolesClick);
  connect(bReport, &TBtnTransparent::Clicked, this, &TMainForm::bReportClick);
  connect(bHelp, &TBtnTransparent::Clicked, this, &TMainForm::bHelpClick);

  pmHelp = new QMenu(this);
  pmHelp->setObjectName(QStringLiteral("pmHelp"));
  mHelp = pmHelp->addAction(QIcon(QPixmap::fromImage(ButtonGlyphImage(kGlyphQuestion))), QStringLiteral("Help"));
  mHelp->setObjectName(QStringLiteral("mHelp"));
  pmHelp->addSeparator();
  // The key is the window's own shortcut (below); the menu only shows it.
  mPublish = pmHelp->addAction(QStringLiteral("Publish\u2026\tCtrl+Shift+P"));
  mPublish->setObjectName(QStringLiteral("mPublish"));
  mPublish->setToolTip(QStringLiteral("Publish the open capture to the fleet store named in Properties"));
  connect(mPublish, &QAction::triggered, this, &TMainForm::mPublishClick);
  pmHelp->addSeparator();
  mAbout = pmHelp->addAction(QIcon(QPixmap::fromImage(AppIconImage(16))), QStringLiteral("About"));
  mAbout->setObjectName(QStringLiteral("mAbout"));
  connect(mHelp, &QAction::triggered, this, &TMainForm::mHelpClick);
  connect(mAbout, &QAction::triggered, this, &TMainForm::mAboutClick);
}

// The widest status text the label shows: a full store, captured.
int CapStatNeed(const QLabel* label) {
  const QFontMetrics metrics(label->font());
  return std::max(metrics.horizontalAdvance(QStringLiteral("Capturing [1048576 events]")),
                  metrics.horizontalAdvance(QStringLiteral("Captured: 1048576 events")));
}

int TMainForm::MinimumToolbarWidth() const {
  // Capture, the widest status text, and the right-hand group with the
  // Statistics button given way to its glyph and the Roles button gone (roles
  // are also set from the Report window and the name column's menu).
  int group = 0;
  for (TBtnTransparent* b : {bHelp, bReport, bStatistics, bProperties, bExport, bSaveSel, bSave, bOpen})
    group += (b == bStatistics ? kSquare : b->width()) + 2;
  return bCapture->x() + bCapture->width() + kLabelGap + CapStatNeed(lCapStat) + kLabelGap + group - 2 + 4;
}

// The right-hand group keeps to the right edge; the status label takes the
// room between it and the Capture button. Where that room is short of the
// widest status text, the Statistics button gives way to its glyph alone,
// and where that is not enough the Roles button goes.
void TMainForm::LayoutToolbar() {
  pToolbar_->setGeometry(0, 0, width(), kToolbarHeight);
  const int labelLeft = bCapture->x() + bCapture->width() + kLabelGap;
  const int room = width() - 4 - kLabelGap - labelLeft - CapStatNeed(lCapStat);
  int group = 0;
  for (TBtnTransparent* b : {bHelp, bReport, bProperties, bExport, bSaveSel, bSave, bOpen}) group += b->width() + 2;
  const int roles = bRoles->width() + 2;
  const bool compact = group + roles + kCaptionedWidth > room;
  const bool showRoles = group + roles + (compact ? kSquare : kCaptionedWidth) <= room;
  const QString caption = compact ? QString() : QStringLiteral("Statistics");
  if (bStatistics->Caption() != caption) bStatistics->SetCaption(caption);
  bStatistics->resize(compact ? kSquare : kCaptionedWidth, kButtonHeight);
  bRoles->setVisible(showRoles);
  int x = width() - 4;
  for (TBtnTransparent* b : {bHelp, bReport, bRoles, bStatistics, bProperties, bExport, bSaveSel, bSave, bOpen}) {
    if (b == bRoles && !showRoles) continue;
    x -= b->width();
    b->move(x, kButtonTop);
    x -= 2;
  }
  bDump->move(x - bDump->width() - 4, kButtonTop);
  lCapStat->setGeometry(labelLeft, kButtonTop, std::max(0, x + 2 - kLabelGap - labelLeft), kButtonHeight);
  ShowCapStat();
}

// Cut short with an ellipsis (the whole text in the tip) only where the
// window is narrower than it may be made.
void TMainForm::ShowCapStat() {
  const QString shown = lCapStat->fontMetrics().elidedText(capStatText_, Qt::ElideRight, lCapStat->width());
  if (lCapStat->text() != shown) lCapStat->setText(shown);
  lCapStat->setToolTip(shown == capStatText_ ? QString() : capStatText_);
}

void TMainForm::BuildShortcuts() {
  const auto add = [this](QKeySequence keys, auto slot) {
    auto* s = new QShortcut(keys, this);
    s->setContext(Qt::WindowShortcut);
    connect(s, &QShortcut::activated, this, slot);
  };
  add(QKeySequence(Qt::CTRL | Qt::Key_O), &TMainForm::bOpenClick);
  add(QKeySequence(Qt::CTRL | Qt::Key_S), &TMainForm::bSaveClick);
  add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &TMainForm::bSaveSelClick);
  add(QKeySequence(Qt::CTRL | Qt::Key_E), &TMainForm::bExportClick);
  add(QKeySequence(Qt::Key_F1), &TMainForm::mHelpClick);
  add(QKeySequence(Qt::CTRL | Qt::Key_D), &TMainForm::bDumpClick);
  add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), &TMainForm::mPublishClick);
  add(QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });
  // F5 is the Capture button: only while the button may be used.
  add(QKeySequence(Qt::Key_F5), [this] {
    if (bCapture->isEnabled()) bCaptureClick();
  });
}

void TMainForm::bHelpClick() { pmHelp->popup(QCursor::pos()); }

}  // namespace korvalog
