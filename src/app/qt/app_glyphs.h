#pragma once
// The program's pictures, painted in code so they look the same everywhere:
// the application icon, the lift logo of the About window and the toolbar
// glyphs that the interface kit does not already have.
#include <QIcon>
#include <QImage>

namespace korvalog {

enum class ToolGlyph { Capture, Open, SaveSelection, Properties, Statistics, Dump, Export };

// A transparent 16 x 16 glyph for a toolbar button.
QImage ToolGlyphImage(ToolGlyph glyph);
// The application icon (a waveform on a blue tile) at `size` pixels square.
QImage AppIconImage(int size);
QIcon AppIcon();
// The lift logo of the About window, `size` pixels square.
QImage LiftLogoImage(int size);

}  // namespace korvalog
