#pragma once
// Small text drawing helpers of the chart and the analysis windows. Every
// position is the top-left of the text cell; the text takes the painter's
// font and pen colour.
#include <QPainter>
#include <QPalette>
#include <string_view>

#include "core/channel_colours.h"

namespace korvalog {

// Top-left of a text cell at (x, y), as the program positions all its texts.
void TextOutAt(QPainter& painter, int x, int y, std::string_view text);

// As TextOutAt, with a one-pixel shade in `shade` below and right of the
// glyphs (a faint colour made readable); the glyphs keep the pen colour.
void TextOutShaded(QPainter& painter, int x, int y, std::string_view text, const QColor& shade);

// A channel's name in its colour on the palette's window colour, shaded
// where that colour alone would be too faint to read.
void DrawChannelName(QPainter& painter, const QPalette& palette, Rgb colour, int x, int y, std::string_view text);

// The text's right edge at x.
void TextOutRight(QPainter& painter, int x, int y, std::string_view text);

// A delta triangle at x, in the theme's window-text colour, then the text.
void TextOutDelta(QPainter& painter, int x, int y, std::string_view text);

// As TextOutDelta with the text (not the triangle) centred on x.
void TextOutDeltaCentred(QPainter& painter, int x, int y, std::string_view text);

// A quarter turn anticlockwise, reading upward from (x, y): the text's
// cell spans x .. x + line height - 1 and ends at row y. Drawn turned at
// the painter's device resolution, crisp at any scale.
void TextOutVertical(QPainter& painter, int x, int y, std::string_view text);

// Least room between two texts of a time span.
inline constexpr int kTimeSpanGap = 6;

// Start stamp at the left, end stamp right-aligned at the right, and the
// delta-marked duration centred between them; texts that would overlap are
// left out (the duration first, then the end).
void DrawTimeSpan(QPainter& painter, int xLeft, int xRight, int y, double start, double end);

}  // namespace korvalog
