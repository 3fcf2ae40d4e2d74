#pragma once
// Small text drawing helpers of the chart and the analysis windows. Every
// position is the top-left of the text cell; the text takes the painter's
// font and pen colour.
#include <QPainter>
#include <string_view>

namespace korvalog {

// Top-left of a text cell at (x, y), as the program positions all its texts.
void TextOutAt(QPainter& painter, int x, int y, std::string_view text);

// The text's right edge at x.
void TextOutRight(QPainter& painter, int x, int y, std::string_view text);

// A delta triangle at x, in the theme's window-text colour, then the text.
void TextOutDelta(QPainter& painter, int x, int y, std::string_view text);

// As TextOutDelta with the text (not the triangle) centred on x.
void TextOutDeltaCentred(QPainter& painter, int x, int y, std::string_view text);

// A quarter turn anticlockwise, reading upward from (x, y). Smoothing
// shades become solid pen colour.
void TextOutVertical(QPainter& painter, int x, int y, std::string_view text);

// Start stamp at the left, end stamp right-aligned at the right, and the
// delta-marked duration centred between them.
void DrawTimeSpan(QPainter& painter, int xLeft, int xRight, int y, double start, double end);

}  // namespace korvalog
