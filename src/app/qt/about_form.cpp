#include "app/qt/about_form.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

#include "app/qt/app_glyphs.h"
#include "ui/qt/btn_transparent.h"
#include "ui/qt/button_glyphs.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/window_helpers.h"

namespace korvalog {
namespace {

QLabel* Picture(QWidget* parent, const QImage& image, QPoint at) {
  auto* label = new QLabel(parent);
  label->setPixmap(QPixmap::fromImage(image));
  label->setGeometry(QRect(at, image.size()));
  return label;
}

QLabel* Line(QWidget* parent, const char* name, const QString& text, const QFont& font, QPoint at) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFont(font);
  label->move(at);
  label->adjustSize();
  return label;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* parent, OpenUrlFn openUrl)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      openUrl_(std::move(openUrl)) {
  if (!openUrl_) openUrl_ = [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); };
  setObjectName(QStringLiteral("AboutForm"));
  setWindowTitle(QStringLiteral("About"));
  setFont(KitFont());

  icon_ = Picture(this, AppIconImage(32), QPoint(12, 12));
  lProduct = Line(this, "lProduct", QString(), KitFont(kKitSansFamily, 18, true), QPoint(56, 10));
  Line(this, "lRev", QStringLiteral("Rev"), KitFont(), QPoint(56, 36));
  lRevision = Line(this, "lRevision", QString(), KitFont(kKitSansFamily, kKitFontPixels, true), QPoint(80, 36));
  Line(this, "lTagline", QStringLiteral("Lift signal data logger companion"), KitFont(), QPoint(56, 54));

  // The two contact lines, each beside a copy of the logo.
  Picture(this, LiftLogoImage(32), QPoint(12, 78));
  Picture(this, LiftLogoImage(32), QPoint(12, 116));
  QFont link = KitFont();
  link.setUnderline(true);
  lWeb = Line(this, "lWeb", QString::fromLatin1(kAboutWebAddress), link, QPoint(56, 86));
  lMail = Line(this, "lMail", QString::fromLatin1(kAboutMailAddress), link, QPoint(56, 124));
  for (QLabel* l : {lWeb, lMail}) {
    l->setCursor(Qt::PointingHandCursor);
    l->setStyleSheet(QStringLiteral("color: #0000c0"));
    l->installEventFilter(this);
  }

  bOK = new TBtnTransparent(this);
  bOK->setObjectName(QStringLiteral("bOK"));
  bOK->SetCaption(QStringLiteral("OK"));
  bOK->SetGlyph(ButtonGlyphImage(kGlyphTick));
  connect(bOK, &TBtnTransparent::Clicked, this, &QWidget::close);
  Refresh();
}

void TAboutForm::Refresh() {
  icon_->setPixmap(QPixmap::fromImage(AppIconImage(32)));
  lProduct->setText(QApplication::applicationName());
  lProduct->adjustSize();
  lRevision->setText(KitText(FileVersionText()));
  lRevision->adjustSize();
  // Sized to the contents, with the OK button centred under them.
  int right = 0;
  for (QWidget* w : findChildren<QLabel*>()) right = std::max(right, w->geometry().right());
  const int width = std::max(right + 16, 220);
  bOK->setGeometry((width - 80) / 2, 160, 80, 26);
  setFixedSize(width, 196);
}

void TAboutForm::ShowAbout() {
  Refresh();
  PlaceAtCursor(*this);
  KeepOnScreen(*this);
  show();
  raise();
  activateWindow();
}

bool TAboutForm::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) Refresh();
  return QWidget::event(event);
}

void TAboutForm::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
    event->accept();
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == lWeb) openUrl_(lWeb->text());
    if (watched == lMail) openUrl_(QStringLiteral("mailto:") + lMail->text());
    return watched == lWeb || watched == lMail;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace korvalog
