#pragma once
// Mark-up text: ordinary strings with backslash codes for colour, style,
// size, line breaks and tab columns, drawn without a rich-text control.
//
//   \0 base colour   \1..\9 \: \; \< \= \> \?  colours of the table
//   \B bold  \I italic  \U underline  \H inverse video   (each toggles)
//   \N new line   \T next tab column   \D delta sign
//   \[ base size  \] double size  \^ two thirds  \| one and a half
//
// Letter codes are case-insensitive; any other code is skipped, and there is
// no way to draw a backslash itself.
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPalette>
#include <optional>
#include <string_view>

#include "ui/markup_style.h"

namespace korvalog {

struct MarkupExtent {
  int right = 0;   // largest pen x reached plus the margin
  int bottom = 0;  // last line's bottom plus the margin
};

// Draws with the painter's font (style reset to plain) and pen colour as the
// base, the first line's top-left at (x + margin, y + margin). On return the
// painter's font size and pen colour are back; the style stays as the codes
// left it.
MarkupExtent DrawMarkupText(QPainter& painter, int x, int y, int margin, std::string_view text,
                            const MarkupStyle& style);

// The extents DrawMarkupText would return with this font, drawing nothing.
// The device sets the resolution that point-sized fonts are measured at.
MarkupExtent MeasureMarkupText(const QFont& font, const QPaintDevice* device, int x, int y, int margin,
                               std::string_view text, const MarkupStyle& style);

// The colour a code selects, or none when the code is not a colour of the
// table ("0", which restores the base colour, is not in it).
std::optional<QColor> MarkupCodeColour(char code);

enum TBorder { bNone, bLowered, bRaised };

// Four one-pixel lines: up the left and along the top in the first colour,
// down the right and back along the bottom in the second. Lowered: shadow
// then window colour; raised: the reverse.
void DrawBevelFrame(QPainter& painter, int x0, int y0, TBorder style, int y1, int x1,
                    const QPalette& palette);

}  // namespace korvalog
