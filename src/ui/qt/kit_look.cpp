#include "ui/qt/kit_look.h"

#include <QStringDecoder>

namespace korvalog {
namespace {

QColor PaletteColour(SystemColour colour, const QPalette& palette) {
  switch (colour) {
    case SystemColour::ButtonFace: return palette.color(QPalette::Button);
    case SystemColour::ButtonHighlight: return palette.color(QPalette::Light);
    case SystemColour::ButtonShadow: return palette.color(QPalette::Dark);
    case SystemColour::WindowFrame: return palette.color(QPalette::Shadow);
    case SystemColour::Window: return palette.color(QPalette::Base);
    case SystemColour::WindowText: return palette.color(QPalette::WindowText);
    case SystemColour::ScrollBar: return palette.color(QPalette::Mid);
  }
  return palette.color(QPalette::Button);
}

}  // namespace

QFont KitFont() { return KitFont(kKitSansFamily, kKitFontPixels); }

QFont KitFont(const char* family, int pixelSize, bool bold, bool italic) {
  QFont font{QString::fromLatin1(family)};
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setItalic(italic);
  // No fallback to look-alike families: a missing font shows in the tests.
  font.setStyleHint(QFont::AnyStyle, QFont::PreferMatch);
  return font;
}

QColor SystemColourOf(SystemColour colour, const QPalette& palette) {
  // Drawn pixels hold 8 bits a component; so do the colours handed out.
  return QColor(PaletteColour(colour, palette).rgb());
}

void SameLookWhenInactive(QWidget& window) {
  QPalette palette = window.palette();
  for (int role = 0; role < QPalette::NColorRoles; ++role) {
    const auto r = static_cast<QPalette::ColorRole>(role);
    palette.setBrush(QPalette::Inactive, r, palette.brush(QPalette::Active, r));
  }
  window.setPalette(palette);
}

void DrawKitLine(QPainter& painter, int x0, int y0, int x1, int y1) {
  const int dx = (x1 > x0) - (x1 < x0);
  const int dy = (y1 > y0) - (y1 < y0);
  if (dx == 0 && dy == 0) return;
  x1 -= dx;
  y1 -= dy;
  if (x1 == x0 && y1 == y0) {
    painter.drawPoint(x0, y0);
  } else {
    painter.drawLine(x0, y0, x1, y1);
  }
}

QString KitText(std::string_view text) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = utf8.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  if (!utf8.hasError()) return decoded;
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string KitBytes(const QString& text) { return text.toStdString(); }

}  // namespace korvalog
