#pragma once
// The message box's six 16 x 16 button glyphs, painted by the program.
#include <QImage>

#include "ui/message_buttons.h"

namespace korvalog {

inline constexpr int kButtonGlyphSize = 16;

// A transparent 16 x 16 picture; a null image for kGlyphNone.
QImage ButtonGlyphImage(ButtonGlyph glyph);

}  // namespace korvalog
