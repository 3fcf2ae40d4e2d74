#include "app/qt/status_panels.h"

#include <QPainter>
#include <algorithm>

#include "ui/qt/markup_text.h"

namespace korvalog {

TStatusPanels::TStatusPanels(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("StatusBar"));
  setFixedHeight(kHeight);
}

void TStatusPanels::SetPanelText(int panel, const QString& text) {
  if (texts_[panel] == text) return;
  texts_[panel] = text;
  update();
}

QRect TStatusPanels::PanelRect(int panel) const {
  const QFontMetrics metrics(font());
  int x = 0;
  for (int i = 0; i < 3; ++i) {
    const int want = std::max(kWidths[i], metrics.horizontalAdvance(texts_[i]) + 8);
    const int w = i == 2 ? std::max(want, width() - x) : want;
    if (i == panel) return QRect(x, 0, w, height());
    x += w + 2;
  }
  return {};
}

void TStatusPanels::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Window));
  p.setFont(font());
  for (int i = 0; i < 3; ++i) {
    const QRect r = PanelRect(i).adjusted(0, 2, 0, 0);
    DrawBevelFrame(p, r.left(), r.top(), bLowered, r.bottom(), r.right(), palette());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(r.adjusted(3, 1, -2, -1), Qt::AlignVCenter | Qt::AlignLeft, texts_[i]);
  }
}

}  // namespace korvalog
