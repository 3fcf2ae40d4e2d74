#pragma once
// What the interface kit draws with: its fixed font, the theme colours it
// names, and the conversion of the program's byte strings to Qt text.
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPalette>
#include <QString>
#include <QWidget>
#include <string>
#include <string_view>

namespace korvalog {

// The kit's fonts are named families at pixel sizes, so that every text
// measures the same on every machine (the families come with the fonts
// package the install script adds).
inline constexpr const char* kKitSansFamily = "DejaVu Sans";
inline constexpr const char* kKitSerifFamily = "DejaVu Serif";
inline constexpr int kKitFontPixels = 11;

QFont KitFont();
QFont KitFont(const char* family, int pixelSize, bool bold = false, bool italic = false);

// The theme colours the kit's drawing names.
enum class SystemColour {
  ButtonFace,
  ButtonHighlight,
  ButtonShadow,
  WindowFrame,
  Window,
  WindowText,
  ScrollBar,
};
QColor SystemColourOf(SystemColour colour, const QPalette& palette);

// Qt repaints every widget of a window whose palette differs between its
// active and inactive colours each time the window gains or loses the focus,
// that is whenever a dialog opens or closes over it. The kit draws with the
// same colours either way, so the inactive colours are made the active ones
// and the window is not repainted for nothing.
void SameLookWhenInactive(QWidget& window);

// A straight line across or down in the painter's pen, as every line of the
// kit is drawn: its start point included, its end point left out, so that a
// frame drawn as four lines gives each corner to the line that starts there.
void DrawKitLine(QPainter& painter, int x0, int y0, int x1, int y1);

// The program's texts are byte strings: UTF-8 where they are valid UTF-8,
// otherwise read byte for byte (files written by older programs).
QString KitText(std::string_view text);
std::string KitBytes(const QString& text);

}  // namespace korvalog
